#include <gtest/gtest.h>

#include <vector>

#include "frame/frame.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "support/fresh.h"

namespace {

constexpr int kKeyZ = 90;
constexpr uint32_t kCentre = 32767;

// Samples the key once per frame with the given down/up pattern.
std::vector<int> KeyFrames(int key, const std::vector<bool>& downs) {
    std::vector<int> seen;
    for (bool down : downs) {
        HeadlessSetKey(key, down);
        seen.push_back(QueryKey(key));
    }
    return seen;
}

void DetectWith(int joysticks) {
    HeadlessSetJoystickCount(joysticks);
    DetectJoysticks();
    EnableJoystick(1);
}

}  // namespace

TEST(ButtonStateMachine, EveryTransition) {
    struct Row {
        bool down;
        uint8_t before, after;
    };
    const Row rows[] = {
        {true, 0, 2},  {true, 1, 3},  {true, 2, 3},  {true, 3, 3},
        {false, 0, 0}, {false, 1, 0}, {false, 2, 1}, {false, 3, 1},
    };
    for (const Row& row : rows) {
        uint8_t state = row.before;
        StepButtonState(row.down, state);
        EXPECT_EQ(state, row.after) << "down " << row.down << " from " << int(row.before);
    }
}

TEST(KeyPolling, HeldThreeFramesThenLetGo) {
    FreshProcess();
    EXPECT_EQ(KeyFrames(kKeyZ, {true, true, true, false, false}),
              (std::vector<int>{2, 3, 3, 1, 0}));
}

TEST(KeyPolling, QuickTapReadsHeldOnTheSecondPress) {
    FreshProcess();
    EXPECT_EQ(KeyFrames(kKeyZ, {true, false, true}), (std::vector<int>{2, 1, 3}));
}

TEST(KeyPolling, KeysKeepSeparateStates) {
    FreshProcess();
    HeadlessSetKey(kKeyZ, true);
    EXPECT_EQ(QueryKey(kKeyZ), 2);
    EXPECT_EQ(QueryKey(kKeyZ + 1), 0);
    EXPECT_EQ(QueryKey(kKeyZ), 3);
}

TEST(KeyPolling, OpenMessageBoxFreezesEveryKey) {
    FreshProcess();
    HeadlessSetKey(kKeyZ, true);
    EXPECT_EQ(QueryKey(kKeyZ), 2);

    Frame.messageBoxShowing = 1;
    HeadlessSetKey(38, true);
    EXPECT_EQ(QueryKey(kKeyZ), 0);
    EXPECT_EQ(QueryKey(38), 0);
    EXPECT_EQ(Input.keyStates[kKeyZ], 2) << "the state must not step while the box is open";
    EXPECT_EQ(Input.keyStates[38], 0);

    Frame.messageBoxShowing = 0;
    EXPECT_EQ(QueryKey(kKeyZ), 3);
    EXPECT_EQ(QueryKey(38), 2);
}

TEST(KeyPolling, CodesOutsideTheTableReadIdle) {
    FreshProcess();
    EXPECT_EQ(QueryKey(-1), 0);
    EXPECT_EQ(QueryKey(256), 0);
}

TEST(KeyPolling, AnyKeyReleasedSeesTheFirstReleasedKey) {
    FreshProcess();
    HeadlessSetKey(40, true);
    EXPECT_EQ(AnyKeyReleased(0), 0);
    HeadlessSetKey(40, false);
    EXPECT_EQ(AnyKeyReleased(0), 1);
    EXPECT_EQ(AnyKeyReleased(0), 0);
}

TEST(KeyPolling, AnyKeyReleasedTakesTheMouseOnlyWhenAsked) {
    FreshProcess();
    Frame.mouseMoved = 1;
    EXPECT_EQ(AnyKeyReleased(0), 0);
    EXPECT_EQ(Frame.mouseMoved, 0) << "the flag is consumed either way";
    Frame.mouseMoved = 1;
    EXPECT_EQ(AnyKeyReleased(1), 1);
    EXPECT_EQ(Frame.mouseMoved, 0);
}

TEST(JoystickDetection, NoDriverMeansNoJoystickAndNoLine) {
    FreshProcess();
    DetectJoysticks();
    EXPECT_EQ(Input.joystickCount, 0);
    EXPECT_TRUE(HeadlessRecorded().debugLines.empty());
    EXPECT_EQ(QueryJoystick(0, 1), 0);
}

TEST(JoystickDetection, CountsUsableJoysticksAndSaysSo) {
    for (int present : {1, 3, 8}) {
        FreshProcess();
        HeadlessSetJoystickCount(present);
        DetectJoysticks();
        EXPECT_EQ(Input.joystickCount, present);
        for (int id = 0; id < kMaxJoysticks; ++id) {
            EXPECT_EQ(Input.joysticks[id].usable, id < present ? 1 : 0) << "id " << id;
        }
        ASSERT_EQ(HeadlessRecorded().debugLines.size(), 1u);
        EXPECT_EQ(HeadlessRecorded().debugLines[0],
                  std::to_string(present) + "個のジョイスティックが使用可能です\n");
    }
}

