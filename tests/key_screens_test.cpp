// The key config screen (letter, digit, the action column) and the key test screen (labels
// lit while down, KEY 1 + KEY 3 to leave), driven through the real frame.
#include <gtest/gtest.h>

#include "input/input.h"
#include "platform/keys.h"
#include "shell/catalogue.h"
#include "support/option_driver.h"

using namespace option_driver;

constexpr int32_t kTypeRow = 12;

// The action column of the frame just run, UP first.
static std::vector<std::string> Actions() {
    std::vector<std::string> column;
    for (int32_t row = 15; row < 25; ++row) column.push_back(TextOf(row, 272));
    return column;
}

class KeyScreensTest : public OptionScreens {
protected:
    void Open(int32_t config) {
        Settings.keyConfig = config;
        OpenScreen(0, SceneKeyConfig);
    }
};

// Each step shows in the frame of the press; the press at F changes nothing yet sounds.
TEST_F(KeyScreensTest, LetterWalksFromA3ToFAndBackToE1) {
    Open(2);
    const struct {
        int key;
        int32_t config;
        const char* shown;
    } steps[] = {{VkRight, 6, "B-3"},  {VkRight, 10, "C-3"}, {VkRight, 14, "D-3"},
                 {VkRight, 18, "E-3"}, {VkRight, 20, " F"},  {VkRight, 20, " F"},
                 {VkLeft, 16, "E-1"}};
    int sounds = 0;
    for (const auto& step : steps) {
        Press(step.key);
        EXPECT_EQ(Settings.keyConfig, step.config);
        EXPECT_EQ(TextOf(kTypeRow), std::string("KEY TYPE = ") + step.shown);
        EXPECT_EQ(CountPlays(WaveSlotChoice), ++sounds);
        RunFrames(2);
    }
}

// F has no digit row: the cursor jumps over it both ways. D-4's digit goes no higher.
TEST_F(KeyScreensTest, CursorJumpAtFAndDigitLimits) {
    Open(20);
    Tap(VkDown);
    EXPECT_EQ(Scene.menuCursor, 2);
    Tap(VkUp);
    EXPECT_EQ(Scene.menuCursor, 0);
    Open(15);
    Tap(VkDown);
    Tap(VkRight);
    EXPECT_EQ(Settings.keyConfig, 15);
    for (int i = 0; i < 4; ++i) Tap(VkLeft);
    EXPECT_EQ(TextOf(kTypeRow), "KEY TYPE = D-1");
    EXPECT_EQ(CountPlays(WaveSlotChoice), 4) << "the move down and three steps left";
}

TEST_F(KeyScreensTest, ActionColumnFollowsInTheFrameOfTheChange) {
    Open(16);
    Press(VkRight);
    EXPECT_EQ(Actions(), (std::vector<std::string>{"NO USE", "ROTATE LEFT", "NO USE", "FALL & FIX",
                                                   "FALL & FIX", "NO USE", "NO USE", "NO USE",
                                                   "NO USE", "NO USE"}));
    for (int32_t row = 15; row < 25; ++row) {
        EXPECT_EQ(LastX(row), 320 + 19 * 8 - 16) << "all end at one edge";
    }
}

// A config.dat from elsewhere may hold any number: it shows and steps as A-1.
TEST_F(KeyScreensTest, StoredNumberOutsideTheTableReadsAsA1) {
    for (int32_t stored : {57, -3}) {
        Open(stored);
        EXPECT_EQ(TextOf(kTypeRow), "KEY TYPE = A-1");
        EXPECT_EQ(Actions()[0], "INSTANT FALL");
        Tap(VkRight);
        EXPECT_EQ(Settings.keyConfig, 4);
    }
}

constexpr int32_t kLit = kWhite + 1;  // FontId 1 while the button is down

TEST_F(KeyScreensTest, KeyTestLeavesAtOnceWithBothKeysHeldOnEntry) {
    EnterOptionMenu(SceneKeyTest);
    HeadlessSetKey(kKey3, true);
    HeadlessSetKey(kKey1, true);  // chooses KEY TEST, and both stay down
    RunFrames(21);
    ASSERT_EQ(Scene.id, SceneKeyTest);
    EXPECT_EQ(SlotAt(19, CentredX(-6 - 40, "KEY_1")), kLit) << "lit while sliding in";
    RunFrames();
    EXPECT_EQ(Scene.id, SceneOptionMenu);
    EXPECT_EQ(Scene.menuCursor, 1);
    EXPECT_EQ(Played, std::vector<uint16_t>{WaveSlotSelect}) << "only the menu's choice";
}

TEST_F(KeyScreensTest, KeyTestLightsJoystickButtons) {
    HeadlessSetJoystickCount(1);
    DetectJoysticks();
    EnableJoystick(1);
    OpenScreen(1, SceneKeyTest);
    HeadlessSetJoystick(0, 32767, 32767, 4);  // button 3: KEY 3
    RunFrames();
    EXPECT_EQ(SlotAt(21, CentredX(-6, "KEY_3")), kLit);
    EXPECT_EQ(SlotAt(19, CentredX(-6, "KEY_1")), kWhite);
    HeadlessSetJoystick(0, 32767, 32767, 1 | 4);
    RunFrames();
    EXPECT_EQ(Scene.id, SceneOptionMenu) << "KEY 1 joined the held KEY 3";
    EXPECT_TRUE(Played.empty());
}
