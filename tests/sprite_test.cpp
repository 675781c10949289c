// Drawing onto the back buffer: DrawSprite's clamping and clipping, the fade's dissolve,
// and the reload of pictures whose surfaces were lost.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "platform/headless/headless.h"
#include "platform/platform_window.h"
#include "support/fresh.h"

namespace {

constexpr uint16_t kSlot = 3;
constexpr int32_t kSlotWidth = 32, kSlotHeight = 8;
constexpr uint16_t kWhite = 0xFFFF, kRed = 0xF800;

// Every pixel of the test slot tells where it came from.
uint16_t SourcePixel(int32_t x, int32_t y) { return static_cast<uint16_t>(0x1000 | y << 6 | x); }

uint16_t BackPixel(int32_t x, int32_t y) { return GetSurfacePixel(DisplayDevice.back, x, y); }

void FillBack(uint16_t value) { FillSurface(DisplayDevice.back, value); }

int CountPixels(uint16_t value) {
    int count = 0;
    for (int32_t y = 0; y < kScreenHeight; ++y)
        for (int32_t x = 0; x < kScreenWidth; ++x) count += BackPixel(x, y) == value;
    return count;
}

class SpriteTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
        ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 192, 144, 640, 480));
        ASSERT_EQ(SetupDisplay(), 1);
        HeadlessClearRecord();
        ASSERT_EQ(CreateSlotSurface(kSlot, kSlotWidth, kSlotHeight, 0, 0), 1);
        for (int32_t y = 0; y < kSlotHeight; ++y)
            for (int32_t x = 0; x < kSlotWidth; ++x)
                PixelOf(BitmapSlots[kSlot].surface, x, y) = SourcePixel(x, y);
        ClearScreen(0);
    }

    static uint16_t& PixelOf(Surface* s, int32_t x, int32_t y) {
        return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(s->pixels) +
                                           y * s->pitch)[x];
    }

    // The back buffer holds source column sx.. and row sy.. at (dx, dy) over w x h, and
    // black everywhere else.
    static int Mismatches(int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
        int bad = 0;
        for (int32_t y = 0; y < kScreenHeight; ++y)
            for (int32_t x = 0; x < kScreenWidth; ++x) {
                const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
                const uint16_t want = inside ? SourcePixel(sx + x - dx, sy + y - dy) : 0;
                bad += BackPixel(x, y) != want;
            }
        return bad;
    }
};

