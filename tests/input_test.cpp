// Key and joystick state machines on the headless machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/frame.h"
#include "hosts/headless/headless.h"
#include "input/buttons.h"
#include "input/input.h"
#include "support/fresh.h"

namespace {

constexpr uint32_t kCentre = 32767;

void StartWithJoysticks(int count) {
    FreshProcess();
    HeadlessSetJoystickCount(count);
    DetectJoysticks();
    EnableJoystick(1);
}

TEST(InputTest, CountsUsableJoysticksAndSaysSo) {
    StartWithJoysticks(3);
    EXPECT_EQ(EnableJoystick(1), 3);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              std::vector<std::string>{"3個のジョイスティックが使用可能です\n"});
}

// The dead zone is lopsided: a stick a little past the centre already reads down or right.
TEST(InputTest, StickThresholds) {
    const struct {
        uint32_t axis;
        bool low, high;
    } rows[] = {
        {0, true, false},        {0x6FFF, true, false},  {0x7000, false, false},
        {kCentre, false, false}, {0x8000, false, false}, {0x8001, false, true},
        {65535, false, true},
    };
    for (const auto& row : rows) {
        StartWithJoysticks(1);
        HeadlessSetJoystick(0, row.axis, row.axis, 0);
        PollJoysticks();
        const int low = row.low ? 2 : 0, high = row.high ? 2 : 0;
        EXPECT_EQ(
            (std::vector<int>{QueryJoystick(0, JoystickUp), QueryJoystick(0, JoystickLeft),
                              QueryJoystick(0, JoystickDown), QueryJoystick(0, JoystickRight)}),
            (std::vector<int>{low, low, high, high}))
            << row.axis;
    }
}

TEST(InputTest, SwitchingOffAndOnStartsFromIdle) {
    StartWithJoysticks(1);
    HeadlessSetJoystick(0, kCentre, 65535, 1);
    PollJoysticks();
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 3);
    EnableJoystick(0);
    EXPECT_EQ(Frame.joystickPolling, 0);
    EXPECT_EQ(QueryJoystick(0, 1), 0);
    EnableJoystick(1);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 1), 2) << "a fresh press, not a held button";
    EXPECT_EQ(QueryJoystick(0, JoystickDown), 2);
}

TEST(InputTest, UnknownKeysJoysticksAndCodesAndUnpluggedPadsReadIdle) {
    StartWithJoysticks(1);
    HeadlessSetJoystickCount(2);  // a second one plugged in after start-up is not seen
    HeadlessSetJoystick(0, 0, 65535, 0x81);
    HeadlessSetJoystick(1, 0, 0, 0xFF);
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, 128), 2);
    EXPECT_EQ(QueryKey(-1) + QueryKey(256), 0);
    for (int id : {1, -1, 8}) EXPECT_EQ(QueryJoystick(id, 1), 0) << id;
    for (uint32_t code : {0u, 3u, 256u, 0x80000005u}) EXPECT_EQ(QueryJoystick(0, code), 0) << code;

    // Pulled out, every read fails: the pad lets go of everything instead of holding it.
    HeadlessSetJoystickCount(0);
    PollJoysticks();
    EXPECT_EQ((std::vector<int>{QueryJoystick(0, JoystickLeft), QueryJoystick(0, JoystickDown),
                                QueryJoystick(0, 1), QueryJoystick(0, 128)}),
              (std::vector<int>{1, 1, 1, 1}));
    PollJoysticks();
    EXPECT_EQ(QueryJoystick(0, JoystickDown) + QueryJoystick(0, 128), 0);
}

}  // namespace

namespace {

// A query steps the key's state machine, so only the first reader of a key in a frame sees the
// press: a menu that read KEY 1 before the buttons are latched would leave no confirm to find.
TEST(InputTest, EachQueryStepsTheKeySoASecondReaderSeesItHeld) {
    FreshProcess();
    HeadlessSetKey('Z', true);
    EXPECT_EQ(QueryKey('Z'), ButtonPressed);
    EXPECT_EQ(QueryKey('Z'), ButtonHeld);
    HeadlessSetKey('Z', false);
    EXPECT_EQ(QueryKey('Z'), ButtonReleased);
    EXPECT_EQ(QueryKey('Z'), ButtonIdle);

    HeadlessSetKey('Z', true);
    QueryKey('Z');
    LatchButtons();
    EXPECT_FALSE(ButtonPressedNow(ButtonLatch.key[1]));
    EXPECT_TRUE(ButtonIsDown(ButtonLatch.key[1]));
}

// AnyKeyReleased answers the first key let go, and a moved mouse only when asked to.
TEST(InputTest, FirstReleasedKeyOrAMovedMouse) {
    FreshProcess();
    HeadlessSetKey(65, true);
    EXPECT_EQ(AnyKeyReleased(0), 0);  // samples every key: 'A' reads pressed
    HeadlessSetKey(65, false);
    EXPECT_EQ(AnyKeyReleased(0), 1);
    EXPECT_EQ(AnyKeyReleased(0), 0);  // released is seen once, then idle
    Frame.mouseMoved = 1;
    EXPECT_EQ(AnyKeyReleased(0), 0);
    EXPECT_EQ(Frame.mouseMoved, 0);  // consumed even when the mouse does not count
    Frame.mouseMoved = 1;
    EXPECT_EQ(AnyKeyReleased(1), 1);
}

}  // namespace
