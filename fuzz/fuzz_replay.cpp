// A replay file from any bytes: the reader accepts only a whole, consistent image, and what
// it accepts the cursor walks to the end of its runs without reading past them; an accepted
// replay then starts a game in the program and plays its first updates, and a short one is
// verified whole by the rules alone. Each input is also read with its last four bytes made the
// right CRC, so that the checks behind the CRC are reached as often.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "rules/replay_file.h"
#include "rules/verify.h"
#include "scenes/replay_watch.h"
#include "scenes/state.h"

namespace {

constexpr uint32_t kWalkLimit = 1u << 20;  // frames walked at most (runs can be long)
constexpr int kPlayedUpdates = 300;
constexpr uint32_t kVerifiedUpdates = 20000;  // longer games are left to the program's run

void Expect(bool holds) {
    if (!holds) std::abort();
}

void Check(const uint8_t* data, size_t size) {
    ReplayInfo info;
    const ReplayStatus status = ReadReplay(data, size, &info);
    if (status != ReplayStatus::Ok && status != ReplayStatus::OtherRules) return;
    Expect(size == kReplayHeaderBytes + info.frameBytes + kReplayCrcBytes);

    ReplayCursor cursor = StartCursor(data, info);
    uint32_t packed = 0, frames = 0;
    while (frames < kWalkLimit && NextFrame(cursor, &packed)) {
        Expect(packed < (1u << 24));
        ++frames;
    }
    Expect(frames == kWalkLimit || frames == info.frames);
    if (status != ReplayStatus::Ok) return;

    ResetProcessState();
    StartWatching(info, data);
    for (int u = 0; u < kPlayedUpdates && StepWatching(); ++u) {}

    if (info.result.updates > kVerifiedUpdates) return;
    char message[256];
    const ReplayVerdict verdict = VerifyReplay(data, size, message, sizeof message);
    Expect(verdict != ReplayVerdict::Refused);
    Expect(VerifiedResult().updates <= info.result.updates);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    if (size < kReplayHeaderBytes + kReplayCrcBytes) return 0;
    // A copy of exactly the input's size, so that the sanitizer sees any read past it.
    uint8_t* sealed = static_cast<uint8_t*>(std::malloc(size));
    if (!sealed) return 0;
    std::memcpy(sealed, data, size);
    const size_t at = size - kReplayCrcBytes;
    const uint32_t crc = Crc32(sealed, at);
    for (size_t b = 0; b < kReplayCrcBytes; ++b)
        sealed[at + b] = static_cast<uint8_t>(crc >> (8 * b));
    Check(sealed, size);
    std::free(sealed);
    return 0;
}
