#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frame/frame.h"
#include "input/input.h"
#include "options/buttons.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/settings.h"
#include "support/fresh.h"

namespace {

constexpr uint32_t kCentre = 32767;

struct Binding {
    const char* name;
    int key;
    uint32_t joystickCode;
    int32_t ButtonLatchState::*single;   // UP/DOWN/LEFT/RIGHT, or null for KEY n
    int keyNumber;
};

const Binding kBindings[] = {
    {"UP", 38, JoystickUp, &ButtonLatchState::up, 0},
    {"DOWN", 40, JoystickDown, &ButtonLatchState::down, 0},
    {"RIGHT", 39, JoystickRight, &ButtonLatchState::right, 0},
    {"LEFT", 37, JoystickLeft, &ButtonLatchState::left, 0},
    {"KEY 1", 'Z', 1, nullptr, 1},   {"KEY 2", 'S', 2, nullptr, 2},
    {"KEY 3", 'X', 4, nullptr, 3},   {"KEY 4", 'C', 8, nullptr, 4},
    {"KEY 5", 'W', 16, nullptr, 5},  {"KEY 6", 'E', 32, nullptr, 6},
    {"KEY 7", 'Q', 64, nullptr, 7},  {"KEY 8", 'R', 128, nullptr, 8},
};

int32_t Latched(const Binding& b) {
    return b.single ? ButtonLatch.*b.single : ButtonLatch.key[b.keyNumber];
}

// The stick position and button mask that push one joystick input.
PlatformJoyPos JoystickPush(uint32_t code) {
    switch (code) {
        case JoystickUp: return {kCentre, 0, 0};
        case JoystickDown: return {kCentre, 65535, 0};
        case JoystickLeft: return {0, kCentre, 0};
        case JoystickRight: return {65535, kCentre, 0};
        default: return {kCentre, kCentre, code};
    }
}

// One frame as the frame runs it: joysticks polled, then the buttons latched.
void Frame1() {
    PollJoysticks();
    LatchButtons();
}

void WithJoystick() {
    HeadlessSetJoystickCount(1);
    DetectJoysticks();
    EnableJoystick(1);
}

// Holds the key of KEY n (or of UP/DOWN/LEFT/RIGHT) for one frame of the game scene.
void HoldFrame(const std::vector<int>& keys) {
    for (const Binding& b : kBindings) HeadlessSetKey(b.key, false);
    for (int key : keys) HeadlessSetKey(key, true);
    Frame1();
    UpdateActionCounters();
}

}  // namespace

TEST(LogicalButtons, EachKeyDrivesItsOwnButton) {
    for (const Binding& b : kBindings) {
        FreshProcess();
        std::vector<int> seen;
        for (bool down : {true, true, true, false, false}) {
            HeadlessSetKey(b.key, down);
            Frame1();
            seen.push_back(Latched(b));
            for (const Binding& other : kBindings) {
                if (&other != &b) {
                    EXPECT_EQ(Latched(other), 0) << b.name << " leaks to " << other.name;
                }
            }
        }
        EXPECT_EQ(seen, (std::vector<int32_t>{2, 3, 3, 1, 0})) << b.name;
    }
}

TEST(LogicalButtons, EachJoystickInputDrivesItsOwnButton) {
    for (const Binding& b : kBindings) {
        FreshProcess();
        WithJoystick();
        PlatformJoyPos push = JoystickPush(b.joystickCode);
        HeadlessSetJoystick(0, push.x, push.y, push.buttons);
        Frame1();
        EXPECT_EQ(Latched(b), 2) << b.name;
        Frame1();
        EXPECT_EQ(Latched(b), 3) << b.name;
        for (const Binding& other : kBindings) {
            if (&other != &b) {
                EXPECT_EQ(Latched(other), 0) << b.name << " leaks to " << other.name;
            }
        }
        HeadlessSetJoystick(0, kCentre, kCentre, 0);
        Frame1();
        EXPECT_EQ(Latched(b), 1) << b.name;
    }
}

TEST(LogicalButtons, QuickSecondPressIsNotAPress) {
    FreshProcess();
    std::vector<int32_t> seen;
    for (bool down : {true, false, true}) {
        HeadlessSetKey('Z', down);
        Frame1();
        seen.push_back(ButtonLatch.key[1]);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{2, 1, 3}));
}

TEST(LogicalButtons, KeyboardAndJoystickMergeIntoOneButton) {
    FreshProcess();
    WithJoystick();
    HeadlessSetKey('Z', true);
    Frame1();
    EXPECT_EQ(ButtonLatch.key[1], 2);

    // Joystick button 1 goes down while Z is held: no second press.
    HeadlessSetJoystick(0, kCentre, kCentre, 1);
    Frame1();
    EXPECT_EQ(ButtonLatch.key[1], 3);

    // Z let go, the joystick still holds the button.
    HeadlessSetKey('Z', false);
    Frame1();
    EXPECT_EQ(ButtonLatch.key[1], 3);

    // Released only when both are up.
    HeadlessSetJoystick(0, kCentre, kCentre, 0);
    Frame1();
    EXPECT_EQ(ButtonLatch.key[1], 1);
    Frame1();
    EXPECT_EQ(ButtonLatch.key[1], 0);
}

TEST(LogicalButtons, OpenMessageBoxLeavesOnlyTheJoystick) {
    FreshProcess();
    WithJoystick();
    HeadlessSetKey(38, true);
    HeadlessSetJoystick(0, kCentre, 65535, 0);
    Frame.messageBoxShowing = 1;
    Frame1();
    EXPECT_EQ(ButtonLatch.up, 0);
    EXPECT_EQ(ButtonLatch.down, 2);
    Frame.messageBoxShowing = 0;
    Frame1();
    EXPECT_EQ(ButtonLatch.up, 2) << "the key was not sampled while the box was open";
}