TEST_F(SpriteTest, DrawSpriteClampsAndClips) {
    const struct {
        const char* name;
        int32_t x, y, left, top, right, bottom;
        int32_t result;
        int32_t dx, dy, sx, sy, w, h;   // what lands on the screen
    } cases[] = {
        {"whole slot", 0, 0, 0, 0, -1, -1, 1, 0, 0, 0, 0, 32, 8},
        {"left edge", -10, 5, 0, 0, -1, -1, 1, 0, 5, 10, 0, 22, 8},
        {"right edge", 630, 0, 0, 0, -1, -1, 1, 630, 0, 0, 0, 10, 8},
        {"top edge", 7, -3, 0, 0, -1, -1, 1, 7, 0, 0, 3, 32, 5},
        {"bottom edge", 7, 476, 0, 0, -1, -1, 1, 7, 476, 0, 0, 32, 4},
        {"past the right", 640, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"past the bottom", 0, 480, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"source cut at the width", 100, 100, 20, 0, 50, 8, 1, 100, 100, 20, 0, 12, 8},
        {"negative source keeps the place", 100, 100, -5, -2, 10, 8, 1, 100, 100, 0, 0, 10, 8},
        {"sub-rectangle", 50, 60, 4, 2, 9, 5, 1, 50, 60, 4, 2, 5, 3},
        {"right from left and width", 50, 60, 30, 6, -1, -1, 1, 50, 60, 30, 6, 2, 2},
        {"empty source", 50, 60, 5, 0, 5, 8, 0, 0, 0, 0, 0, 0, 0},
        {"source beyond the slot", 50, 60, 40, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"far right", INT32_MAX - 5, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"far left", INT32_MIN, 0, 0, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"far left source", 0, 0, INT32_MAX - 3, 0, -1, -1, 0, 0, 0, 0, 0, 0, 0},
        {"huge right", -5, 0, 0, 0, INT32_MAX, 8, 1, 0, 0, 5, 0, 27, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearScreen(0);
        EXPECT_EQ(DrawSprite(c.x, c.y, kSlot, c.left, c.top, c.right, c.bottom), c.result);
        EXPECT_EQ(Mismatches(c.dx, c.dy, c.sx, c.sy, c.w, c.h), 0);
    }
}

TEST_F(SpriteTest, OnlyTheLowSixteenBitsNameTheSlot) {
    EXPECT_EQ(DrawSprite(0, 0, 0x10000u + kSlot, 0, 0, -1, -1), 1);
    EXPECT_EQ(Mismatches(0, 0, 0, 0, 32, 8), 0);
    EXPECT_EQ(DrawSprite(0, 0, 257, 0, 0, -1, -1), 0);
    EXPECT_EQ(DrawSprite(0, 0, 4, 0, 0, -1, -1), 0);   // empty
}

std::vector<std::vector<int32_t>> g_traced;
void Trace(int32_t x, int32_t y, uint32_t slot, int32_t l, int32_t t, int32_t r, int32_t b) {
    g_traced.push_back({x, y, static_cast<int32_t>(slot), l, t, r, b});
}

TEST_F(SpriteTest, TraceSeesEveryCallWithItsArguments) {
    g_traced.clear();
    SetSpriteTrace(Trace);
    DrawSprite(1, 2, kSlot, 3, 4, 5, 6);
    DrawSprite(700, 0, 99, 0, 0, -1, -1);   // draws nothing, still reported
    SetSpriteTrace(nullptr);
    DrawSprite(0, 0, kSlot, 0, 0, -1, -1);
    ASSERT_EQ(g_traced.size(), 2u);
    EXPECT_EQ(g_traced[0], (std::vector<int32_t>{1, 2, kSlot, 3, 4, 5, 6}));
    EXPECT_EQ(g_traced[1], (std::vector<int32_t>{700, 0, 99, 0, 0, -1, -1}));
}

// Whether the fade covers pixel (x, y) at a level.
bool Covered(int32_t level, int32_t x, int32_t y) {
    static const int32_t table[11] = {-1, 103, 76, 51, 38, 25, 18, 13, 7, 3, 2};
    const int32_t i = y * 640 + x;
    if (level == 0) return true;
    if (level == 20) return false;
    return level <= 10 ? i % table[level] != 0 : i % table[20 - level] == 0;
}

TEST_F(SpriteTest, EveryFadeLevelCoversItsDissolvePattern) {
    SetFade(0);
    for (int32_t level = 1; level <= 20; ++level) {
        SCOPED_TRACE(level);
        FillBack(kWhite);
        EXPECT_EQ(StepFade(1, 0x0000FF), level == 20 ? 1 : 0);
        EXPECT_EQ(FadeLevel, level);
        int bad = 0;
        for (int32_t y = 0; y < kScreenHeight; ++y)
            for (int32_t x = 0; x < kScreenWidth; ++x)
                bad += BackPixel(x, y) != (Covered(level, x, y) ? kRed : kWhite);
        EXPECT_EQ(bad, 0);
    }
}

TEST_F(SpriteTest, HalfwayLeavesExactlyTheEvenColumns) {
    SetFade(0);
    for (int i = 0; i < 10; ++i) {
        FillBack(kWhite);
        StepFade(1, 0);
    }
    ASSERT_EQ(FadeLevel, 10);
    for (int32_t y : {0, 1, 239, 479})
        for (int32_t x = 0; x < kScreenWidth; ++x)
            ASSERT_EQ(BackPixel(x, y), x % 2 == 0 ? kWhite : 0) << x << "," << y;
}

TEST_F(SpriteTest, FadeInTakesTwentyCalls) {
    SetFade(0);
    for (int call = 1; call <= 19; ++call) {
        FillBack(kWhite);
        EXPECT_EQ(StepFade(1, 0), 0) << call;
    }
    for (int call = 20; call <= 22; ++call) {
        FillBack(kWhite);
        EXPECT_EQ(StepFade(1, 0), 1) << call;
        EXPECT_EQ(CountPixels(kWhite), kScreenWidth * kScreenHeight);
    }
}

TEST_F(SpriteTest, FadeOutTakesTwentyCallsAndEndsBlack) {
    SetFade(1);
    for (int call = 1; call <= 19; ++call) {
        FillBack(kWhite);
        EXPECT_EQ(StepFade(0, 0), 0) << call;
        EXPECT_EQ(FadeLevel, 20 - call);
    }
    for (int call = 20; call <= 22; ++call) {
        FillBack(kWhite);
        EXPECT_EQ(StepFade(0, 0), 1) << call;
        EXPECT_EQ(FadeLevel, 0);
        EXPECT_EQ(CountPixels(0), kScreenWidth * kScreenHeight);
    }
}

TEST_F(SpriteTest, FadeOnALostBackBufferEndsTheFrame) {
    SetFade(0);
    LoseAllSurfaces();
    EXPECT_EQ(StepFade(1, 0), 1);
    EXPECT_EQ(FadeLevel, 1);
    EXPECT_EQ(ClearScreen(0), 0);
}

class SpriteRestoreTest : public SpriteTest {
protected:
    void SetUp() override {
        SpriteTest::SetUp();
        std::string pattern = testing::TempDir() + "sprite_testXXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
    }
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir_ + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path;
    }
    std::string dir_;
};

