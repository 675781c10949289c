// The option menu and the way into and back from each option screen.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/keys.h"
#include "shell/catalogue.h"
#include "support/option_driver.h"

using namespace option_driver;

// From the title the items slide in for 20 frames, deaf to buttons: the heading and the odd
// items from the left, the even ones from the right. Then the cursor stops at both ends.
// The option screens' fixture under this file's name.
class OptionMenuTest : public OptionScreens {};

TEST_F(OptionMenuTest, MenuSlidesInThenMovesBetweenItsEnds) {
    EnterOptionMenu(SceneTitle);
    RunFrames(19);
    EXPECT_EQ(FirstX(8), CentredX(-2, "OPTION MENU"));
    EXPECT_EQ(FirstX(15), CentredX(2, "KEY CONFIG"));
    EXPECT_EQ(FirstX(17), CentredX(-2, "KEY TEST"));
    Tap(VkDown);  // the last frame of the slide
    for (int i = 0; i < 6; ++i) Tap(VkDown);
    EXPECT_EQ(Scene.menuCursor, 5);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 5);
    for (int i = 0; i < 6; ++i) Tap(VkUp);
    EXPECT_EQ(Scene.menuCursor, 0);
    EXPECT_EQ(Played, std::vector<uint16_t>(10, WaveSlotChoice));
}

TEST_F(OptionMenuTest, ResetDataLeavesAndComesBackChangingNothing) {
    Settings = SettingsRecord{7, 0, 0, 1, 0};
    EnterOptionMenu(SceneKeyConfig);
    for (int i = 0; i < 4; ++i) Tap(VkDown);
    Press(kKey4);
    RunFrames(19);
    EXPECT_EQ(Scene.leaveTimer, 1);
    EXPECT_EQ(FirstX(15), CentredX(-38, "KEY CONFIG")) << "even items leave to the left";
    EXPECT_EQ(FirstX(17), CentredX(38, "KEY TEST"));
    EXPECT_EQ(FirstX(23), CentredX(0, "RESET DATA")) << "the chosen item stays";
    RunFrames();
    EXPECT_EQ(Scene.id, SceneOptionMenu);
    EXPECT_EQ(Scene.menuCursor, 4);
    EXPECT_EQ(FirstX(15), CentredX(0, "KEY CONFIG"));
    EXPECT_EQ(std::tie(Settings.keyConfig, Settings.fpsDisplay), std::tuple(7, 0));
    EXPECT_EQ(CountPlays(WaveSlotSelect), 1);
    Press(VkDown);  // live again
    EXPECT_EQ(Scene.menuCursor, 5);
    Press(kKey1);  // RETURN MAINMENU
    RunFrames(20);
    EXPECT_EQ(Scene.id, SceneTitle);
}

// Escape from a screen comes back at once with the cursor on its item, the window kept.
TEST_F(OptionMenuTest, EscapeFromEachScreenComesBackToItsItem) {
    const int32_t screens[] = {SceneKeyConfig, SceneKeyTest, SceneGraphicConfig, SceneSoundTest};
    for (int32_t item = 0; item < 4; ++item) {
        OpenScreen(item, screens[item]);
        Escape();
        EXPECT_EQ(Scene.id, SceneOptionMenu);
        EXPECT_EQ(Scene.menuCursor, item);
        EXPECT_EQ(FirstX(15), CentredX(0, "KEY CONFIG")) << "no slide-in";
        EXPECT_EQ(SlotAt(15 + 2 * item, FirstX(15 + 2 * item)), BlinkSlot());
        EXPECT_EQ(Frame.window, 1);
        EXPECT_TRUE(Played.empty());
    }
}
