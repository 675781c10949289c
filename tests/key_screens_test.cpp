// The key config screen (letter, digit, the action column) and the key test screen (labels
// lit while down, KEY 1 + KEY 3 to leave), driven through the real frame.
#include <gtest/gtest.h>

#include <string>

#include "input/input.h"
#include "options/key_config.h"
#include "options/key_test.h"
#include "platform/headless/headless.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/option_driver.h"

using namespace option_driver;

namespace {

constexpr int32_t kTypeRow = 12;
constexpr int32_t kActionsFromX = 272;   // the action column lies right of this pixel
constexpr int32_t kActionEndX = 472;     // ... and ends here, at half-glyph 19

std::string KeyType() { return TextOf(kTypeRow); }

// The action column of the frame just run, UP first.
std::vector<std::string> Actions() {
    std::vector<std::string> column;
    for (int32_t row = 15; row < 25; ++row) column.push_back(TextOf(row, kActionsFromX));
    return column;
}

const std::vector<std::string> kActionsF = {
    "NO USE", "ROTATE LEFT", "NO USE", "FALL & FIX", "FALL & FIX",
    "NO USE", "NO USE",      "NO USE", "NO USE",     "NO USE"};
const std::vector<std::string> kActionsE1 = {
    "NO USE",       "SPEEDY FALL", "ROTATE LEFT", "ROTATE RIGHT", "ROTATE RIGHT",
    "ROTATE LEFT",  "NO USE",      "NO USE",      "NO USE",       "NO USE"};
const std::vector<std::string> kActionsA1 = {
    "INSTANT FALL", "SPEEDY FALL", "ROTATE LEFT", "ROTATE RIGHT", "ROTATE RIGHT",
    "ROTATE LEFT",  "NO USE",      "NO USE",      "NO USE",       "NO USE"};

class KeyConfigScreen : public OptionScreens {
protected:
    void Open(int32_t config) {
        Settings.keyConfig = config;
        OpenScreen(0, SceneKeyConfig);
    }
};

TEST_F(KeyConfigScreen, LetterWalksFromA3ToFAndBackToE1) {
    Open(2);
    EXPECT_EQ(KeyType(), "KEY TYPE = A-3");
    struct Step {
        int key;
        int32_t config;
        const char* shown;
        int sounds;   // move sounds so far
    };
    const Step steps[] = {
        {kRight, 6, "KEY TYPE = B-3", 1},  {kRight, 10, "KEY TYPE = C-3", 2},
        {kRight, 14, "KEY TYPE = D-3", 3}, {kRight, 18, "KEY TYPE = E-3", 4},
        {kRight, 20, "KEY TYPE =  F", 5},  {kRight, 20, "KEY TYPE =  F", 6},   // F: still sounds
        {kLeft, 16, "KEY TYPE = E-1", 7},
    };
    for (const Step& step : steps) {
        Press(step.key);
        EXPECT_EQ(Settings.keyConfig, step.config);
        EXPECT_EQ(KeyType(), step.shown) << "in the frame of the press";
        EXPECT_EQ(CountPlays(WaveSlotChoice), step.sounds);
        RunFrames(2);
    }
    EXPECT_EQ(g_played.size(), 7u);
    // The cursor row blinks: "KEY TYPE =" and the letter; the dash and the digit do not.
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(-4, "KEY TYPE =")), BlinkSlot());
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(9, "E")), BlinkSlot());
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(11, "-")), 1);
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(13, "1")), 1);
}

TEST_F(KeyConfigScreen, LeftOnLetterAIsSilent) {
    Open(0);
    Tap(kLeft);
    EXPECT_EQ(Settings.keyConfig, 0);
    EXPECT_TRUE(g_played.empty());
}

TEST_F(KeyConfigScreen, CursorSkipsTheDigitRowOfF) {
    Open(20);
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(FirstSlot(27), BlinkSlot());
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(11, "F")), 1);
    Tap(kUp);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 2);

    Settings.keyConfig = 18;   // E-3: the cursor passes the digit row
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 1);
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 2);
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 4);
}

