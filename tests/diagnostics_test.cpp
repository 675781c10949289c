// Error boxes, debug lines, the confirmation box, GDI text on the back buffer and the
// frame-rate text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "platform/headless/headless.h"
#include "platform/platform_window.h"
#include "support/fresh.h"

namespace {

using Lines = std::vector<std::string>;
constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kPattern = 0x1234;

class DiagnosticsTest : public testing::Test {
protected:
    void SetUp() override { FreshProcess(); }

    void BringUpDisplay() {
        ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
        ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 192, 144, 640, 480));
        ASSERT_EQ(SetupDisplay(), 1);
        SetGdiTextDefaults();
        FillSurface(DisplayDevice.back, kPattern);
        HeadlessClearRecord();
    }

    static uint16_t BackPixel(int32_t x, int32_t y) {
        return GetSurfacePixel(DisplayDevice.back, x, y);
    }

    // Pixels of the back buffer that no longer hold the fill pattern.
    static int Touched(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        int count = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) count += BackPixel(x, y) != kPattern;
        return count;
    }
};

TEST_F(DiagnosticsTest, ErrorBoxIsTitledAndFormatted) {
    ErrorBox("%sの作成に失敗しました (%d)", "ウインドウ", 3);
    EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{"メッセージ: ウインドウの作成に失敗しました (3)"});
    EXPECT_EQ(Frame.messageBoxShowing, 0);
}

TEST_F(DiagnosticsTest, MessagesAreCutToTwoHundredFiftyFiveCharacters) {
    const std::string longText(400, 'x');
    DebugLine("%s", longText.c_str());
    ErrorBox("%s", longText.c_str());
    ASSERT_EQ(HeadlessRecorded().debugLines.size(), 1u);
    EXPECT_EQ(HeadlessRecorded().debugLines[0], std::string(255, 'x'));
    EXPECT_EQ(HeadlessRecorded().errorBoxes[0], "メッセージ: " + std::string(255, 'x'));
}

TEST_F(DiagnosticsTest, DebugLineKeepsItsOwnLineFeed) {
    DebugLine("BMP[%s]のオープンに失敗しました。\n", "bmp/back/back_01.bmp");
    DebugLine("BUFFER LOST:");
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (Lines{"BMP[bmp/back/back_01.bmp]のオープンに失敗しました。\n", "BUFFER LOST:"}));
}

TEST_F(DiagnosticsTest, ConfirmBoxAsksAndAnswersNo) {
    EXPECT_EQ(ConfirmBox("終了しますか？"), 7);
    EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{"確認: 終了しますか？"});
    EXPECT_EQ(Frame.messageBoxShowing, 0);
}

TEST_F(DiagnosticsTest, TextDefaultsAreTheFramesOwn) {
    SetGdiTextDefaults();
    EXPECT_EQ(GdiText.charWidth, 8);
    EXPECT_EQ(GdiText.charHeight, 16);
    EXPECT_EQ(GdiText.colour, 0xFFFFFFu);
    EXPECT_STREQ(GdiText.faceName, "標準ゴシック");
    EXPECT_EQ(GdiText.centring, 0);
}

TEST_F(DiagnosticsTest, GdiTextDrawsGlyphsInOpaqueCells) {
    BringUpDisplay();
    DrawGdiText(100, 50, "%d", 1);
    // The stem of "1" is its third column: cell x 3, rows 0..13.
    EXPECT_EQ(BackPixel(103, 50), kWhite);
    EXPECT_EQ(BackPixel(103, 63), kWhite);
    EXPECT_EQ(BackPixel(103, 64), 0);
    EXPECT_EQ(BackPixel(100, 50), 0);   // the cell's background
    EXPECT_EQ(Touched(100, 50, 108, 66), 8 * 16);
    EXPECT_EQ(Touched(0, 0, 640, 480), 8 * 16);

    // Transparent cells leave the background.
    FillSurface(DisplayDevice.back, kPattern);
    GdiText.backgroundMode = 1;
    DrawGdiText(100, 50, "1");
    EXPECT_EQ(BackPixel(100, 50), kPattern);
    EXPECT_EQ(BackPixel(103, 50), kWhite);
}

TEST_F(DiagnosticsTest, GdiTextBreaksLinesCentresAndClips) {
    BringUpDisplay();
    DrawGdiText(10, 10, "AB\nC");
    EXPECT_EQ(Touched(10, 10, 26, 26), 16 * 16);
    EXPECT_EQ(Touched(10, 26, 18, 42), 8 * 16);
    EXPECT_EQ(Touched(0, 0, 640, 480), 3 * 8 * 16);

    FillSurface(DisplayDevice.back, kPattern);
    GdiText.centring = 1;
    DrawGdiText(0, 100, "AB");
    EXPECT_EQ(Touched(312, 100, 328, 116), 16 * 16);
    EXPECT_EQ(Touched(0, 0, 640, 480), 16 * 16);

    // Cut at the screen's edges, whatever the position.
    FillSurface(DisplayDevice.back, kPattern);
    GdiText.centring = 0;
    DrawGdiText(636, 470, "WW");
    DrawGdiText(-4, -8, "W");
    DrawGdiText(2147483600, 0, "W");
    EXPECT_EQ(Touched(0, 0, 640, 480), 4 * 10 + 4 * 8);
}

TEST_F(DiagnosticsTest, FrameRateTextAndResult) {
    BringUpDisplay();
    Frame.measuredFrameRate = 60.0f;
    EXPECT_FLOAT_EQ(DrawFrameRate(1000, 0), 60.0f);
    EXPECT_EQ(Touched(0, 0, 640, 480), 0);

    Frame.measuredFrameRate = 59.52f;
    GdiText.centring = 1;
    EXPECT_FLOAT_EQ(DrawFrameRate(0, 0), 59.52f);
    EXPECT_EQ(GdiText.centring, 1);
    // "59.5": four cells from the left edge, never centred.
    EXPECT_EQ(Touched(0, 0, 32, 16), 4 * 8 * 16);
    EXPECT_EQ(Touched(0, 0, 640, 480), 4 * 8 * 16);
}

TEST_F(DiagnosticsTest, WithoutADisplayTextDrawsNothingButTheRateComesBack) {
    Frame.measuredFrameRate = 20.0f;
    DrawGdiText(0, 0, "text");
    EXPECT_FLOAT_EQ(DrawFrameRate(0, 0), 20.0f);
}

}  // namespace