// A 2 x 1 BMP: white, red.
std::vector<uint8_t> TwoPixelBmp() {
    std::vector<uint8_t> b = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                              2,   0,   0,  0, 1, 0, 0, 0, 1, 0, 24, 0};
    b.resize(54, 0);
    b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0, 0});
    return b;
}

TEST_F(SpriteRestoreTest, LostPictureReloadsOnFirstDrawAndShowsFromTheNext) {
    const std::string path = WriteFile("two.bmp", TwoPixelBmp());
    SetUseVideoMemory(1);
    ASSERT_EQ(LoadBitmapFile(10, path.c_str(), 0), 1);
    SetUseVideoMemory(0);
    ASSERT_EQ(LoadBitmapFile(11, path.c_str(), 0), 1);   // system memory survives

    LoseAllSurfaces();
    PresentFrame();
    EXPECT_EQ(HeadlessRecorded().debugLines,
              std::vector<std::string>{"Flont/Back Bufferを復元します。\n"});
    HeadlessClearRecord();
    ClearScreen(0);
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(0, 0), 0);
    EXPECT_EQ(BackPixel(1, 0), 0);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (std::vector<std::string>{"BUFFER LOST:", "IMG[" + path + "]をリロードします。\n"}));
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(0, 0), kWhite);
    EXPECT_EQ(BackPixel(1, 0), kRed);
    // Reloaded where it was first made; the setting in force is back.
    EXPECT_EQ(BitmapSlots[10].surface->systemMemory, 0);
    EXPECT_EQ(DrawSprite(0, 1, 11, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(1, 1), kRed);
    ASSERT_EQ(CreateSlotSurface(12, 4, 4, 0, 0), 1);
    EXPECT_EQ(BitmapSlots[12].surface->systemMemory, 1);
}

uint16_t g_restoredSlot;
void RestoredSlot(uint16_t slot) { g_restoredSlot = slot; }

TEST_F(SpriteRestoreTest, LostCreatedSurfaceComesBackBlackAndTellsItsOwner) {
    SetUseVideoMemory(1);
    ASSERT_EQ(CreateSlotSurface(20, 8, 8, 0, 0xFFFFFF), 1);
    g_restoredSlot = 0;
    EXPECT_EQ(SetRestoreCallback(RestoredSlot), RestoredSlot);
    LoseAllSurfaces();
    PresentFrame();
    HeadlessClearRecord();
    ClearScreen(0x0000FF);
    EXPECT_EQ(DrawSprite(0, 0, 20, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(0, 0), kRed);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (std::vector<std::string>{"BUFFER LOST:", "BMP[20]の内容を修復して下さい。\n"}));
    EXPECT_EQ(g_restoredSlot, 20);
    EXPECT_EQ(DrawSprite(0, 0, 20, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(7, 7), 0);
}

TEST_F(SpriteRestoreTest, LostKbmPictureReloadsThroughItsOwnLoader) {
    // 4 x 1, every pixel full blue.
    std::vector<uint8_t> kbm = {'K', 'B', 'M', 0, 4, 0, 0, 0, 1, 0, 0, 0,
                                1,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFB};
    const std::string path = WriteFile("blue.kbm", kbm);
    SetUseVideoMemory(1);
    ASSERT_EQ(LoadKbmFile(30, path.c_str(), 0), 1);
    LoseAllSurfaces();
    PresentFrame();
    EXPECT_EQ(DrawSprite(0, 0, 30, 0, 0, -1, -1), 1);
    EXPECT_EQ(DrawSprite(0, 0, 30, 0, 0, -1, -1), 1);
    EXPECT_EQ(BackPixel(3, 0), 0x001F);
    EXPECT_EQ(HeadlessRecorded().debugLines.back(), "IMG[" + path + "]をリロードします。\n");
}

TEST_F(SpriteRestoreTest, FailedReloadLeavesTheSlotEmpty) {
    const std::string path = WriteFile("gone.bmp", TwoPixelBmp());
    SetUseVideoMemory(1);
    ASSERT_EQ(LoadBitmapFile(40, path.c_str(), 0), 1);
    std::remove(path.c_str());
    LoseAllSurfaces();
    PresentFrame();
    EXPECT_EQ(DrawSprite(0, 0, 40, 0, 0, -1, -1), 1);
    EXPECT_EQ(BitmapSlots[40].surface, nullptr);
    EXPECT_EQ(DrawSprite(0, 0, 40, 0, 0, -1, -1), 0);
}

}  // namespace
