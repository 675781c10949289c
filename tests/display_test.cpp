// The DisplayDevice: set-up and its messages, presentation, the full-screen toggle, lost
// buffers, the surfaces' own operations and ColorMatch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/display.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/platform_window.h"
#include "support/fresh.h"

namespace {

using Lines = std::vector<std::string>;

class DisplayTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
        ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 192, 144, 640, 480));
    }
    static uint16_t Shown(int32_t x, int32_t y) {
        return HeadlessWindow().picture[y * kHeadlessPictureWidth + x];
    }
};

TEST_F(DisplayTest, SixteenBitDesktopStartsFullScreenAndMayToggle) {
    ASSERT_EQ(SetupDisplay(), 1);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (Lines{"標準のデバイスを使用します\n", "現在のディスプレイモードは16bitカラーです\n",
                     "16bitカラーで起動します\n"}));
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
    EXPECT_EQ(DisplayDevice.ready, 1);
    EXPECT_EQ(DisplayDevice.cooperativeFlags, 17u);
    EXPECT_EQ(DisplayDevice.toggleForbidden, 0);
    EXPECT_TRUE(HeadlessWindow().fullScreen);
    EXPECT_EQ(DisplayDevice.back->width, 640);
    EXPECT_EQ(DisplayDevice.back->height, 480);
    EXPECT_EQ(DisplayDevice.clip.right, 640);
    EXPECT_EQ(DisplayDevice.clip.bottom, 480);

    ToggleFullScreen();
    EXPECT_EQ(DisplayDevice.ready, 1);
    EXPECT_EQ(DisplayDevice.cooperativeFlags, 8u);
    EXPECT_EQ(IsFullScreen(), 0);
    EXPECT_EQ(DisplayDevice.clipper, 1);
    EXPECT_FALSE(HeadlessWindow().fullScreen);
    ToggleFullScreen();
    EXPECT_EQ(IsFullScreen(), 1);
    EXPECT_TRUE(HeadlessWindow().fullScreen);
    EXPECT_EQ(DisplayDevice.clipper, 0);
}

TEST_F(DisplayTest, OtherDesktopDepthsForceSixteenBitsAndForbidTheToggle) {
    for (int32_t bits : {32, 8}) {
        SCOPED_TRACE(bits);
        ResetDisplay();
        HeadlessClearRecord();
        HeadlessSetDesktop(1024, 768, bits);
        ASSERT_EQ(SetupDisplay(), 1);
        EXPECT_EQ(HeadlessRecorded().debugLines[1],
                  "現在のディスプレイモードは" + std::to_string(bits) + "bitカラーです\n");
        EXPECT_EQ(HeadlessRecorded().debugLines[2], "16bitカラーで起動します\n");
        EXPECT_EQ(DisplayDevice.bitsPerPixel, 16);
        EXPECT_EQ(DisplayDevice.toggleForbidden, 1);
        const Surface* back = DisplayDevice.back;
        ToggleFullScreen();
        EXPECT_EQ(IsFullScreen(), 1);
        EXPECT_EQ(DisplayDevice.back, back);
    }
}

TEST_F(DisplayTest, ModeThatCannotBeSetEndsSetUpWithItsBox) {
    HeadlessSetWindowFault(HeadlessFaultFullScreen);
    EXPECT_EQ(SetupDisplay(), 0);
    EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{"メッセージ: ディスプレイモードが変更できません"});
    EXPECT_EQ(DisplayDevice.ready, 0);
    EXPECT_EQ(Frame.messageBoxShowing, 0);
}

TEST_F(DisplayTest, FailedToggleLeavesTheDisplayReleasedAndQuiet) {
    ASSERT_EQ(SetupDisplay(), 1);
    ToggleFullScreen();
    HeadlessSetWindowFault(HeadlessFaultFullScreen);
    ToggleFullScreen();
    EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{"メッセージ: ディスプレイモードが変更できません"});
    EXPECT_EQ(DisplayDevice.ready, 0);
    const uint32_t shown = HeadlessWindow().presentedFrames;
    PresentFrame();
    RepaintWindow();
    EXPECT_EQ(HeadlessWindow().presentedFrames, shown);
    EXPECT_EQ(ClearScreen(0), 0);
    EXPECT_EQ(StepFade(0, 0), 1);   // nothing to lock: the fade ends this frame
}

TEST_F(DisplayTest, PresentShowsTheBackBufferUnlessSuspended) {
    ASSERT_EQ(SetupDisplay(), 1);
    ClearScreen(0x0000FF);
    SetSurfacePixel(DisplayDevice.back, 639, 479, 0xFFFFFF);
    PresentFrame();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 1u);
    EXPECT_EQ(Shown(0, 0), 0xF800);
    EXPECT_EQ(Shown(639, 479), 0xFFFF);

    DisplayDevice.presentationSuspended = 1;
    ClearScreen(0);
    PresentFrame();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 1u);
    DisplayDevice.presentationSuspended = 0;
    PresentFrame();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 2u);
    EXPECT_EQ(Shown(0, 0), 0);
}

TEST_F(DisplayTest, WindowRepaintsOnlyWhenWindowed) {
    ASSERT_EQ(SetupDisplay(), 1);
    RepaintWindow();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);
    ToggleFullScreen();
    ClearScreen(0x00FF00);
    RepaintWindow();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 1u);
    EXPECT_EQ(Shown(320, 240), 0x07E0);
}