TEST_F(KeyConfigScreen, DigitStopsAtFourAndOne) {
    Open(15);   // D-4
    Tap(kDown);
    g_played.clear();
    Tap(kRight);
    EXPECT_EQ(Settings.keyConfig, 15);
    EXPECT_TRUE(g_played.empty());
    Press(kLeft);
    EXPECT_EQ(Settings.keyConfig, 14);
    EXPECT_EQ(KeyType(), "KEY TYPE = D-3");
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(13, "3")), BlinkSlot());
    EXPECT_EQ(SlotAt(kTypeRow, CentredX(9, "D")), 1);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 1);
    RunFrames(2);
    Tap(kLeft);
    Tap(kLeft);
    EXPECT_EQ(Settings.keyConfig, 12);
    Tap(kLeft);
    EXPECT_EQ(Settings.keyConfig, 12);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 3);
}

TEST_F(KeyConfigScreen, ActionColumnFollowsInTheFrameOfTheChange) {
    Open(16);
    EXPECT_EQ(Actions(), kActionsE1);
    Press(kRight);
    EXPECT_EQ(Actions(), kActionsF);
    // Each label ends at the same place.
    for (int32_t row = 15; row < 25; ++row) {
        EXPECT_EQ(RowGlyphs(row).rbegin()->first, kActionEndX - 16) << row;
    }
    const char* labels[] = {"UP",    "DOWN",  "KEY 1", "KEY 2", "KEY 3",
                            "KEY 4", "KEY 5", "KEY 6", "KEY 7", "KEY 8"};
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(TextOf(15 + i, 0, kActionsFromX), labels[i]);
        EXPECT_EQ(FirstX(15 + i), 320 - 19 * 8) << "every label starts at -19";
    }
    Press(kLeft);
    EXPECT_EQ(Actions(), kActionsE1);
}

// A config.dat from elsewhere may hold any number: the screen shows and steps from A-1.
TEST_F(KeyConfigScreen, StoredNumberOutsideTheTableReadsAsA1) {
    for (int32_t stored : {57, -3, 21}) {
        Open(stored);
        EXPECT_EQ(KeyType(), "KEY TYPE = A-1") << stored;
        EXPECT_EQ(Actions(), kActionsA1) << stored;
        Tap(kLeft);
        EXPECT_TRUE(g_played.empty()) << stored;
        Tap(kRight);
        EXPECT_EQ(Settings.keyConfig, 4) << stored;
        Escape();
    }
}

TEST_F(KeyConfigScreen, SlidesInAndOutRowByRow) {
    Settings.keyConfig = 5;
    EnterOptionMenu(SceneKeyConfig);
    Press(kKey1);
    RunFrames(20);
    ASSERT_EQ(SceneId, SceneKeyConfig);
    // Entry frame: even rows from the left, odd rows and KEY TYPE from the right.
    EXPECT_EQ(FirstX(15), CentredX(-17 - 40, "UP"));
    EXPECT_EQ(FirstX(16), CentredX(-15 + 40, "DOWN"));
    EXPECT_EQ(FirstX(kTypeRow), CentredX(-4 + 40, "KEY TYPE ="));
    EXPECT_EQ(FirstX(27), CentredX(-40, "RETURN TO OPTION MENU"));
    RunFrames(20);

    Tap(kDown);
    Tap(kDown);
    g_played.clear();
    Press(kKey4);
    EXPECT_EQ(CountPlays(WaveSlotSelect), 1);
    EXPECT_TRUE(RowGlyphs(27).empty()) << "the return item is gone while leaving";
    RunFrame();   // L = 19
    EXPECT_EQ(FirstX(15), CentredX(-17 + 2, "UP"));
    EXPECT_EQ(FirstX(16), CentredX(-15 - 2, "DOWN"));
    EXPECT_EQ(FirstX(kTypeRow), CentredX(-4 - 2, "KEY TYPE ="));
    EXPECT_EQ(FirstSlot(kTypeRow), 1);
    RunFrames(18);
    EXPECT_EQ(SceneId, SceneKeyConfig);
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(Settings.keyConfig, 5);
    EXPECT_EQ(g_played.size(), 1u);
}

// ---- Key test ----

