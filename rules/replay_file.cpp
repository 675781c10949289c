#include "rules/replay_file.h"

#include <array>
#include <cstring>
#include <initializer_list>

namespace {

constexpr uint8_t kMagic[4] = {'+', 'R', 'P', 'L'};
constexpr int32_t kNormalMode = 1;
constexpr uint8_t kFlagIncomplete = 1;
constexpr int kButtons = 12;
constexpr size_t kStateBytes = 3;
constexpr int kLengthMaxBytes = 5;
constexpr uint32_t kLengthMax = 0x7FFFFFFFu;
constexpr int32_t kShownOptionMax = 1;  // the graphic options are 0 or 1 (1: shown)

// The start levels the mode select can give.
constexpr int32_t kStartLevels[] = {0, 15, 25, 35, 50, 70, 100};

// Header offsets (docs/replay-format.md).
enum : size_t {
    OffMagic = 0,
    OffFormat = 4,
    OffRules = 6,
    OffMode = 8,
    OffFlags = 9,
    OffEnd = 10,
    OffReserved = 11,
    OffSeed = 12,
    OffStartLevel = 16,
    OffKeyConfig = 20,
    OffLineShadow = 24,
    OffEraseProperty = 28,
    OffFpsDisplay = 32,
    OffUpdates = 36,
    OffFrames = 40,
    OffRuns = 44,
    OffFrameBytes = 48,
    OffScore = 52,
    OffLines = 56,
    OffLevel = 60,
    OffElapsed = 64,
    OffMedals = 68,
};
static_assert(OffMedals + 4 * kReplayMedals == kReplayHeaderBytes);

// The CRC-32 of zip and PNG (reflected polynomial 0xEDB88320), one entry per byte value.
constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t GetInt(const uint8_t* p) { return static_cast<int32_t>(Get32(p)); }

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int b = 0; b < 4; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
}

void PutInt(uint8_t* p, int32_t v) { Put32(p, static_cast<uint32_t>(v)); }

bool IsStartLevel(int32_t level) {
    for (int32_t l : kStartLevels)
        if (l == level) return true;
    return false;
}

// A run's length, least significant seven bits first; the shortest form only, never zero.
bool DecodeLength(const uint8_t*& p, const uint8_t* end, uint32_t* length) {
    uint32_t value = 0;
    for (int i = 0; i < kLengthMaxBytes; ++i) {
        if (p >= end) return false;
        const uint8_t byte = *p++;
        value |= static_cast<uint32_t>(byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) {
            // A zero last byte after the first would be a longer form of a shorter length.
            if (i > 0 && byte == 0) return false;
            if (i == kLengthMaxBytes - 1 && byte > 0x07) return false;
            if (value == 0 || value > kLengthMax) return false;
            *length = value;
            return true;
        }
    }
    return false;
}

void TakeHeader(const uint8_t* b, ReplayInfo* info) {
    info->rulesVersion = Get16(b + OffRules);
    info->incomplete = (b[OffFlags] & kFlagIncomplete) != 0;
    info->mode = b[OffMode];
    info->seed = GetInt(b + OffSeed);
    info->startLevel = GetInt(b + OffStartLevel);
    info->keyConfig = GetInt(b + OffKeyConfig);
    info->showLineShadow = GetInt(b + OffLineShadow);
    info->eraseProperty = GetInt(b + OffEraseProperty);
    info->fpsDisplay = GetInt(b + OffFpsDisplay);
    info->frames = Get32(b + OffFrames);
    info->runs = Get32(b + OffRuns);
    info->frameBytes = Get32(b + OffFrameBytes);
    ReplayResult& r = info->result;
    r.end = b[OffEnd];
    r.updates = Get32(b + OffUpdates);
    r.score = GetInt(b + OffScore);
    r.lines = GetInt(b + OffLines);
    r.level = GetInt(b + OffLevel);
    r.elapsedMs = GetInt(b + OffElapsed);
    for (int m = 0; m < kReplayMedals; ++m) r.medals[m] = GetInt(b + OffMedals + 4 * m);
}

