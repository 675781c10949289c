#pragma once
// The replay file: a finished game as bytes (docs/replay-format.md). The file image is built
// in place, header first, then the runs of button states, then a CRC-32; a reader takes any
// bytes and accepts only a whole, consistent image.
#include <cstddef>
#include <cstdint>

#include "rules/actions.h"

constexpr uint16_t kReplayFormatVersion = 1;
// Raised with every change of the rules, the level table or the key layouts that could make
// an old replay play out differently: such replays are then refused, not shown wrongly.
constexpr uint16_t kReplayRulesVersion = 1;

constexpr size_t kReplayHeaderBytes = 92;
constexpr size_t kReplayCrcBytes = 4;
// About an hour of play at ten presses a second (1.3 bytes an update), two at five; a longer
// game still plays, its replay marked incomplete.
constexpr size_t kReplayFrameBytes = 256 * 1024;
constexpr size_t kReplayMaxBytes = kReplayHeaderBytes + kReplayFrameBytes + kReplayCrcBytes;
// A run: three bytes of button states and its length in one to five bytes.
constexpr size_t kReplayRunMaxBytes = 8;
constexpr int kReplayMedals = 6;

// How the game ended.
enum ReplayEnd : uint8_t {
    ReplayEndGameOver = 0,  // the game-over timeline ran out: name entry or title
    ReplayEndAbort = 1,     // RIGHT + KEY 1 + KEY 7 + KEY 8
    ReplayEndLeft = 2,      // a close request (Escape) took the game back to the title
    kReplayEnds = 3,
};

// The outcome a replay must reproduce, in the order a verification compares it.
struct ReplayResult {
    int32_t end;
    uint32_t updates;  // GameUpdate calls from StartGame to the hand-over
    int32_t score;
    int32_t lines;
    int32_t level;
    int32_t elapsedMs;
    int32_t medals[kReplayMedals];
};

// Everything of the header but the file's own framing.
struct ReplayInfo {
    uint16_t rulesVersion;
    bool incomplete;  // the game outgrew the buffer: the runs stop before the hand-over
    int32_t mode;
    int32_t seed;
    int32_t startLevel;
    int32_t keyConfig;
    int32_t showLineShadow;
    int32_t eraseProperty;
    int32_t fpsDisplay;
    uint32_t frames;  // updates the runs cover
    uint32_t runs;
    uint32_t frameBytes;
    ReplayResult result;
};

// A file image with room for the longest replay.
struct ReplayImage {
    uint8_t bytes[kReplayMaxBytes];
    size_t size;  // 0: holds no replay
};

enum class ReplayStatus {
    Ok,
    CannotOpen,
    NotAReplay,
    UnknownFormat,
    Truncated,
    TrailingBytes,
    BadCrc,
    Malformed,
    OtherRules,  // whole and sound, but made under other rules
};
// One line in English for the player.
const char* ReplayStatusText(ReplayStatus status);

uint32_t Crc32(const uint8_t* bytes, size_t size);

// Checks `bytes` whole: framing, CRC, every field's range and every run. Fills `info` as far
// as it could be read. Never reads outside bytes[0..size).
ReplayStatus ReadReplay(const uint8_t* bytes, size_t size, ReplayInfo* info);

// Writes the header from `info` and the CRC after info.frameBytes bytes of runs, which the
// caller has put at kReplayHeaderBytes; sets image.size.
void SealReplay(ReplayImage& image, const ReplayInfo& info);

// The twelve button states of a frame, two bits each: UP, DOWN, RIGHT, LEFT, KEY 1..KEY 8.
uint32_t PackButtons(const int32_t states[12]);
void UnpackButtons(uint32_t packed, int32_t states[12]);
// The same for a whole ButtonLatch.
uint32_t PackLatch(const ButtonLatchState& buttons);
ButtonLatchState UnpackLatch(uint32_t packed);

// Appends one run at `out`; the bytes written (at most kReplayRunMaxBytes).
size_t EncodeRun(uint32_t packed, uint32_t length, uint8_t* out);

// Walks the runs of a replay ReadReplay accepted, a frame at a time.
struct ReplayCursor {
    const uint8_t* next;
    const uint8_t* end;
    uint32_t packed;
    uint32_t left;  // frames of the current run still to give
};
ReplayCursor StartCursor(const uint8_t* image, const ReplayInfo& info);
// The next frame's packed states; false when the runs are used up.
bool NextFrame(ReplayCursor& cursor, uint32_t* packed);
