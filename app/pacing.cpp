#include "app/pacing.h"

#include "frame/frame.h"
#include "frame/random.h"
#include "platform/platform.h"

namespace {

struct PacingState {
    uint32_t frameBaseTime;     // when the current frame period began
    uint32_t measurementStart;  // when the current rate measurement began
    uint32_t halfRateCounter;   // frames since the last measurement
    uint32_t tenthRateCounter;  // frames since the last long frame
    bool started;
};

PacingState g_pacing;

}  // namespace

void PaceFrame() {
    PacingState& p = g_pacing;
    const uint32_t fps = static_cast<uint32_t>(Frame.targetFrameRate);

    if (!p.started) {
        p.started = true;
        p.frameBaseTime = PlatformMilliseconds();
        p.measurementStart = p.frameBaseTime;
        Frame.measuredFrameRate = static_cast<float>(fps);
        SeedRandom(static_cast<uint32_t>(PlatformCalendarSeconds()));
    }

    // At 60 fps: 16 ms frames, and 4 ms more on every sixth one.
    const uint32_t period = 1000 / fps;
    const uint32_t extra = (1000 % fps) / 10;

    const uint32_t now = PlatformMilliseconds();
    const uint32_t elapsed = now - p.frameBaseTime;

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

void ResetPacing() { g_pacing = PacingState{}; }
