// The graphic config screen (four ON/OFF flags) and the sound test screen (any WaveSlot by
// number), driven through the real frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "hosts/headless/headless_audio.h"
#include "options/sound_test.h"
#include "platform/keys.h"
#include "shell/catalogue.h"
#include "support/option_driver.h"

using namespace option_driver;

// The ON/OFF column of each flag row; a value other than 0 and 1 shows nothing and moves
// neither way.
// The option screens' fixture under this file's name.
class OptionScreensTest : public OptionScreens {};

TEST_F(OptionScreensTest, GraphicFlagsStepOnlyBetweenOffAndOn) {
    Settings = SettingsRecord{0, 1, 7, 0, -1};
    OpenScreen(2, SceneGraphicConfig);
    const std::vector<std::string> shown = {TextOf(14, 432), TextOf(17, 432), TextOf(20, 432),
                                            TextOf(23, 432)};
    EXPECT_EQ(shown, (std::vector<std::string>{"ON", "", "OFF", ""}));
    Tap(VkRight);  // FPS DISPLAY is ON already
    Press(VkLeft);
    EXPECT_EQ(TextOf(14, 432), "OFF") << "in the frame of the change";
    RunFrames(2);
    Tap(VkDown);
    Tap(VkRight);
    Tap(VkLeft);
    EXPECT_EQ(Settings.useVram, 7);
    EXPECT_EQ(Settings.fpsDisplay, 0);
    EXPECT_EQ(CountPlays(WaveSlotChoice), 2) << "OFF and the move down";
}

TEST_F(OptionScreensTest, SoundTestAt00PlaysSlot0OnceAndAt20Nothing) {
    const uint8_t wave[] = {'R', 'I', 'F',  'F',  44, 0,   0,   0,   'W', 'A', 'V', 'E',  'f',
                            'm', 't', ' ',  16,   0,  0,   0,   1,   0,   1,   0,   0x11, 0x2B,
                            0,   0,   0x11, 0x2B, 0,  0,   1,   0,   8,   0,   'd', 'a',  't',
                            'a', 8,   0,    0,    0,  128, 129, 130, 131, 132, 133, 134,  135};
    const std::string path =
        testing::TempDir() + "option_screens_erasing_" + std::to_string(getpid()) + ".wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wave), sizeof wave);
    ASSERT_EQ(CreateSound(), 1);
    ASSERT_EQ(LoadWave(WaveSlotErasing, path.c_str()), 1);
    OpenScreen(3, SceneSoundTest);
    Tap(VkLeft);
    Tap(kKey1);
    EXPECT_EQ(TextOf(14, 344), "00");
    EXPECT_EQ(HeadlessAudioEvents().size(), 1u);
    for (int i = 0; i < 20; ++i) Tap(VkRight);
    Tap(kKey4);
    EXPECT_EQ(TextOf(14, 344), "20");
    EXPECT_EQ(Played, (std::vector<uint16_t>{0, 20})) << "the screen makes no sound of its own";
    EXPECT_EQ(HeadlessAudioEvents().size(), 1u) << "slot 20 is empty";
    for (int i = 0; i < 15; ++i) Tap(VkRight);
    EXPECT_EQ(SoundTestNumber, 31) << "no slot 32";
    Escape();
    Press(kKey1);  // back in: 00 again
    RunFrames(20);
    EXPECT_EQ(SoundTestNumber, 0);
}
