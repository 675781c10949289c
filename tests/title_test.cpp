// The title menu and the mode select, driven frame by frame through the real FrameCallback:
// where the items are drawn and in which colour, what sounds, and where each choice leads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/application.h"
#include "app/window_procedure.h"
#include "frame/frame.h"
#include "platform/keys.h"
#include "rules/field.h"
#include "shell/catalogue.h"
#include "support/screen_driver.h"
#include "support/work_dir.h"

using namespace screen_driver;

namespace {

constexpr int kKey5 = 'W', kKey7 = 'Q', kKey8 = 'R';
constexpr uint32_t kPlain = 1;  // the white 16-pixel font

struct Item {
    const char* text;
    int32_t row;
};
const Item kTitle[] = {{"GAME START", 17}, {"RANKING", 19}, {"OPTION", 21}, {"EXIT", 23}};
const Item kModes[] = {{"NORMAL MODE", 17}, {"EXPERT MODE", 20}, {"RETURN TO MAINMENU", 23}};

// The font of the first glyph of a 16-pixel text row.
uint32_t FirstSlot(int32_t row) { return RowAt(16 * row).slots.at(0); }

// The items of the frame just run, each centred `offsets` half-glyphs off the middle.
void ExpectItemsAt(const Item* item, std::initializer_list<int32_t> offsets) {
    for (int32_t offset : offsets) {
        const auto width = 16 * static_cast<int32_t>(std::strlen(item->text));
        EXPECT_EQ(RowAt(16 * item->row).x, 320 + 8 * offset - width / 2) << item->text;
        ++item;
    }
}

// The title as the credits hand over to it, drawn in that same frame, then `frames` more.
void OpenTitle(int frames) {
    Scene.id = SceneLoading;
    Scene.leaveTimer = 1;
    RunFrames(1 + frames);
}

// GAME START chosen in the title's first idle frame; the mode select's slide-in run through.
void IdleModeSelect() {
    OpenTitle(20);
    Press(kKey1);
    RunFrames(20);
    ExpectItemsAt(kModes, {40, -40, 40});  // 16 pixels a frame from alternate sides
    RunFrames(20);
}

// KEY 1 pressed while `held` are held down since the frame before.
void ConfirmHolding(const std::vector<int>& held) {
    for (int key : held) HeadlessSetKey(key, true);
    RunFrames();
    Press(kKey1);
    for (int key : held) HeadlessSetKey(key, false);
}

struct TitleTest : testing::Test {
    void SetUp() override { Start(); }
};

}  // namespace

TEST_F(TitleTest, TitleSlidesInIgnoringButtonsThenCyclesGameStartEveryFourFrames) {
    OpenTitle(0);
    for (int32_t enter : {20, 13, 0}) {
        while (Scene.enterTimer > enter) {
            HeadlessSetKey(VkDown, Scene.enterTimer % 3 == 0);
            HeadlessSetKey(kKey4, Scene.enterTimer == 1);  // pressed in the last slide frame, held
            RunFrames();
        }
        ExpectItemsAt(kTitle, {-enter, enter, -enter, enter});
        EXPECT_EQ(FadeLevel, std::min(21 - enter, 20));
        EXPECT_EQ(FirstSlot(17), enter > 0 ? kPlain : Cycle(kPlain, 4));
    }
    EXPECT_EQ(RowAt(16 * 23).text, "EXIT");
    EXPECT_EQ(RowAt(16 * 29).text, "VER 0.03");
    for (int frame = 20; frame < 29; ++frame, RunFrames()) {
        EXPECT_EQ(FirstSlot(17), Cycle(kPlain, 4)) << frame;
    }
    EXPECT_TRUE(Played.empty());  // no step, no choice
}

TEST_F(TitleTest, TitleCursorStopsSilentlyAtTheEndsAndExitEndsTheProgramInTheTwentiethFrame) {
    const ScopedWorkDir dir;
    Frame.window = 1;  // the close path as the process entry sets it up
    SetCloseCallback(CloseCallback);
    OpenTitle(20);
    Tap(VkUp);
    for (int i = 0; i < 4; ++i) Tap(VkDown);
    EXPECT_EQ(Played, std::vector<uint16_t>(3, WaveSlotChoice));
    Press(kKey1);
    for (int32_t leave = 20; leave >= 1; --leave, RunFrames()) {
        ASSERT_EQ(Scene.leaveTimer, leave);
        ASSERT_EQ(Frame.window, 1);
        HeadlessSetKey(VkUp, leave % 3 == 0);  // new presses every third frame: ignored
        HeadlessSetKey(kKey1, leave % 3 == 1);
        if (leave % 10 != 0) continue;
        // EXIT flashes at its cells while the others clear the way at 16 pixels a frame.
        ExpectItemsAt(kTitle, {40 - 2 * leave, 2 * leave - 40, 40 - 2 * leave, 0});
        EXPECT_EQ(FirstSlot(23), Cycle(kPlain));
        EXPECT_EQ(FirstSlot(17), kPlain);
    }
    EXPECT_EQ(Played.size(), 4u);  // the steps and the choice, nothing in the leave
    EXPECT_EQ(Frame.window, 0);
    EXPECT_EQ(PumpMessages(), 0);  // the message loop ends
    for (const char* file : {"config.dat", "rank_n.dat", "rank_e.dat"}) {
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
    }
}

TEST_F(TitleTest, NormalModeWithQAndRHeldStartsAtLevel100AfterAFortyFrameDissolve) {
    IdleModeSelect();
    ConfirmHolding({kKey7, kKey8});
    for (int32_t leave = 40; leave >= 1; --leave, RunFrames()) {
        ASSERT_EQ(Scene.leaveTimer, leave);
        // Clear until 20 frames are left, then one dissolve step a frame down to black.
        EXPECT_EQ(FadeLevel, leave > 20 ? 0 : leave - 1) << leave;
        if (leave % 10 != 0) continue;
        ExpectItemsAt(kModes, {0, 40 - leave, leave - 40});
        EXPECT_EQ(FirstSlot(17), Cycle(kPlain));
    }
    EXPECT_EQ(Game.level, 100);
}

TEST_F(TitleTest, ExpertModeKeepsItsStartLevelForNormalModeWithoutButtons) {
    IdleModeSelect();
    Tap(VkDown);
    ConfirmHolding({kKey5});
    RunFrames(40);
    EXPECT_EQ(Scene.id, SceneModeSelect);  // idle again on EXPERT MODE
    Tap(VkUp);
    ConfirmHolding({});
    RunFrames(40);
    EXPECT_EQ(Game.level, 15);
}

// The mode select forgets the start level of an earlier visit.
TEST_F(TitleTest, EnteringTheModeSelectResetsTheStartLevel) {
    Scene.startLevel = 70;
    IdleModeSelect();
    ConfirmHolding({});
    RunFrames(40);
    EXPECT_EQ(Game.level, 0);
}

TEST_F(TitleTest, ReturnToMainMenuSlidesOutWithoutFadeToAnIdleTitle) {
    IdleModeSelect();
    for (int i = 0; i < 2; ++i) Tap(VkDown);
    FadeLevel = 7;  // a probe: any fade step would move it
    Press(kKey1);
    RunFrames(10);
    ExpectItemsAt(kModes, {-20, 20, 0});
    RunFrames(9);
    EXPECT_EQ(Scene.leaveTimer, 1);
    RunFrames();
    EXPECT_EQ(Scene.id, SceneTitle);
    EXPECT_EQ(FadeLevel, 7);
    EXPECT_EQ(FirstSlot(17), Cycle(kPlain, 4));  // idle at once
}
