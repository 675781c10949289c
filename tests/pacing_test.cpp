// Frame pacing on the headless clock: the clock moves only by the frame's sleeps and by what
// a test adds to stand for the time a frame took.
#include <gtest/gtest.h>

#include <vector>

#include "app/pacing.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "hosts/headless/headless.h"
#include "support/fresh.h"

namespace {

using Sleeps = std::vector<uint32_t>;

// Paces `count` frames, the seventh of which took `lateMs` before pacing; returns the sleeps.
Sleeps Pace(int count, uint32_t lateMs = 0) {
    Sleeps sleeps;
    for (int i = 0; i < count; ++i) {
        HeadlessAdvanceClock(i == 6 ? lateMs : 0);
        const uint32_t before = HeadlessSleptMs();
        PaceFrame();
        sleeps.push_back(HeadlessSleptMs() - before);
    }
    return sleeps;
}

TEST(PacingTest, FrameLengthsFollowTheRateTheLongFrameAndLateFrames) {
    const struct {
        int32_t fps;      // as asked of SetFrameRate
        uint32_t lateMs;  // work of the seventh frame
        Sleeps sleeps;
    } cases[] = {
        // 16 ms with 4 ms more on every sixth frame: 100 ms per six frames.
        {60, 0, {16, 16, 16, 16, 16, 20, 16, 16, 16, 16, 16, 20}},
        {50, 0, {20, 20, 20, 20, 20, 20}},
        {100, 0, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}},
        // A little late: the next frames run without waiting until the time is caught up.
        {60, 40, {16, 16, 16, 16, 16, 20, 0, 0, 8, 16, 16, 20}},
        // Far behind: the backlog is dropped, one frame runs at once, then the usual rhythm.
        {60, 70, {16, 16, 16, 16, 16, 20, 0, 0, 16, 16, 16, 20}},
        // The rate is kept within 2..100.
        {0, 0, {500, 500}},
        {101, 0, {10, 10, 10}},
        {500, 0, {10, 10, 10}},
    };
    for (const auto& c : cases) {
        FreshProcess();
        SetFrameRate(c.fps);
        EXPECT_EQ(Pace(static_cast<int>(c.sleeps.size()), c.lateMs), c.sleeps)
            << c.fps << " fps, late " << c.lateMs;
    }
}

TEST(PacingTest, LoweringTheRateMidRunKeepsTheLongFrames) {
    FreshProcess();
    SetFrameRate(100);
    Pace(8);
    SetFrameRate(60);
    // Counters already past the new limits start over instead of never coming round again.
    EXPECT_EQ(Pace(7), (Sleeps{20, 16, 16, 16, 16, 16, 20}));
}

TEST(PacingTest, MeasuredRateIsRefreshedTwiceASecond) {
    FreshProcess();
    SetFrameRate(60);
    Pace(29);  // till then the rate shown is the target
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 60.0f);
    // The first span runs from the first call to the 30th, before that frame's sleep: 480 ms.
    Pace(1);
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 62.5f);
    Pace(30);
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 60.0f);
}

TEST(PacingTest, OnlyTheFirstFrameSeedsTheRandomGeneratorFromTheCalendar) {
    FreshProcess();
    SetFrameRate(60);
    HeadlessSetCalendarSeconds(12345);
    SeedRandom(12345);
    const int32_t first = DrawRandom(), second = DrawRandom();
    Pace(1);
    EXPECT_EQ(DrawRandom(), first);
    Pace(10);
    EXPECT_EQ(DrawRandom(), second);
}

}  // namespace
