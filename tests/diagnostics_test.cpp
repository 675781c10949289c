// Error boxes, debug lines, the confirmation box, GDI text on the back buffer and the
// frame-rate text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/gdi_text.h"
#include "hosts/headless/headless.h"
#include "support/fresh.h"
#include "support/game_window.h"

namespace {

using Lines = std::vector<std::string>;
constexpr uint16_t kPattern = 0x1234;

class DiagnosticsTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameDisplay());
        SetGdiTextDefaults();
        FillSurface(DisplayDevice.back, kPattern);
        HeadlessClearRecord();
    }
    // Back-buffer pixels of the rectangle that no longer hold the fill pattern.
    static int Touched(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        int count = 0;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                count += GetSurfacePixel(DisplayDevice.back, x, y) != kPattern;
        return count;
    }
};

TEST_F(DiagnosticsTest, BoxesAreTitledAndMessagesCutTo255Characters) {
    ErrorBox("%sの作成に失敗しました (%d)", "ウインドウ", 3);
    EXPECT_EQ(ConfirmBox("終了しますか？"), 7);  // No, the harmless answer
    DebugLine("%s", std::string(400, 'x').c_str());
    ErrorBox("%s", std::string(400, 'x').c_str());
    EXPECT_EQ(HeadlessRecorded().errorBoxes,
              (Lines{"メッセージ: ウインドウの作成に失敗しました (3)", "確認: 終了しますか？",
                     "メッセージ: " + std::string(255, 'x')}));
    EXPECT_EQ(HeadlessRecorded().debugLines, Lines{std::string(255, 'x')});
    EXPECT_EQ(Frame.messageBoxShowing, 0);
}

TEST_F(DiagnosticsTest, GdiTextDrawsCellsBreaksLinesCentresAndClips) {
    DrawGdiText(100, 50, "%d", 1);
    // The stem of "1" is its third column: cell x 3, rows 0..13; the rest of the cell is black.
    EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 103, 63), 0xFFFF);
    EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 103, 64), 0);
    EXPECT_EQ(Touched(100, 50, 108, 66), 8 * 16);
    DrawGdiText(10, 10, "AB\nC");
    EXPECT_EQ(Touched(10, 10, 26, 42), 16 * 16 + 8 * 16);
    GdiText.centring = 1;
    DrawGdiText(0, 100, "AB");
    EXPECT_EQ(Touched(312, 100, 328, 116), 16 * 16);
    // Cut at the screen's edges, whatever the position; nothing lands anywhere else.
    GdiText.centring = 0;
    DrawGdiText(636, 470, "WW");
    DrawGdiText(-4, -8, "W");
    DrawGdiText(2147483600, 0, "W");
    EXPECT_EQ(Touched(0, 0, 640, 480), 8 * 16 + 24 * 16 + 16 * 16 + 4 * 10 + 4 * 8);
}

TEST_F(DiagnosticsTest, FrameRateTextAndResult) {
    Frame.measuredFrameRate = 60.0f;
    EXPECT_FLOAT_EQ(DrawFrameRate(1000, 0), 60.0f);
    EXPECT_EQ(Touched(0, 0, 640, 480), 0);  // past the right edge: nothing on the screen
    Frame.measuredFrameRate = 59.52f;
    GdiText.centring = 1;
    EXPECT_FLOAT_EQ(DrawFrameRate(0, 0), 59.52f);
    EXPECT_EQ(GdiText.centring, 1);
    EXPECT_EQ(Touched(0, 0, 32, 16), 4 * 8 * 16);  // "59.5" from the left edge, never centred
    EXPECT_EQ(Touched(0, 0, 640, 480), 4 * 8 * 16);
}

}  // namespace