bool FieldsInRange(const uint8_t* b, const ReplayInfo& info) {
    if (info.mode != kNormalMode) return false;
    if ((b[OffFlags] & ~kFlagIncomplete) != 0 || b[OffReserved] != 0) return false;
    if (info.result.end >= kReplayEnds) return false;
    if (info.seed < 0 || !IsStartLevel(info.startLevel)) return false;
    if (info.keyConfig < 0 || info.keyConfig >= kKeyConfigCount) return false;
    for (int32_t option : {info.showLineShadow, info.eraseProperty, info.fpsDisplay})
        if (option < 0 || option > kShownOptionMax) return false;
    const ReplayResult& r = info.result;
    if (r.score < 0 || r.lines < 0 || r.level < info.startLevel || r.elapsedMs < 0) return false;
    for (int32_t medal : r.medals)
        if (medal < 0) return false;
    // A complete replay gives every update; an incomplete one fewer.
    if (info.incomplete ? info.frames > r.updates : info.frames != r.updates) return false;
    return true;
}

// Every run well formed, their count and frames as the header says, none past the runs' end.
bool RunsAgree(const uint8_t* runs, const ReplayInfo& info) {
    const uint8_t* p = runs;
    const uint8_t* end = runs + info.frameBytes;
    uint64_t frames = 0;
    uint32_t count = 0;
    while (p < end) {
        if (static_cast<size_t>(end - p) < kStateBytes) return false;
        p += kStateBytes;
        uint32_t length = 0;
        if (!DecodeLength(p, end, &length)) return false;
        frames += length;
        if (++count > info.runs || frames > info.frames) return false;
    }
    return count == info.runs && frames == info.frames;
}

}  // namespace

const char* ReplayStatusText(ReplayStatus status) {
    switch (status) {
        case ReplayStatus::Ok: return "a whole replay";
        case ReplayStatus::CannotOpen: return "the replay file cannot be opened";
        case ReplayStatus::NotAReplay: return "not a replay file (no +RPL mark at its start)";
        case ReplayStatus::UnknownFormat:
            return "a replay of a format version this game cannot read";
        case ReplayStatus::Truncated: return "the replay file is cut short";
        case ReplayStatus::TrailingBytes: return "the replay file has bytes after its end";
        case ReplayStatus::BadCrc: return "the replay file is damaged (its CRC does not match)";
        case ReplayStatus::Malformed: return "the replay file holds values no game can make";
        case ReplayStatus::OtherRules:
            return "the replay was made under other rules than this game's; it would not play "
                   "out the same";
    }
    return "unknown replay status";
}

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

ReplayStatus ReadReplay(const uint8_t* bytes, size_t size, ReplayInfo* info) {
    *info = ReplayInfo{};
    if (size < sizeof kMagic) return ReplayStatus::Truncated;
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return ReplayStatus::NotAReplay;
    if (size < OffRules) return ReplayStatus::Truncated;
    if (Get16(bytes + OffFormat) != kReplayFormatVersion) return ReplayStatus::UnknownFormat;
    if (size < kReplayHeaderBytes + kReplayCrcBytes) return ReplayStatus::Truncated;
    TakeHeader(bytes, info);
    const size_t room = size - kReplayHeaderBytes - kReplayCrcBytes;
    if (info->frameBytes > room) return ReplayStatus::Truncated;
    if (info->frameBytes < room) return ReplayStatus::TrailingBytes;
    const size_t crcAt = kReplayHeaderBytes + info->frameBytes;
    if (Crc32(bytes, crcAt) != Get32(bytes + crcAt)) return ReplayStatus::BadCrc;
    if (!FieldsInRange(bytes, *info)) return ReplayStatus::Malformed;
    if (!RunsAgree(bytes + kReplayHeaderBytes, *info)) return ReplayStatus::Malformed;
    if (info->rulesVersion != kReplayRulesVersion) return ReplayStatus::OtherRules;
    return ReplayStatus::Ok;
}

