// The option menu and the way into and back from each option screen.
#include <gtest/gtest.h>

#include <filesystem>

#include "frame/application.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "options/option_menu.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/option_driver.h"

using namespace option_driver;

// ---- The option menu ----

TEST_F(OptionScreens, TitleOptionSlidesTheMenuInAndIgnoresButtonsMeanwhile) {
    EnterTitle(SceneModeSelect);   // the title at once, cursor on GAME START
    Tap(kDown);
    Tap(kDown);
    Press(kKey1);                  // OPTION
    RunFrames(19);
    ASSERT_EQ(SceneId, SceneTitle);
    RunFrame();
    ASSERT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(SceneEnterTimer, 20);
    EXPECT_EQ(MenuCursor, 0);
    // Drawn in the frame of entry, at the far end of the slide: heading and odd items from
    // the left, even items from the right.
    EXPECT_EQ(FirstX(8), CentredX(-40, "OPTION MENU"));
    EXPECT_EQ(FirstX(15), CentredX(40, "KEY CONFIG"));
    EXPECT_EQ(FirstX(17), CentredX(-40, "KEY TEST"));

    g_played.clear();
    Press(kDown);                  // ignored while the items slide in
    EXPECT_EQ(FirstX(19), CentredX(38, "GRAPHIC OPTION"));
    RunFrames(19);
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(TextOf(25), "RETURN MAINMENU");
    EXPECT_EQ(FirstX(25), CentredX(0, "RETURN MAINMENU"));
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_TRUE(g_played.empty());

    Press(kDown);                  // the first frame after the slide accepts buttons
    EXPECT_EQ(MenuCursor, 1);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 1);
}

TEST_F(OptionScreens, EachWayInPutsTheCursorOnItsItem) {
    struct Case {
        int32_t from;
        int32_t cursor;
        int32_t enterTimer;
    };
    const Case cases[] = {
        {SceneTitle, 0, 20},    {SceneKeyConfig, 0, 0}, {SceneKeyTest, 1, 0},
        {SceneGraphicConfig, 2, 0}, {SceneSoundTest, 3, 0}, {7, 4, 0},
    };
    const char* items[] = {"KEY CONFIG", "KEY TEST", "GRAPHIC OPTION",
                           "SOUND TEST", "RESET DATA", "RETURN MAINMENU"};
    for (const Case& c : cases) {
        FreshProcess();
        SetSpriteTrace(RecordSprite);
        BackgroundIndex = 5;
        SceneFrame = 40;
        EnterOptionMenu(c.from);
        EXPECT_EQ(SceneId, SceneOptionMenu) << c.from;
        EXPECT_EQ(MenuCursor, c.cursor) << c.from;
        EXPECT_EQ(SceneEnterTimer, c.enterTimer) << c.from;
        EXPECT_EQ(SceneLeaveTimer, 0) << c.from;
        EXPECT_EQ(SceneFrame, 40) << "no reset of the blink count";
        EXPECT_EQ(FadeLevel, 20) << "no fade";
        if (c.enterTimer == 0) {
            RunFrame();
            // The background stays; the item under the cursor blinks, the others are white.
            EXPECT_EQ(g_sprites.front().slot, 246u);
            for (int32_t item = 0; item < 6; ++item) {
                const int32_t row = 15 + 2 * item;
                EXPECT_EQ(TextOf(row), items[item]);
                EXPECT_EQ(FirstSlot(row), item == c.cursor ? BlinkSlot() : 1) << c.from;
            }
        }
    }
}

TEST_F(OptionScreens, CursorStopsAtBothEndsWithASoundPerStep) {
    LiveMenuAt(0);
    for (int i = 0; i < 6; ++i) Tap(kDown);
    EXPECT_EQ(MenuCursor, 5);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 5);
    for (int i = 0; i < 7; ++i) Tap(kUp);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 10);
    EXPECT_EQ(g_played.size(), 10u);
}

TEST_F(OptionScreens, ResetDataLeavesAndComesBackChangingNothing) {
    Settings = SettingsRecord{7, 0, 0, 1, 0};
    LiveMenuAt(4);
    Press(kKey4);
    EXPECT_EQ(SceneLeaveTimer, 20);
    EXPECT_EQ(CountPlays(WaveSlotSelect), 1);
    Press(kDown);                  // L = 19: ignored
    EXPECT_EQ(MenuCursor, 4);
    // The chosen item stays and flashes; even items leave left, odd ones right.
    EXPECT_EQ(FirstX(23), CentredX(0, "RESET DATA"));
    EXPECT_EQ(FirstSlot(23), FlashSlot());
    EXPECT_EQ(FirstX(15), CentredX(-2, "KEY CONFIG"));
    EXPECT_EQ(FirstX(17), CentredX(2, "KEY TEST"));
    EXPECT_EQ(FirstSlot(17), 1);
    RunFrame();
    EXPECT_EQ(FirstSlot(23), FlashSlot());
    RunFrames(17);
    EXPECT_EQ(SceneLeaveTimer, 1);
    EXPECT_EQ(FirstX(25), CentredX(38, "RETURN MAINMENU"));
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(MenuCursor, 4);
    EXPECT_EQ(FirstX(15), CentredX(0, "KEY CONFIG"));
    EXPECT_EQ(Settings.keyConfig, 7);
    EXPECT_EQ(Settings.fpsDisplay, 0);
    EXPECT_EQ(g_played.size(), 1u);
    Press(kDown);                  // live again
    EXPECT_EQ(MenuCursor, 5);
}

TEST_F(OptionScreens, ReturnMainMenuShowsTheTitleAtOnceOnOption) {
    BackgroundIndex = 3;
    LiveMenuAt(5);
    Press(kKey1);
    RunFrames(20);
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(BackgroundIndex, 3);
    EXPECT_EQ(TextOf(21), "OPTION");
}

TEST_F(OptionScreens, EscapeInTheMenuGoesToTheTitleEvenWhileSliding) {
    EnterOptionMenu(SceneTitle);
    RunFrames(3);
    Escape();
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(Frame.window, 1) << "the window stays";
    EXPECT_FALSE(fs::exists("config.dat")) << "nothing saved";
}

// Every item opens its screen; Escape or the window's close command from there comes back at
// once with the cursor on that item, the window still open.
TEST_F(OptionScreens, EscapeFromEachScreenComesBackToItsItem) {
    struct Case {
        int32_t item;
        int32_t scene;
        const char* heading;
    };
    const Case cases[] = {
        {0, SceneKeyConfig, "KEY CONFIG"},
        {1, SceneKeyTest, "KEY TEST"},
        {2, SceneGraphicConfig, "GRAPHIC CONFIG"},
        {3, SceneSoundTest, "SOUND TEST"},
    };
    for (const Case& c : cases) {
        for (bool closeCommand : {false, true}) {
            OpenScreen(c.item, c.scene);
            EXPECT_EQ(TextOf(8), c.heading);
            if (closeCommand) {
                WindowProcedure(PlatformMessage{MsgClose, 0, 0, 0});
                RunFrame();
            } else {
                Escape();
            }
            EXPECT_EQ(SceneId, SceneOptionMenu) << c.heading;
            EXPECT_EQ(MenuCursor, c.item) << c.heading;
            EXPECT_EQ(SceneEnterTimer, 0) << c.heading;
            EXPECT_EQ(FirstX(15), CentredX(0, "KEY CONFIG")) << "no slide-in";
            EXPECT_EQ(FirstSlot(15 + 2 * c.item), BlinkSlot());
            EXPECT_EQ(Frame.window, 1);
            EXPECT_TRUE(g_played.empty()) << c.heading;
        }
    }
}
