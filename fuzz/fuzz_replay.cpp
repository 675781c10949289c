// A replay file from any bytes: the reader accepts only a whole, consistent image, and what
// it accepts the cursor walks to the end of its runs without reading past them; an accepted
// replay then starts a game and plays its first updates.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/replay_record.h"
#include "scenes/replay_watch.h"
#include "scenes/state.h"
#include "shell/replay_file.h"

namespace {

constexpr uint32_t kWalkLimit = 1u << 20;  // frames walked at most (runs can be long)
constexpr int kPlayedUpdates = 300;

void Expect(bool holds) {
    if (!holds) std::abort();
}

// The image is copied into a buffer of exactly its size, so the sanitizer sees any read past it.
uint8_t g_copy[kReplayMaxBytes];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayInfo info;
    const ReplayStatus status = ReadReplay(data, size, &info);
    if (status != ReplayStatus::Ok && status != ReplayStatus::OtherRules) return 0;
    Expect(size == kReplayHeaderBytes + info.frameBytes + kReplayCrcBytes);

    ReplayCursor cursor = StartCursor(data, info);
    uint32_t packed = 0, frames = 0;
    while (frames < kWalkLimit && NextFrame(cursor, &packed)) {
        Expect(packed < (1u << 24));
        ++frames;
    }
    Expect(frames == kWalkLimit || frames == info.frames);
    if (status != ReplayStatus::Ok || size > sizeof g_copy) return 0;

    ResetProcessState();
    std::memcpy(g_copy, data, size);
    StartWatching(info, g_copy);
    for (int u = 0; u < kPlayedUpdates && StepWatching(); ++u) {}
    return 0;
}
