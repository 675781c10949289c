// The graphic config screen (four ON/OFF flags) and the sound test screen (any WaveSlot by
// number), driven through the real frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "options/graphic_config.h"
#include "options/sound_test.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/option_driver.h"

using namespace option_driver;

namespace {

// ---- Graphic config ----

constexpr int32_t kValuesFromX = 320 + 17 * 8 - 3 * 8;   // "OFF" starts here, "ON" later

struct FlagCase {
    const char* label;
    int32_t x;
    int32_t row;
    int32_t side;   // +1 slides in from the right and leaves to the left
};
const FlagCase kFlags[] = {
    {"FPS DISPLAY", -9, 14, +1},
    {"USE VRAM", -12, 17, -1},
    {"SHOW LINE SHADOW", -4, 20, +1},
    {"Erase Property", -6, 23, -1},
};

std::string Value(const FlagCase& f) { return TextOf(f.row, kValuesFromX); }
int32_t LabelSlot(const FlagCase& f) { return SlotAt(f.row, CentredX(f.x, f.label)); }

class GraphicConfigScreen : public OptionScreens {
protected:
    void Open(SettingsRecord settings) {
        Settings = settings;
        OpenScreen(2, SceneGraphicConfig);
    }
};

TEST_F(GraphicConfigScreen, ValuesShowOnlyForZeroAndOne) {
    Open(SettingsRecord{0, 1, 7, 0, -1});
    EXPECT_EQ(TextOf(14, 0, kValuesFromX), "FPS DISPLAY");
    EXPECT_EQ(Value(kFlags[0]), "ON");
    EXPECT_EQ(Value(kFlags[1]), "");
    EXPECT_EQ(Value(kFlags[2]), "OFF");
    EXPECT_EQ(Value(kFlags[3]), "");
    EXPECT_EQ(TextOf(23, 0, kValuesFromX), "Erase Property");
    // A stored 7 moves neither way.
    Tap(kDown);
    g_played.clear();
    Tap(kRight);
    Tap(kLeft);
    EXPECT_EQ(Settings.useVram, 7);
    EXPECT_TRUE(g_played.empty());
}

TEST_F(GraphicConfigScreen, RightMeansOnAndLeftOff) {
    Open(SettingsRecord{});
    Tap(kRight);                   // FPS DISPLAY already ON
    EXPECT_EQ(Settings.fpsDisplay, 1);
    EXPECT_TRUE(g_played.empty());
    Press(kLeft);
    EXPECT_EQ(Settings.fpsDisplay, 0);
    EXPECT_EQ(Value(kFlags[0]), "OFF") << "in the frame of the change";
    EXPECT_EQ(CountPlays(WaveSlotChoice), 1);
    RunFrames(2);
    Tap(kLeft);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 1);
    Tap(kRight);
    EXPECT_EQ(Settings.fpsDisplay, 1);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 2);

    // Each row's flag is its own: SHOW LINE SHADOW and Erase Property off, the rest kept.
    Tap(kDown);
    Tap(kDown);
    Tap(kLeft);
    Tap(kDown);
    Tap(kLeft);
    EXPECT_EQ(Settings.fpsDisplay, 1);
    EXPECT_EQ(Settings.useVram, 1);
    EXPECT_EQ(Settings.showLineShadow, 0);
    EXPECT_EQ(Settings.eraseProperty, 0);
}

// USE VRAM is stored, shown and saved, but start-up reads it before the settings are loaded.
TEST_F(GraphicConfigScreen, UseVramOffIsStoredAndSavedFromTheTitle) {
    Open(SettingsRecord{});
    Tap(kDown);
    Press(kLeft);
    EXPECT_EQ(Settings.useVram, 0);
    EXPECT_EQ(Value(kFlags[1]), "OFF");
    RunFrames(2);
    Escape();
    Escape();
    ASSERT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(CloseCallback(), 1);
    std::FILE* file = std::fopen("config.dat", "rb");
    ASSERT_NE(file, nullptr);
    int32_t words[5] = {};
    EXPECT_EQ(std::fread(words, 4, 5, file), 5u);
    std::fclose(file);
    EXPECT_EQ(words[2], 0);
    EXPECT_EQ(words[1], 1);
}

