#include "app/pacing.h"

#include "frame/frame.h"
#include "frame/random.h"
#include "platform/platform.h"

namespace {

// A browser calls back at its display's rate and may run several frames in one call; more
// than this many at once would show as a jump rather than as catching up.
constexpr int32_t kMaxFramesPerCall = 4;
// A frame may start this much before its time: a display's callbacks jitter by a millisecond
// or two, and a frame put off to the next callback would run two frames there and skip a
// picture.
constexpr int32_t kEarlyMs = 4;

struct PacingState {
    uint32_t frameBaseTime;     // when the current frame period began
    uint32_t measurementStart;  // when the current rate measurement began
    uint32_t halfRateCounter;   // frames since the last measurement
    uint32_t tenthRateCounter;  // frames since the last long frame
    bool started;
};

PacingState g_pacing;

// The first paced frame starts the clock, the rate measurement and the random sequence.
void StartPacing() {
    PacingState& p = g_pacing;
    if (p.started) return;
    p.started = true;
    p.frameBaseTime = PlatformMilliseconds();
    p.measurementStart = p.frameBaseTime;
    Frame.measuredFrameRate = static_cast<float>(Frame.targetFrameRate);
    SeedRandom(static_cast<uint32_t>(PlatformCalendarSeconds()));
}

uint32_t FramePeriod() { return 1000 / static_cast<uint32_t>(Frame.targetFrameRate); }

// Counts one frame at `now`: refreshes the measured rate twice a second and returns the
// frame's length. At 60 fps: 16 ms frames, and 4 ms more on every sixth one.
uint32_t TakeFrameLength(uint32_t now) {
    PacingState& p = g_pacing;
    const uint32_t fps = static_cast<uint32_t>(Frame.targetFrameRate);
    const uint32_t period = 1000 / fps;
    const uint32_t extra = (1000 % fps) / 10;

    // Counted up to the limit, not onto it: after the rate is lowered mid-run a counter
    // already past the new limit would otherwise never come round again.
    if (++p.halfRateCounter >= fps / 2) {
        // A clock that did not move would divide by zero; the last rate then stands.
        const int32_t span = static_cast<int32_t>(now - p.measurementStart);
        if (span > 0) Frame.measuredFrameRate = static_cast<float>(fps * 500.0 / span);
        p.measurementStart = now;
        p.halfRateCounter = 0;
    }

    uint32_t length = period;
    if (++p.tenthRateCounter >= fps / 10) {
        length = period + extra;
        p.tenthRateCounter = 0;
    }
    return length;
}

}  // namespace

void PaceFrame() {
    PacingState& p = g_pacing;
    StartPacing();
    const uint32_t now = PlatformMilliseconds();
    const uint32_t elapsed = now - p.frameBaseTime;
    const uint32_t length = TakeFrameLength(now);

    if (elapsed < length) {
        PlatformSleep(length - elapsed);
        p.frameBaseTime += length;
    } else if (elapsed < 4 * length) {
        // A little late: no wait, the next frames catch up.
        p.frameBaseTime += length;
    } else {
        // Far behind: the backlog is dropped rather than raced through.
        p.frameBaseTime = now - length;
    }
}

int32_t FramesDue() {
    PacingState& p = g_pacing;
    StartPacing();
    const uint32_t now = PlatformMilliseconds();
    // Far behind (a hidden page, a debugger): the backlog is dropped rather than raced
    // through, and the frames start again from now.
    if (static_cast<int32_t>(now - p.frameBaseTime) >= static_cast<int32_t>(4 * FramePeriod()))
        p.frameBaseTime = now;
    int32_t due = 0;
    while (due < kMaxFramesPerCall && static_cast<int32_t>(now - p.frameBaseTime) + kEarlyMs >= 0) {
        p.frameBaseTime += TakeFrameLength(now);
        ++due;
    }
    return due;
}

void ResetPacing() { g_pacing = PacingState{}; }
