// The loop as a browser drives it: RunDueFrames called back at the display's refresh rate on
// the headless platform's virtual clock, which moves only when the test moves it. The game
// must keep its own 60 frames a second whatever the display's rate, never wait, and stop
// while the page is hidden.
#include <gtest/gtest.h>

#include <vector>

#include "app/application.h"
#include "frame/frame.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_window.h"
#include "platform/platform.h"
#include "support/fresh.h"

namespace {

int32_t g_frames;

void CountFrame() { ++g_frames; }

// The program brought up as the browser's start-up does, with a game that only counts frames.
void StartCountingGame() {
    FreshProcess();
    HeadlessResetWindow();
    g_frames = 0;
    ASSERT_EQ(StartApplication(GameRoutines{nullptr, CountFrame}), StartResult::Started);
    ASSERT_EQ(Frame.targetFrameRate, 20) << "the frame starts at its own default rate";
    // The game asks for its rate at start-up; 60 is what every scene runs at.
    SetFrameRate(60);
}

// Display callbacks at `hz` for `ms` of virtual time from the clock's current reading, as a
// browser's millisecond clock shows them (whole milliseconds, rounded down). Returns the
// frames each callback ran.
std::vector<int32_t> Display(int32_t hz, uint32_t ms) {
    std::vector<int32_t> perCallback;
    const uint32_t start = PlatformMilliseconds();
    for (int64_t k = 0;; ++k) {
        const uint32_t at = static_cast<uint32_t>(k * 1000 / hz);
        if (at >= ms) break;
        HeadlessSetClock(start + at);
        const int32_t before = g_frames;
        EXPECT_TRUE(RunDueFrames());
        perCallback.push_back(g_frames - before);
    }
    HeadlessSetClock(start + ms);
    return perCallback;
}

int32_t Sum(const std::vector<int32_t>& counts) {
    int32_t sum = 0;
    for (int32_t n : counts) sum += n;
    return sum;
}

TEST(BrowserPacingTest, SixtyFramesASecondOnEveryDisplayRate) {
    for (int32_t hz : {60, 75, 120, 144, 30, 50}) {
        ASSERT_NO_FATAL_FAILURE(StartCountingGame());
        // Second by second, so that a rate right on average but uneven within shows too.
        int32_t total = 0;
        for (int second = 1; second <= 10; ++second) {
            const std::vector<int32_t> counts = Display(hz, 1000);
            total += Sum(counts);
            EXPECT_NEAR(total, 60 * second, 1) << hz << " Hz, after " << second << " s";
            if (hz < 60) continue;
            // A display at least as fast as the game shows every frame in the second it is
            // due, and never two in one callback, which would skip a picture.
            EXPECT_EQ(Sum(counts), 60) << hz << " Hz, second " << second;
            int32_t most = 0;
            for (int32_t n : counts) most = n > most ? n : most;
            EXPECT_EQ(most, 1) << hz << " Hz, second " << second;
        }
        EXPECT_EQ(HeadlessSleptMs(), 0u) << hz << " Hz: the browser's loop never sleeps";
        EXPECT_EQ(HeadlessWindow().waits, 0u) << hz << " Hz: nor waits for a message";
        EXPECT_EQ(HeadlessWindow().presentedFrames, static_cast<uint32_t>(total))
            << hz << " Hz: each frame presented";
    }
}

TEST(BrowserPacingTest, MeasuredRateIsTheGamesNotTheDisplays) {
    ASSERT_NO_FATAL_FAILURE(StartCountingGame());
    Display(144, 3000);
    EXPECT_NEAR(Frame.measuredFrameRate, 60.0f, 1.0f);
}

TEST(BrowserPacingTest, HiddenPagePausesAndResumesWithoutABurst) {
    ASSERT_NO_FATAL_FAILURE(StartCountingGame());
    Display(60, 1000);
    ASSERT_EQ(g_frames, 60);
    // Hidden: the page tells the window it lost the focus; callbacks may still come (or not).
    ASSERT_TRUE(HeadlessPostMessage(PlatformMessage{MsgDeactivate, 0, 0, 0}));
    Display(60, 5000);
    EXPECT_EQ(g_frames, 60) << "no frame runs while the page is hidden";
    // Shown again five seconds later: the frames go on from now, the missed ones are dropped.
    ASSERT_TRUE(HeadlessPostMessage(PlatformMessage{MsgActivate, 0, 0, 0}));
    const std::vector<int32_t> counts = Display(60, 1000);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.front(), 1) << "the first callback after the pause runs one frame";
    EXPECT_EQ(Sum(counts), 60);
}

TEST(BrowserPacingTest, SlowCallbacksCatchUpAFewFramesAtATime) {
    ASSERT_NO_FATAL_FAILURE(StartCountingGame());
    Display(60, 100);
    const int32_t before = g_frames;
    // One callback 50 ms late (a busy page): the missed frames run at once, then the rhythm.
    HeadlessAdvanceClock(50);
    EXPECT_TRUE(RunDueFrames());
    EXPECT_GE(g_frames - before, 3);
    EXPECT_LE(g_frames - before, 4);
    // Half a second without a callback is a pause, not a backlog to race through.
    const int32_t beforePause = g_frames;
    HeadlessAdvanceClock(500);
    EXPECT_TRUE(RunDueFrames());
    EXPECT_EQ(g_frames - beforePause, 1);
}

TEST(BrowserPacingTest, TheLoopEndsWhenTheWindowCloses) {
    ASSERT_NO_FATAL_FAILURE(StartCountingGame());
    Display(60, 100);
    ASSERT_TRUE(HeadlessPostMessage(PlatformMessage{MsgClose, 0, 0, 0}));
    HeadlessAdvanceClock(17);
    // The close is taken, the window goes, and the quit message behind it ends the loop.
    const int32_t before = g_frames;
    EXPECT_FALSE(RunDueFrames());
    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(g_frames, before) << "no frame runs once the window is gone";
    StopApplication();
}

}  // namespace
