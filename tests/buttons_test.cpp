// The twelve logical buttons (keyboard and joystick 0 merged) and the action counters.
#include <gtest/gtest.h>

#include <vector>

#include "frame/frame.h"
#include "hosts/headless/headless.h"
#include "input/buttons.h"
#include "input/input.h"
#include "platform/keys.h"
#include "shell/settings.h"
#include "support/fresh.h"

namespace {

constexpr uint32_t kMid = 32767;  // the stick at rest

// Each logical button's key, the joystick 0 position that pushes it, and its latch.
struct Binding {
    int key;
    uint32_t x, y, buttons;
    const int32_t* latch;
};
const Binding kBindings[] = {
    {VkUp, kMid, 0, 0, &ButtonLatch.up},           {VkDown, kMid, 65535, 0, &ButtonLatch.down},
    {VkRight, 65535, kMid, 0, &ButtonLatch.right}, {VkLeft, 0, kMid, 0, &ButtonLatch.left},
    {'Z', kMid, kMid, 1, &ButtonLatch.key[1]},     {'S', kMid, kMid, 2, &ButtonLatch.key[2]},
    {'X', kMid, kMid, 4, &ButtonLatch.key[3]},     {'C', kMid, kMid, 8, &ButtonLatch.key[4]},
    {'W', kMid, kMid, 16, &ButtonLatch.key[5]},    {'E', kMid, kMid, 32, &ButtonLatch.key[6]},
    {'Q', kMid, kMid, 64, &ButtonLatch.key[7]},    {'R', kMid, kMid, 128, &ButtonLatch.key[8]},
};

// One frame as the frame runs it: joysticks polled, then the buttons latched.
void Latch() {
    PollJoysticks();
    LatchButtons();
}

void FreshWithJoystick() {
    FreshProcess();
    HeadlessSetJoystickCount(1);
    DetectJoysticks();
    EnableJoystick(1);
}

// The button's latch over frames with its key, or its joystick input, down or up.
std::vector<int32_t> Frames(const Binding& b, bool joystick, const std::vector<bool>& downs) {
    std::vector<int32_t> seen;
    for (bool down : downs) {
        if (joystick)
            HeadlessSetJoystick(0, down ? b.x : kMid, down ? b.y : kMid, down ? b.buttons : 0);
        else
            HeadlessSetKey(b.key, down);
        Latch();
        seen.push_back(*b.latch);
    }
    return seen;
}

// A press right after a release reads as held, not as a second press.
TEST(ButtonsTest, EachKeyAndJoystickInputDrivesItsOwnButton) {
    const std::vector<int32_t> held = {2, 3, 3, 1, 0}, tapped = {2, 1, 3};
    for (const Binding& b : kBindings) {
        for (bool joystick : {false, true}) {
            FreshWithJoystick();
            EXPECT_EQ(Frames(b, joystick, {true, true, true, false, false}), held) << b.key;
            EXPECT_EQ(Frames(b, joystick, {true, false, true}), tapped) << b.key;
        }
    }
}

// Released only when both are up; the second source going down is no second press.
TEST(ButtonsTest, KeyboardAndJoystickMergeIntoOneButton) {
    FreshWithJoystick();
    std::vector<int32_t> seen;
    for (auto [key, joystick] : {std::pair{true, 0u}, {true, 1u}, {false, 1u}, {false, 0u}}) {
        HeadlessSetKey('Z', key);
        HeadlessSetJoystick(0, kMid, kMid, joystick);
        Latch();
        seen.push_back(ButtonLatch.key[1]);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{2, 3, 3, 1}));

    // While a message box is open the keys belong to it: they are neither read nor stepped.
    HeadlessSetKey(VkUp, true);
    HeadlessSetJoystick(0, kMid, 65535, 0);
    Frame.messageBoxShowing = 1;
    Latch();
    EXPECT_EQ(std::pair(ButtonLatch.up, ButtonLatch.down), std::pair(0, 2)) << "the joystick only";
    Frame.messageBoxShowing = 0;
    Latch();
    EXPECT_EQ(ButtonLatch.up, 2);
}

using KeyFrames = std::vector<std::vector<int>>;  // the keys down in each frame

// One counter after each frame of play with only the given keys down.
std::vector<int> Count(int32_t config, int counter, const KeyFrames& frames) {
    Settings.keyConfig = config;
    std::vector<int> seen;
    for (const std::vector<int>& keys : frames) {
        for (const Binding& b : kBindings) HeadlessSetKey(b.key, false);
        for (int key : keys) HeadlessSetKey(key, true);
        Latch();
        UpdateActionCounters(ButtonLatch, Settings.keyConfig);
        seen.push_back(ActionCounters[counter]);
    }
    return seen;
}

TEST(ButtonsTest, LongHoldCountsUpThenSwings) {
    FreshProcess();
    KeyFrames frames(15, {VkRight});
    frames.push_back({});  // the release frame already reads zero
    EXPECT_EQ(Count(0, CounterRight, frames),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 10, 11, 10, 11, 0}));
    ActionCounters[CounterLeft] = 127;  // left high by another screen: must not wrap
    EXPECT_EQ(Count(0, CounterLeft, {{VkLeft}}), std::vector<int>{10});
}

TEST(ButtonsTest, ActionsFollowTheConfiguration) {
    const struct {
        int32_t config;
        int counter;
        KeyFrames frames;
        std::vector<int> seen;
    } rows[] = {
        // KEY 2 and KEY 3 both rotate right; two sources step once, and a hold handed
        // from one to the other keeps counting.
        {0, CounterRotateRight, {{'S', 'X'}, {'S', 'X'}, {'X'}}, {1, 2, 3}},
        // F: KEY 2 and KEY 3 fall and fix, DOWN rotates left, the rest is of no use.
        {20, CounterFallAndFix, {{'S', 'X'}}, {1}},
        {20, CounterRotateLeft, {{VkDown}, {VkUp, 'Z', 'W', 'E', 'Q', 'R'}}, {1, 0}},
        // A stored number outside the table plays as A-1, where UP is instant fall.
        {-1, CounterInstantFall, {{VkUp}}, {1}},
        {21, CounterInstantFall, {{VkUp}}, {1}},
    };
    for (const auto& row : rows) {
        FreshProcess();
        EXPECT_EQ(Count(row.config, row.counter, row.frames), row.seen) << row.config;
    }
}

}  // namespace