TEST_F(GraphicConfigScreen, CursorRowIsDrawnAgainInTheBlinkColour) {
    Open(SettingsRecord{});
    EXPECT_EQ(LabelSlot(kFlags[0]), BlinkSlot());
    EXPECT_EQ(SlotAt(14, kValuesFromX + 8), BlinkSlot());
    EXPECT_EQ(LabelSlot(kFlags[1]), 1);
    Tap(kDown);
    Tap(kDown);
    EXPECT_EQ(LabelSlot(kFlags[2]), BlinkSlot());
    EXPECT_EQ(LabelSlot(kFlags[0]), 1);
    EXPECT_EQ(FirstSlot(27), 1);
    Tap(kDown);
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 4);
    EXPECT_EQ(FirstSlot(27), BlinkSlot());
    EXPECT_EQ(CountPlays(WaveSlotChoice), 4);
    Tap(kDown);                    // the last row: nothing, silent
    EXPECT_EQ(MenuCursor, 4);
    Tap(kRight);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 4);
}

TEST_F(GraphicConfigScreen, SlidesInAlternatelyAndLeavesTheOtherWay) {
    Settings = SettingsRecord{};
    EnterOptionMenu(SceneGraphicConfig);
    Press(kKey1);
    RunFrames(20);
    ASSERT_EQ(SceneId, SceneGraphicConfig);
    EXPECT_EQ(FirstX(8), CentredX(-40, "GRAPHIC CONFIG"));
    for (const FlagCase& f : kFlags) {
        EXPECT_EQ(FirstX(f.row), CentredX(f.x + 40 * f.side, f.label)) << f.label;
        EXPECT_EQ(LabelSlot(f), -1);
    }
    EXPECT_EQ(FirstX(27), CentredX(40, "RETURN TO OPTION MENU"));
    RunFrames(20);

    for (int i = 0; i < 4; ++i) Tap(kDown);
    g_played.clear();
    Press(kKey1);
    EXPECT_EQ(CountPlays(WaveSlotSelect), 1);
    RunFrame();                    // L = 19
    EXPECT_EQ(FirstX(8), CentredX(0, "GRAPHIC CONFIG"));
    for (const FlagCase& f : kFlags) {
        EXPECT_EQ(FirstX(f.row), CentredX(f.x - 2 * f.side, f.label)) << f.label;
        EXPECT_EQ(SlotAt(f.row, CentredX(f.x - 2 * f.side, f.label)), 1) << f.label;
    }
    EXPECT_EQ(FirstX(27), CentredX(0, "RETURN TO OPTION MENU"));
    EXPECT_EQ(FirstSlot(27), FlashSlot());
    RunFrames(18);
    EXPECT_EQ(SceneId, SceneGraphicConfig);
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(g_played.size(), 1u);
}

// ---- Sound test ----

constexpr int32_t kSoundRow = 14;
constexpr int32_t kNumberX = 22 * 16;   // column 22

std::string Number() { return TextOf(kSoundRow, kNumberX - 8); }

void WriteWave(const char* path) {
    const uint8_t bytes[] = {
        'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0,   // PCM mono 11025 Hz
        1, 0, 8, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0,
        128, 129, 130, 131, 132, 133, 134, 135,
    };
    std::FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes, 1, sizeof bytes, file);
    std::fclose(file);
}

using SoundTestScreen = OptionScreens;