TEST(JoystickDetection, EnableReportsTheCountAndSetsPolling) {
    FreshProcess();
    HeadlessSetJoystickCount(2);
    DetectJoysticks();
    EXPECT_EQ(EnableJoystick(1), 2);
    EXPECT_EQ(Frame.joystickPolling, 1);
    EXPECT_EQ(EnableJoystick(0), 2);
    EXPECT_EQ(Frame.joystickPolling, 0);
}

TEST(JoystickPolling, StickThresholdsAreLopsided) {
    struct Row {
        uint32_t axis;
        bool low, high;   // up/left, down/right
    };
    const Row rows[] = {
        {0, true, false},          {0x6FFF, true, false},  {0x7000, false, false},
        {kCentre, false, false},   {0x8000, false, false}, {0x8001, false, true},
        {65535, false, true},
    };
    for (const Row& row : rows) {
        FreshProcess();
        DetectWith(1);
        HeadlessSetJoystick(0, row.axis, row.axis, 0);
        for (int frame = 0; frame < 3; ++frame) {
            PollJoysticks();
            int expectLow = row.low ? (frame == 0 ? 2 : 3) : 0;
            int expectHigh = row.high ? (frame == 0 ? 2 : 3) : 0;
            EXPECT_EQ(QueryJoystick(0, JoystickUp), expectLow) << row.axis;
            EXPECT_EQ(QueryJoystick(0, JoystickLeft), expectLow) << row.axis;
            EXPECT_EQ(QueryJoystick(0, JoystickDown), expectHigh) << row.axis;
            EXPECT_EQ(QueryJoystick(0, JoystickRight), expectHigh) << row.axis;
        }
    }
}

TEST(JoystickPolling, AxesAreIndependent) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystick(0, 0x9000, 0x1000, 0);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, JoystickUp), 2);
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 0);
    EXPECT_EQ(QueryJoystick(0, JoystickLeft), 0);
    EXPECT_EQ(QueryJoystick(0, JoystickRight), 2);
}

TEST(JoystickPolling, EachButtonBitHasItsOwnCode) {
    for (int b = 0; b < 8; ++b) {
        FreshProcess();
        DetectWith(1);
        HeadlessSetJoystick(0, kCentre, kCentre, 1u << b);
        PollJoysticks();
        for (int other = 0; other < 8; ++other) {
            EXPECT_EQ(QueryJoystick(0, 1u << other), other == b ? 2 : 0) << b << "/" << other;
        }
    }
}

TEST(JoystickPolling, OtherCodesAreNoInput) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystick(0, 0, 0, 0xFF);
    PollJoysticks();
    for (uint32_t code : {0u, 3u, 5u, 256u, 0x80000000u, 0x80000005u, 0xFFFFFFFFu}) {
        EXPECT_EQ(QueryJoystick(0, code), 0) << code;
    }
}

TEST(JoystickPolling, QueriesOnlyReadTheStoredStates) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystick(0, kCentre, kCentre, 1);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 2);
    EXPECT_EQ(QueryJoystick(0, 1), 2);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 3);
}

TEST(JoystickPolling, SwitchingOffAndOnStartsFromIdle) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystick(0, kCentre, 65535, 1);
    PollJoysticks();
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 3);
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 3);

    EnableJoystick(0);
    EXPECT_EQ(QueryJoystick(0, 1), 0);
    EnableJoystick(1);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 2);
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 2);
}

TEST(JoystickPolling, FailedReadLetsEverythingGo) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystick(0, 0, 65535, 0xFF);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 128), 2);

    HeadlessSetJoystickCount(0);   // pulled out: every read now fails
    PollJoysticks();
    EXPECT_EQ(Input.joysticks[0].usable, 1) << "detection is not repeated";
    EXPECT_EQ(QueryJoystick(0, JoystickUp), 0) << "up was never down";
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 1);
    EXPECT_EQ(QueryJoystick(0, JoystickLeft), 1);
    EXPECT_EQ(QueryJoystick(0, 1), 1);
    EXPECT_EQ(QueryJoystick(0, 128), 1);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 0);
    EXPECT_EQ(QueryJoystick(0, 128), 0);
}

TEST(JoystickPolling, JoysticksBeyondTheDetectedCountAreIgnored) {
    FreshProcess();
    DetectWith(1);
    HeadlessSetJoystickCount(2);   // plugged in after start-up
    HeadlessSetJoystick(1, 0, 0, 0xFF);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(1, 1), 0);
    EXPECT_EQ(QueryJoystick(1, JoystickUp), 0);
    EXPECT_EQ(QueryJoystick(-1, 1), 0);
    EXPECT_EQ(QueryJoystick(8, 1), 0);
}