TEST(KeyConfigurations, RowsFollowTheLetterAndDigitPattern) {
    const int32_t rotations[4][4] = {{2, 1, 1, 2}, {1, 2, 2, 1}, {2, 1, 2, 1}, {1, 2, 1, 2}};
    for (int config = 0; config < 20; ++config) {
        int letter = config / 4;
        int digit = config % 4;
        const int32_t* row = KeyConfigTable[config];
        EXPECT_EQ(row[0], letter == 0 ? ActionInstantFall : ActionNoUse) << config;
        EXPECT_EQ(row[1], ActionSpeedyFall) << config;
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(row[1 + n], rotations[digit][n - 1]) << config;
        for (int n = 5; n <= 8; ++n) {
            int32_t expected = (letter >= 1 && letter <= 3 && n == 4 + letter) ? ActionInstantFall
                                                                                : ActionNoUse;
            EXPECT_EQ(row[1 + n], expected) << config << " KEY " << n;
        }
    }
    const int32_t f[kKeyConfigColumns] = {0, 2, 0, 5, 5, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(KeyConfigTable[20], f, sizeof f));
}

TEST(KeyConfigurations, ActionLabels) {
    const char* expected[] = {"NO USE",       "ROTATE RIGHT", "ROTATE LEFT",
                              "SPEEDY FALL",  "INSTANT FALL", "FALL & FIX"};
    for (int a = 0; a < 6; ++a) EXPECT_STREQ(GameActionLabel[a], expected[a]);
}

TEST(KeyConfigurations, StoredValuesOutsideTheTableFallBackToTheFirst) {
    FreshProcess();
    for (int32_t stored : {-1, 21, 1000, INT32_MIN, INT32_MAX}) {
        Settings.keyConfig = stored;
        EXPECT_EQ(EffectiveKeyConfig(), 0) << stored;
    }
    for (int32_t stored : {0, 7, 20}) {
        Settings.keyConfig = stored;
        EXPECT_EQ(EffectiveKeyConfig(), stored);
    }

    // In play, UP then does what it does in A-1: instant fall.
    Settings.keyConfig = 99;
    HoldFrame({38});
    EXPECT_EQ(ActionCounters[CounterInstantFall], 1);
}

TEST(ActionCounting, LongHoldCountsUpThenSwings) {
    FreshProcess();
    std::vector<int> seen;
    for (int frame = 0; frame < 16; ++frame) {
        HoldFrame({39});
        seen.push_back(ActionCounters[CounterRight]);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 10, 11, 10, 11, 10}));

    HoldFrame({});
    EXPECT_EQ(ActionCounters[CounterRight], 0);
    HoldFrame({39});
    EXPECT_EQ(ActionCounters[CounterRight], 1);
}

TEST(ActionCounting, TheReleaseFrameAlreadyReadsZero) {
    FreshProcess();
    HoldFrame({37});
    HoldFrame({37});
    EXPECT_EQ(ActionCounters[CounterLeft], 2);
    HoldFrame({});   // LEFT latches 1, released: not down
    EXPECT_EQ(ButtonLatch.left, 1);
    EXPECT_EQ(ActionCounters[CounterLeft], 0);
}

TEST(ActionCounting, TwoSourcesOfOneActionStepOnce) {
    FreshProcess();
    Settings.keyConfig = 0;   // KEY 2 and KEY 3 both rotate right
    HoldFrame({'S', 'X'});
    EXPECT_EQ(ActionCounters[CounterRotateRight], 1);
    HoldFrame({'S', 'X'});
    EXPECT_EQ(ActionCounters[CounterRotateRight], 2);
    // Handing the hold from one source to the other keeps counting.
    HoldFrame({'X'});
    EXPECT_EQ(ActionCounters[CounterRotateRight], 3);
}

TEST(ActionCounting, ConfigurationF) {
    FreshProcess();
    Settings.keyConfig = 20;
    HoldFrame({'S', 'X'});
    EXPECT_EQ(ActionCounters[CounterFallAndFix], 1);

    FreshProcess();
    Settings.keyConfig = 20;
    HoldFrame({38, 'Z'});   // UP and KEY 1 do nothing in F
    for (int i = 0; i < kActionCounters; ++i) EXPECT_EQ(ActionCounters[i], 0) << i;
    HoldFrame({40});        // DOWN rotates left
    EXPECT_EQ(ActionCounters[CounterRotateLeft], 1);
    EXPECT_EQ(ActionCounters[CounterSpeedyFall], 0);
}

TEST(ActionCounting, EveryKeyOfAConfigurationReachesItsCounter) {
    const int keyOf[kKeyConfigColumns] = {38, 40, 'Z', 'S', 'X', 'C', 'W', 'E', 'Q', 'R'};
    for (int config = 0; config < kKeyConfigCount; ++config) {
        for (int column = 0; column < kKeyConfigColumns; ++column) {
            FreshProcess();
            Settings.keyConfig = config;
            HoldFrame({keyOf[column]});
            int32_t action = KeyConfigTable[config][column];
            for (int i = 0; i < kActionCounters; ++i) {
                int expected = (action != ActionNoUse && i == 1 + action) ? 1 : 0;
                EXPECT_EQ(ActionCounters[i], expected)
                    << "config " << config << " column " << column << " counter " << i;
            }
        }
    }
}

TEST(ActionCounting, ACounterLeftHighElsewhereDoesNotWrap) {
    FreshProcess();
    ActionCounters[CounterRight] = 127;   // storage borrowed by another screen
    HoldFrame({39});
    EXPECT_EQ(ActionCounters[CounterRight], 10);
}