TEST_F(SoundTestScreen, SlotZeroPlaysOnceAndTwentyPlaysNothing) {
    ASSERT_EQ(CreateSound(), 1);
    WriteWave("erasing.wav");
    ASSERT_EQ(LoadWave(WaveSlotErasing, "erasing.wav"), 1);
    OpenScreen(3, SceneSoundTest);
    EXPECT_EQ(Number(), "00");

    Tap(kKey1);
    ASSERT_EQ(g_played.size(), 1u);
    EXPECT_EQ(g_played[0].slot, 0);
    EXPECT_EQ(g_played[0].loop, 0);
    EXPECT_EQ(g_played[0].result, 1);
    ASSERT_EQ(HeadlessAudioEvents().size(), 1u);
    EXPECT_FALSE(HeadlessAudioEvents()[0].loop);

    for (int i = 0; i < 20; ++i) Tap(kRight);
    EXPECT_EQ(Number(), "20");
    EXPECT_EQ(g_played.size(), 1u) << "changing the number is silent";
    Tap(kKey4);
    ASSERT_EQ(g_played.size(), 2u);
    EXPECT_EQ(g_played[1].slot, 20);
    EXPECT_EQ(g_played[1].result, 0) << "slot 20 is empty";
    EXPECT_EQ(HeadlessAudioEvents().size(), 1u);
}

TEST_F(SoundTestScreen, NumberStopsAtBothEnds) {
    OpenScreen(3, SceneSoundTest);
    Tap(kLeft);
    EXPECT_EQ(SoundTestNumber, 0);
    for (int i = 0; i < 35; ++i) Tap(kRight);
    EXPECT_EQ(SoundTestNumber, 31);
    EXPECT_EQ(Number(), "31");
    Tap(kLeft);
    EXPECT_EQ(Number(), "30");
    EXPECT_TRUE(g_played.empty());
    // RIGHT and KEY 1 in one frame play the new number.
    HeadlessSetKey(kRight, true);
    HeadlessSetKey(kKey1, true);
    RunFrame();
    ASSERT_EQ(g_played.size(), 1u);
    EXPECT_EQ(g_played[0].slot, 31);
    EXPECT_EQ(SlotAt(kSoundRow, kNumberX), BlinkSlot());
    EXPECT_EQ(SlotAt(kSoundRow, CentredX(-3, "SOUND")), BlinkSlot());
}

TEST_F(SoundTestScreen, ReturnLeavesSilentlyWithTheRowMovingLeft) {
    OpenScreen(3, SceneSoundTest);
    Tap(kRight);
    Tap(kDown);
    EXPECT_EQ(MenuCursor, 1);
    EXPECT_EQ(FirstSlot(23), BlinkSlot());
    EXPECT_EQ(SlotAt(kSoundRow, kNumberX), 1);
    Tap(kRight);                   // not the number's row
    EXPECT_EQ(SoundTestNumber, 1);
    Press(kKey1);
    EXPECT_EQ(SceneLeaveTimer, 20);
    EXPECT_EQ(SlotAt(kSoundRow, kNumberX), 1);
    RunFrame();                    // L = 19: one glyph to the left
    EXPECT_EQ(TextOf(kSoundRow, kNumberX - 16 - 8), "01");
    EXPECT_EQ(FirstX(kSoundRow), CentredX(-3 - 2, "SOUND"));
    EXPECT_EQ(FirstSlot(23), FlashSlot());
    RunFrames(18);
    EXPECT_EQ(SceneId, SceneSoundTest);
    RunFrame();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(MenuCursor, 3);
    EXPECT_TRUE(g_played.empty());

    Press(kKey1);                  // back in: the number starts at 00 again
    RunFrames(20);
    ASSERT_EQ(SceneId, SceneSoundTest);
    EXPECT_EQ(SoundTestNumber, 0);
    EXPECT_EQ(FirstX(kSoundRow), CentredX(40 - 3, "SOUND"));
    EXPECT_EQ(SlotAt(kSoundRow, (20 + 22) * 16), 1);
    EXPECT_EQ(FirstX(23), CentredX(-40, "RETURN TO OPTION MENU"));
}

}  // namespace
