// Drawing onto the back buffer: DrawSprite's clamping and clipping, and the fade's dissolve.
#include <gtest/gtest.h>

#include <climits>

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "support/fresh.h"
#include "support/game_window.h"

namespace {

constexpr uint16_t kSlot = 3;
constexpr int kScreenPixels = kScreenWidth * kScreenHeight;

uint16_t BackPixel(int32_t x, int32_t y) { return GetSurfacePixel(DisplayDevice.back, x, y); }
uint16_t SlotPixel(int x, int y) { return GetSurfacePixel(BitmapSlots[kSlot].surface, x, y); }
bool White(int32_t x, int32_t y) { return BackPixel(x, y) == 0xFFFF; }
bool Red(int32_t x, int32_t y) { return BackPixel(x, y) == 0xF800; }
bool WhiteOnlyInEvenColumns(int32_t x, int32_t y) { return White(x, y) == (x % 2 == 0); }

// Screen pixels for which holds(x, y) is true.
template <typename Holds>
int CountScreen(Holds holds) {
    int count = 0;
    for (int32_t i = 0; i < kScreenPixels; ++i) count += holds(i % kScreenWidth, i / kScreenWidth);
    return count;
}

class SpriteTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameDisplay());
        // A 32 x 8 slot whose every pixel tells where it came from.
        ASSERT_EQ(CreateSlotSurface(kSlot, 32, 8, 0, 0), 1);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 32; ++x)
                SetSurfacePixel(BitmapSlots[kSlot].surface, x, y, 0x800000 | y << 10 | x << 3);
    }
};

TEST_F(SpriteTest, DrawSpriteClampsAndClips) {
    const struct {
        const char* name;
        int32_t x, y, left, top, right, bottom, result;
        int32_t dx, dy, sx, sy, w, h;
    } cases[] = {
        // the last six: what lands where
        {"whole slot", 0, 0, 0, 0, -1, -1, 1, 0, 0, 0, 0, 32, 8},
        {"negative x", -10, 5, 0, 0, -1, -1, 1, 0, 5, 10, 0, 22, 8},
        {"right edge", 630, 0, 0, 0, -1, -1, 1, 630, 0, 0, 0, 10, 8},
        {"negative y", 7, -3, 0, 0, -1, -1, 1, 7, 0, 0, 3, 32, 5},
        {"past the right", 640, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"past the bottom", 0, 480, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"source cut at the width", 100, 100, 20, 0, 50, 8, 1, 100, 100, 20, 0, 12, 8},
        {"negative source keeps the place", 100, 100, -5, -2, 9, 5, 1, 100, 100, 0, 0, 9, 5},
        {"empty source", 50, 60, 5, 0, 5, 8, 0, 0, 0, 0, 0, 0, 0},
        {"far right", INT32_MAX - 5, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"far left", INT32_MIN, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"far source", 0, 0, INT32_MAX - 3, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"huge right", -5, 0, 0, 0, INT32_MAX, 8, 1, 0, 0, 5, 0, 27, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearScreen(0);
        EXPECT_EQ(DrawSprite(c.x, c.y, kSlot, c.left, c.top, c.right, c.bottom), c.result);
        const auto wrong = [&](int32_t x, int32_t y) {
            const bool in = x >= c.dx && x < c.dx + c.w && y >= c.dy && y < c.dy + c.h;
            return BackPixel(x, y) != (in ? SlotPixel(c.sx + x - c.dx, c.sy + y - c.dy) : 0);
        };
        EXPECT_EQ(CountScreen(wrong), 0);
    }
    // Only the low 16 bits name the slot.
    EXPECT_EQ(DrawSprite(0, 0, 0x10000u + kSlot, 0, 0, -1, -1), 1);
    EXPECT_EQ(DrawSprite(0, 0, 257, 0, 0, -1, -1), 0);
}

TEST_F(SpriteTest, FadeTakesTwentyCallsEachShowingMoreOrLess) {
    for (int direction : {1, 0}) {
        SetFade(direction ? 0 : 1);
        int previous = direction ? 0 : kScreenPixels;
        for (int call = 1; call <= 21; ++call) {
            SCOPED_TRACE(testing::Message() << "direction " << direction << " call " << call);
            FillSurface(DisplayDevice.back, 0xFFFF);
            EXPECT_EQ(StepFade(direction, 0x0000FF), call >= 20 ? 1 : 0);
            const int shown = CountScreen(White);
            EXPECT_EQ(shown + CountScreen(Red), kScreenPixels);
            EXPECT_EQ(direction ? shown > previous : shown < previous, call <= 20) << shown;
            previous = shown;
            // Halfway exactly the even columns stay visible.
            if (FadeLevel != 10) continue;
            EXPECT_EQ(CountScreen(WhiteOnlyInEvenColumns), kScreenPixels);
        }
        EXPECT_EQ(previous, direction ? kScreenPixels : 0);
    }
}

}  // namespace