TEST_F(DisplayTest, LostBuffersAreRestoredByTheNextPresent) {
    for (bool fullScreen : {true, false}) {
        SCOPED_TRACE(fullScreen);
        ResetDisplay();
        ASSERT_EQ(SetupDisplay(), 1);
        if (!fullScreen) ToggleFullScreen();
        HeadlessClearRecord();
        const uint32_t shown = HeadlessWindow().presentedFrames;
        LoseAllSurfaces();
        EXPECT_EQ(ClearScreen(0), 0);
        PresentFrame();
        EXPECT_EQ(HeadlessWindow().presentedFrames, shown);
        EXPECT_EQ(HeadlessRecorded().debugLines, Lines{"Flont/Back Bufferを復元します。\n"});
        EXPECT_EQ(ClearScreen(0xFF0000), 1);
        PresentFrame();
        EXPECT_EQ(HeadlessWindow().presentedFrames, shown + 1);
        EXPECT_EQ(Shown(5, 5), 0x001F);
        EXPECT_EQ(HeadlessRecorded().debugLines.size(), 1u);
    }
}

TEST_F(DisplayTest, ColorMatchGivesTheDisplaysPixelAndLeavesTheSurfaceAlone) {
    ASSERT_EQ(SetupDisplay(), 1);
    SetSurfacePixel(DisplayDevice.back, 0, 0, 0x123456);
    const uint16_t before = GetSurfacePixel(DisplayDevice.back, 0, 0);
    const struct {
        uint32_t colour;
        uint32_t pixel;
    } cases[] = {
        {0x000000, 0x0000}, {0xFFFFFF, 0xFFFF}, {0x0000FF, 0xF800}, {0x00FF00, 0x07E0},
        {0xFF0000, 0x001F}, {0x808080, 0x8410}, {0x070307, 0x0000}, {0xFF00FF, 0xF81F},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorMatch(DisplayDevice.back, c.colour), c.pixel) << std::hex << c.colour;
        EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 0, 0), before);
    }
    // No colour: what the top-left pixel holds.
    EXPECT_EQ(ColorMatch(DisplayDevice.back, kNoColour), before);
    LoseAllSurfaces();
    EXPECT_EQ(ColorMatch(DisplayDevice.back, 0), kNoColour);
    EXPECT_EQ(ColorMatch(nullptr, 0), kNoColour);
}

TEST_F(DisplayTest, SurfacesRefuseUnusableSizesAndRectangles) {
    EXPECT_EQ(CreateSurface(0, 4, 0), nullptr);
    EXPECT_EQ(CreateSurface(4, -1, 0), nullptr);
    EXPECT_EQ(CreateSurface(65536, 65536, 0), nullptr);
    Surface* odd = CreateSurface(3, 2, 1);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->pitch, 8);
    Surface* target = CreateSurface(4, 4, 1);
    ASSERT_NE(target, nullptr);
    FillSurface(odd, 0x1111);
    FillSurface(target, 0);
    EXPECT_EQ(CopySurfaceRect(target, 2, 0, odd, 0, 0, 3, 2, 0), SurfaceFailed);
    EXPECT_EQ(CopySurfaceRect(target, 0, 0, odd, 0, 0, 4, 2, 0), SurfaceFailed);
    EXPECT_EQ(CopySurfaceRect(target, -1, 0, odd, 0, 0, 1, 1, 0), SurfaceFailed);
    EXPECT_EQ(CopySurfaceRect(target, 0, 0, odd, 1, 0, 1, 1, 0), SurfaceFailed);
    EXPECT_EQ(GetSurfacePixel(target, 0, 0), 0);

    // Keyed copy: the key value stays out.
    SetSurfacePixel(odd, 1, 0, 0xFFFFFF);
    SetSurfaceColourKey(odd, 0x1111);
    EXPECT_EQ(CopySurfaceRect(target, 1, 1, odd, 0, 0, 3, 2, 1), SurfaceOk);
    EXPECT_EQ(GetSurfacePixel(target, 1, 1), 0);
    EXPECT_EQ(GetSurfacePixel(target, 2, 1), 0xFFFF);
    EXPECT_EQ(GetSurfacePixel(target, 3, 2), 0);

    // System memory is never lost; the rest comes back empty.
    Surface* video = CreateSurface(2, 2, 0);
    FillSurface(video, 0x2222);
    LoseAllSurfaces();
    EXPECT_EQ(SurfaceIsLost(odd), 0);
    EXPECT_EQ(SurfaceIsLost(video), 1);
    EXPECT_EQ(FillSurface(video, 1), SurfaceLost);
    EXPECT_EQ(CopySurfaceRect(target, 0, 0, video, 0, 0, 1, 1, 0), SurfaceLost);
    EXPECT_EQ(RestoreSurface(video), SurfaceOk);
    EXPECT_EQ(GetSurfacePixel(video, 1, 1), 0);
    ReleaseSurface(odd);
    ReleaseSurface(target);
    ReleaseSurface(video);
}

TEST_F(DisplayTest, ReleasedDisplayDrawsAndShowsNothing) {
    ASSERT_EQ(SetupDisplay(), 1);
    ReleaseDisplay();
    EXPECT_EQ(DisplayDevice.ready, 0);
    EXPECT_EQ(DisplayDevice.back, nullptr);
    PresentFrame();
    EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);
    EXPECT_EQ(ClearScreen(0), 0);
}

}  // namespace
