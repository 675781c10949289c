// Frame pacing on the headless clock: the clock moves only by the frame's sleeps and by what
// a test adds to stand for the time a frame took.
#include <gtest/gtest.h>

#include <vector>

#include "frame/frame.h"
#include "frame/pacing.h"
#include "frame/random.h"
#include "platform/headless/headless.h"
#include "support/fresh.h"

namespace {

// One paced frame that took `workMs` before pacing; returns how long pacing slept.
uint32_t PaceOneFrame(uint32_t workMs = 0) {
    HeadlessAdvanceClock(workMs);
    const uint32_t before = HeadlessSleptMs();
    PaceFrame();
    return HeadlessSleptMs() - before;
}

std::vector<uint32_t> PaceFrames(int count) {
    std::vector<uint32_t> sleeps;
    for (int i = 0; i < count; ++i) sleeps.push_back(PaceOneFrame());
    return sleeps;
}

struct RateCase {
    int32_t fps;
    std::vector<uint32_t> sleeps;   // frame lengths of the first frames, nothing else running
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.fps << " fps"; }

class PacingRate : public testing::TestWithParam<RateCase> {};

TEST_P(PacingRate, FrameLengthsFollowThePeriodAndTheLongFrame) {
    FreshProcess();
    SetFrameRate(GetParam().fps);
    EXPECT_EQ(PaceFrames(static_cast<int>(GetParam().sleeps.size())), GetParam().sleeps);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, PacingRate,
    testing::Values(
        // 16 ms with 4 ms more on every sixth frame: 100 ms per six frames.
        RateCase{60, {16, 16, 16, 16, 16, 20, 16, 16, 16, 16, 16, 20}},
        // 1000 divides evenly: no long frame.
        RateCase{50, {20, 20, 20, 20, 20, 20, 20, 20}},
        RateCase{100, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10}},
        RateCase{2, {500, 500, 500}}));

TEST(Pacing, SixtyFramesTakeOneSecond) {
    FreshProcess();
    SetFrameRate(60);
    PaceFrames(60);
    EXPECT_EQ(HeadlessSleptMs(), 1000u);
}

TEST(Pacing, FrameOfFortyMillisecondsIsCaughtUpOnTheNextFrames) {
    FreshProcess();
    SetFrameRate(60);
    PaceFrames(6);
    std::vector<uint32_t> sleeps{PaceOneFrame(40)};
    for (int i = 0; i < 5; ++i) sleeps.push_back(PaceOneFrame());
    // The two frames after the late one run without waiting, the third waits the rest.
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{0, 0, 8, 16, 16, 20}));
    // 40 ms of work plus the sleeps: the six frames still take their 100 ms.
    EXPECT_EQ(40u + 8 + 16 + 16 + 20, 100u);
}

TEST(Pacing, FrameOfSeventyMillisecondsDropsTheBacklog) {
    FreshProcess();
    SetFrameRate(60);
    PaceFrames(6);
    std::vector<uint32_t> sleeps{PaceOneFrame(70)};
    for (int i = 0; i < 5; ++i) sleeps.push_back(PaceOneFrame());
    // Base reset to now - 16: one frame without waiting, then the normal rhythm.
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{0, 0, 16, 16, 16, 20}));
}

TEST(Pacing, MeasuredRateStartsAtTheTargetAndIsRefreshedEveryHalfSecond) {
    FreshProcess();
    SetFrameRate(60);
    PaceOneFrame();
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 60.0f);
    PaceFrames(28);
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 60.0f);
    // The first span runs from the first call to the 30th: 480 ms, the 30th frame's own
    // sleep not yet taken.
    PaceOneFrame();
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 62.5f);
    PaceFrames(30);
    EXPECT_FLOAT_EQ(Frame.measuredFrameRate, 60.0f);
}

TEST(Pacing, SlowFramesShowInTheMeasuredRate) {
    FreshProcess();
    SetFrameRate(50);
    PaceFrames(25);
    // 25 frames of 30 ms work instead of 20, none of them waiting; the span also holds the
    // sleep of the frame that took the previous measurement: 770 ms for 25 frames.
    for (int i = 0; i < 25; ++i) EXPECT_EQ(PaceOneFrame(30), 0u);
    EXPECT_NEAR(Frame.measuredFrameRate, 50 * 500.0 / 770, 0.01);
}

TEST(Pacing, FirstFrameSeedsTheRandomGeneratorFromTheCalendarOnce) {
    FreshProcess();
    SeedRandom(99);
    HeadlessSetCalendarSeconds(12345);
    SetFrameRate(60);
    PaceOneFrame();
    EXPECT_EQ(DrawRandom(), 7584);
    SeedRandom(99);
    PaceFrames(10);
    SeedRandom(12345);
    DrawRandom();
    EXPECT_EQ(DrawRandom(), 19164);
}

TEST(Pacing, LoweringTheRateMidRunKeepsTheLongFrames) {
    FreshProcess();
    SetFrameRate(100);
    PaceFrames(8);
    SetFrameRate(60);
    // Counters past the new limits start over instead of never coming round again.
    std::vector<uint32_t> sleeps = PaceFrames(7);
    EXPECT_EQ(sleeps, (std::vector<uint32_t>{20, 16, 16, 16, 16, 16, 20}));
}

}  // namespace
