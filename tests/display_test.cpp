// The DisplayDevice: set-up and its messages, presentation, the full-screen toggle, lost
// buffers and ColorMatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/display.h"
#include "frame/sprite.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_window.h"
#include "support/fresh.h"
#include "support/game_window.h"

namespace {

using Lines = std::vector<std::string>;

class DisplayTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameWindow());
    }
    static uint32_t Presented() { return HeadlessWindow().presentedFrames; }
};

TEST_F(DisplayTest, SetUpReportsTheDesktopAndOnlySixteenBitsMayToggle) {
    for (int32_t bits : {16, 32}) {
        SCOPED_TRACE(bits);
        ResetDisplay();
        HeadlessClearRecord();
        HeadlessSetDesktop(1024, 768, bits);
        ASSERT_EQ(SetupDisplay(), 1);
        EXPECT_EQ(HeadlessRecorded().debugLines,
                  (Lines{"標準のデバイスを使用します\n",
                         "現在のディスプレイモードは" + std::to_string(bits) + "bitカラーです\n",
                         "16bitカラーで起動します\n"}));
        ToggleFullScreen();
        EXPECT_EQ(HeadlessWindow().fullScreen, bits != 16);
        ToggleFullScreen();
        EXPECT_TRUE(HeadlessWindow().fullScreen);
    }
}

TEST_F(DisplayTest, ModeThatCannotBeSetEndsSetUpWithItsBoxAndShowsNothing) {
    HeadlessSetWindowFault(HeadlessFaultFullScreen);
    EXPECT_EQ(SetupDisplay(), 0);
    EXPECT_EQ(HeadlessRecorded().errorBoxes,
              Lines{"メッセージ: ディスプレイモードが変更できません"});
    PresentFrame();
    RepaintWindow();
    EXPECT_EQ(Presented(), 0u);
    EXPECT_EQ(ClearScreen(0), 0);
    EXPECT_EQ(StepFade(0, 0), 1);
}

TEST_F(DisplayTest, PresentShowsTheBackBufferAndRestoresLostBuffers) {
    for (bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen);
        ResetDisplay();
        ASSERT_EQ(SetupDisplay(), 1);
        if (!fullScreen) ToggleFullScreen();
        HeadlessClearRecord();
        const uint32_t before = Presented();
        LoseAllSurfaces();
        EXPECT_EQ(ClearScreen(0), 0);
        PresentFrame();
        EXPECT_EQ(HeadlessRecorded().debugLines, Lines{"Flont/Back Bufferを復元します。\n"});
        EXPECT_EQ(ClearScreen(0x0000FF), 1);
        DisplayDevice.presentationSuspended = 1;  // the window's menu loop
        PresentFrame();
        DisplayDevice.presentationSuspended = 0;
        EXPECT_EQ(Presented(), before);
        RepaintWindow();  // a full screen has no window to repaint
        EXPECT_EQ(Presented(), before + (fullScreen ? 0 : 1));
        PresentFrame();
        EXPECT_EQ(Presented(), before + (fullScreen ? 1 : 2));
        EXPECT_EQ(HeadlessWindow().picture[kHeadlessPictureWidth * 480 - 1], 0xF800);
    }
}

TEST_F(DisplayTest, ColorMatchGivesTheDisplaysPixelAndLeavesTheSurfaceAlone) {
    ASSERT_EQ(SetupDisplay(), 1);
    SetSurfacePixel(DisplayDevice.back, 0, 0, 0x123456);
    const uint16_t before = GetSurfacePixel(DisplayDevice.back, 0, 0);
    EXPECT_EQ(ColorMatch(DisplayDevice.back, 0x8003FF), 0xF810u);  // 0x00BBGGRR, top bits kept
    EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 0, 0), before);
    LoseAllSurfaces();
    EXPECT_EQ(ColorMatch(DisplayDevice.back, 0), kNoColour);
}

}  // namespace