void SealReplay(ReplayImage& image, const ReplayInfo& info) {
    uint8_t* b = image.bytes;
    std::memcpy(b + OffMagic, kMagic, sizeof kMagic);
    Put16(b + OffFormat, kReplayFormatVersion);
    Put16(b + OffRules, info.rulesVersion);
    b[OffMode] = static_cast<uint8_t>(info.mode);
    b[OffFlags] = info.incomplete ? kFlagIncomplete : 0;
    b[OffEnd] = static_cast<uint8_t>(info.result.end);
    b[OffReserved] = 0;
    PutInt(b + OffSeed, info.seed);
    PutInt(b + OffStartLevel, info.startLevel);
    PutInt(b + OffKeyConfig, info.keyConfig);
    PutInt(b + OffLineShadow, info.showLineShadow);
    PutInt(b + OffEraseProperty, info.eraseProperty);
    PutInt(b + OffFpsDisplay, info.fpsDisplay);
    Put32(b + OffUpdates, info.result.updates);
    Put32(b + OffFrames, info.frames);
    Put32(b + OffRuns, info.runs);
    Put32(b + OffFrameBytes, info.frameBytes);
    PutInt(b + OffScore, info.result.score);
    PutInt(b + OffLines, info.result.lines);
    PutInt(b + OffLevel, info.result.level);
    PutInt(b + OffElapsed, info.result.elapsedMs);
    for (int m = 0; m < kReplayMedals; ++m) PutInt(b + OffMedals + 4 * m, info.result.medals[m]);
    const size_t crcAt = kReplayHeaderBytes + info.frameBytes;
    Put32(b + crcAt, Crc32(b, crcAt));
    image.size = crcAt + kReplayCrcBytes;
}

uint32_t PackButtons(const int32_t states[12]) {
    uint32_t packed = 0;
    for (int i = 0; i < kButtons; ++i) packed |= static_cast<uint32_t>(states[i] & 3) << (2 * i);
    return packed;
}

void UnpackButtons(uint32_t packed, int32_t states[12]) {
    for (int i = 0; i < kButtons; ++i) states[i] = static_cast<int32_t>(packed >> (2 * i) & 3);
}

uint32_t PackLatch(const ButtonLatchState& b) {
    const int32_t states[kButtons] = {b.up,     b.down,   b.right,  b.left,   b.key[1], b.key[2],
                                      b.key[3], b.key[4], b.key[5], b.key[6], b.key[7], b.key[8]};
    return PackButtons(states);
}

ButtonLatchState UnpackLatch(uint32_t packed) {
    int32_t s[kButtons];
    UnpackButtons(packed, s);
    ButtonLatchState b{};
    b.up = s[0];
    b.down = s[1];
    b.right = s[2];
    b.left = s[3];
    for (int n = 1; n <= 8; ++n) b.key[n] = s[3 + n];
    return b;
}

size_t EncodeRun(uint32_t packed, uint32_t length, uint8_t* out) {
    size_t n = 0;
    for (size_t b = 0; b < kStateBytes; ++b) out[n++] = static_cast<uint8_t>(packed >> (8 * b));
    do {
        uint8_t byte = static_cast<uint8_t>(length & 0x7F);
        length >>= 7;
        if (length != 0) byte |= 0x80;
        out[n++] = byte;
    } while (length != 0);
    return n;
}

ReplayCursor StartCursor(const uint8_t* image, const ReplayInfo& info) {
    const uint8_t* runs = image + kReplayHeaderBytes;
    return ReplayCursor{runs, runs + info.frameBytes, 0, 0};
}

bool NextFrame(ReplayCursor& cursor, uint32_t* packed) {
    if (cursor.left == 0) {
        if (static_cast<size_t>(cursor.end - cursor.next) <= kStateBytes) return false;
        const uint8_t* p = cursor.next;
        cursor.packed = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                        static_cast<uint32_t>(p[2]) << 16;
        p += kStateBytes;
        uint32_t length = 0;
        if (!DecodeLength(p, cursor.end, &length)) return false;
        cursor.next = p;
        cursor.left = length;
    }
    --cursor.left;
    *packed = cursor.packed;
    return true;
}