struct LabelCase {
    int key;
    const char* label;
    int32_t x;
    int32_t row;
};
const LabelCase kLabels[] = {
    {kUp, "UP", 0, 12},       {kLeft, "LEFT", -6, 14},   {kRight, "RIGHT", 5, 14},
    {kDown, "DOWN", 0, 16},   {kKey1, "KEY_1", -6, 19},  {kKey2, "KEY_2", 6, 19},
    {kKey3, "KEY_3", -6, 21}, {kKey4, "KEY_4", 6, 21},   {'W', "KEY_5", -6, 23},
    {'E', "KEY_6", 6, 23},    {'Q', "KEY_7", -6, 25},    {'R', "KEY_8", 6, 25},
};

// FontId 1 (slot 2) while the button is down, FontId 0 (slot 1) otherwise.
int32_t LabelSlot(const LabelCase& c) { return SlotAt(c.row, CentredX(c.x, c.label)); }

using KeyTestScreen = OptionScreens;

TEST_F(KeyTestScreen, EachLabelLightsWhileItsButtonIsDown) {
    OpenScreen(1, SceneKeyTest);
    for (const LabelCase& c : kLabels) {
        HeadlessSetKey(c.key, true);
        RunFrame();
        for (const LabelCase& other : kLabels) {
            EXPECT_EQ(LabelSlot(other), &other == &c ? 2 : 1) << c.label << " / " << other.label;
        }
        RunFrame();
        EXPECT_EQ(LabelSlot(c), 2) << c.label << " held";
        HeadlessSetKey(c.key, false);
        RunFrame();
        EXPECT_EQ(LabelSlot(c), 1) << c.label << " released";
        RunFrame();
    }
    EXPECT_EQ(SceneId, SceneKeyTest);
    EXPECT_TRUE(g_played.empty());
    EXPECT_EQ(TextOf(27), "PRESS 1+3 OR ESC TO RETURN");
    EXPECT_EQ(FirstSlot(27), BlinkSlot());
}

TEST_F(KeyTestScreen, BothKeysHeldOnEntryLeaveInTheFirstFrame) {
    LiveMenuAt(1);
    HeadlessSetKey(kKey3, true);
    HeadlessSetKey(kKey1, true);   // chooses KEY TEST; both stay down
    RunFrames(21);
    ASSERT_EQ(SceneId, SceneKeyTest);
    EXPECT_EQ(FirstX(8), CentredX(-40, "KEY TEST"));
    EXPECT_EQ(SlotAt(19, CentredX(-6 - 40, "KEY_1")), 2) << "lit, sliding in from the left";
    EXPECT_EQ(SlotAt(21, CentredX(-6 + 40, "KEY_3")), 2) << "lit, sliding in from the right";
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 1);
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(TextOf(17), "KEY TEST");
    EXPECT_EQ(CountPlays(WaveSlotSelect), 1) << "only the menu's choice";
}

TEST_F(KeyTestScreen, Key1HeldThenKey3Leaves) {
    OpenScreen(1, SceneKeyTest);
    HeadlessSetKey(kKey1, true);
    RunFrames(5);
    EXPECT_EQ(SceneId, SceneKeyTest);
    HeadlessSetKey(kKey3, true);
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 1);
}

TEST_F(KeyTestScreen, JoystickInputsLightTheirLabels) {
    HeadlessSetJoystickCount(1);
    HeadlessSetJoystick(0, 32767, 32767, 0);
    DetectJoysticks();
    EnableJoystick(1);
    OpenScreen(1, SceneKeyTest);
    HeadlessSetJoystick(0, 32767, 32767, 4);   // button 3: KEY 3
    RunFrame();
    EXPECT_EQ(LabelSlot(kLabels[6]), 2);
    EXPECT_EQ(LabelSlot(kLabels[4]), 1);
    HeadlessSetJoystick(0, 0, 32767, 4);       // and the stick to the left
    RunFrame();
    EXPECT_EQ(LabelSlot(kLabels[1]), 2);
    EXPECT_EQ(LabelSlot(kLabels[6]), 2);
    HeadlessSetJoystick(0, 0, 32767, 1 | 4);   // button 1 as well: KEY 1 + KEY 3
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 1);
}

}  // namespace
