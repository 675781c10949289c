// Bitmap slots and the picture loaders: every BMP variant, .kbm, image plug-ins, colour keys,
// refused files and the reload of pictures whose surfaces were lost.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "platform/headless/headless.h"
#include "support/fresh.h"
#include "support/game_window.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

// The 3 x 2 test picture as indices into kRgb, top row first; k565 is what the slot holds.
constexpr int kPicture[6] = {0, 1, 2, 3, 3, 5};
const std::vector<uint32_t> kRgb = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF};
constexpr uint16_t k565[6] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0xF81F};
constexpr uint16_t k555[6] = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x7C1F};

uint32_t Index(int i) { return static_cast<uint32_t>(i); }
uint32_t Rgb(int i) { return kRgb[i]; }

void Put(Bytes* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Patch(Bytes b, size_t at, uint32_t v, int n = 4) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
}

// A BMP file with a 40-byte header; table holds its masks or its colour table.
Bytes Bmp(int32_t width, int32_t height, uint32_t bitCount, uint32_t compression,
          const std::vector<uint32_t>& table, const Bytes& bits) {
    const uint32_t bitsAt = 54 + 4 * static_cast<uint32_t>(table.size());
    const uint32_t colours = bitCount <= 8 ? static_cast<uint32_t>(table.size()) : 0;
    Bytes b = {'B', 'M'};
    for (uint32_t v : {bitsAt + static_cast<uint32_t>(bits.size()), 0u, bitsAt, 40u,
                       static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                       1u | bitCount << 16, compression, 0u, 0u, 0u, colours, 0u})
        Put(&b, v);
    for (uint32_t v : table) Put(&b, v);
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

// The test picture's rows in file order, bitCount bits a pixel, each padded to 4 bytes.
Bytes Rows(int bitCount, bool topDown, uint32_t (*value)(int index)) {
    Bytes bits;
    for (int r = 0; r < 2; ++r) {
        Bytes row((3 * bitCount + 31) / 32 * 4, 0);
        for (int x = 0, at = 0; x < 3; ++x, at += bitCount) {
            const uint32_t v = value(kPicture[(topDown ? r : 1 - r) * 3 + x]);
            if (bitCount < 8) row[at / 8] |= static_cast<uint8_t>(v << (8 - bitCount - at % 8));
            for (int i = 0; i < bitCount / 8; ++i) row[at / 8 + i] = uint8_t(v >> 8 * i);
        }
        bits.insert(bits.end(), row.begin(), row.end());
    }
    return bits;
}

// "KBM\0", width, height, the three plane lengths, then the blue, green and red planes.
Bytes Kbm(uint32_t w, uint32_t h, const Bytes& blue, const Bytes& green, const Bytes& red) {
    Bytes b = {'K', 'B', 'M', 0};
    for (size_t v : {size_t{w}, size_t{h}, blue.size(), green.size(), red.size()})
        Put(&b, static_cast<uint32_t>(v));
    for (const Bytes* p : {&blue, &green, &red}) b.insert(b.end(), p->begin(), p->end());
    return b;
}

class BitmapTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameDisplay());
        HeadlessClearRecord();
        std::string pattern = testing::TempDir() + "bitmap_testXXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir_ + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        return dir_ + name;
    }
    static int Pixel(int s, int x, int y) { return GetSurfacePixel(BitmapSlots[s].surface, x, y); }
    static uint16_t Back(int x, int y) { return GetSurfacePixel(DisplayDevice.back, x, y); }
    static void ExpectPicture(int slot) {
        for (int i = 0; i < 6; ++i) EXPECT_EQ(Pixel(slot, i % 3, i / 3), k565[kPicture[i]]) << i;
    }
    static const Lines& Logged() { return HeadlessRecorded().debugLines; }
    std::string dir_;
};

TEST_F(BitmapTest, EveryBmpVariantDecodesToTheSamePixels) {
    const auto bgr = [](int i) { return (Rgb(i) & 0xFF) << 16 | (Rgb(i) & 0xFF00) | Rgb(i) >> 16; };
    const auto rgb555 = [](int i) -> uint32_t { return k555[i]; };
    const auto rgb565 = [](int i) -> uint32_t { return k565[i]; };
    const struct { const char* name; Bytes file; } variants[] = {
        {"24", Bmp(3, 2, 24, 0, {}, Rows(24, false, Rgb))},
        {"24 top-down", Bmp(3, -2, 24, 0, {}, Rows(24, true, Rgb))},
        {"32", Bmp(3, 2, 32, 0, {}, Rows(32, false, Rgb))},
        {"32 bit fields", Bmp(3, 2, 32, 3, {0x0000FF, 0x00FF00, 0xFF0000}, Rows(32, false, bgr))},
        {"16 5-5-5", Bmp(3, 2, 16, 0, {}, Rows(16, false, rgb555))},
        {"16 bit fields", Bmp(3, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, Rows(16, false, rgb565))},
        {"8", Bmp(3, 2, 8, 0, kRgb, Rows(8, false, Index))},
        {"4", Bmp(3, 2, 4, 0, kRgb, Rows(4, false, Index))},
        // RLE8: the bottom row in runs, the top row as three literal pixels padded to a word.
        // RLE4: the bottom row literal; the top row moves over its red (colour 0, what skipped
        // pixels keep), then runs.
        {"RLE8", Bmp(3, 2, 8, 1, kRgb, {2, 3, 1, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1})},
        {"RLE4", Bmp(3, 2, 4, 2, kRgb,
                     {0, 3, 0x33, 0x50, 0, 0, 0, 2, 1, 0, 1, 0x10, 1, 0x20, 0, 1})},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        ASSERT_EQ(LoadBitmapFile(7, Write("v.bmp", v.file).c_str(), 1), 1);
        ExpectPicture(7);
        EXPECT_EQ(BitmapSlots[7].colourKeyValue, k565[0]);
    }
    // One bit a pixel, nine wide: the row spans two bytes.
    const Bytes mono = Bmp(9, 1, 1, 0, {0x000000, 0xFFFFFF}, {0b10110000, 0b10000000, 0, 0});
    ASSERT_EQ(LoadBitmapFile(8, Write("mono.bmp", mono).c_str(), 0), 1);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(Pixel(8, x, 0), "101100001"[x] == '1' ? 0xFFFF : 0) << x;
}

TEST_F(BitmapTest, BadBmpFilesAreRefusedWithTheirDebugLineAndAnEmptySlot) {
    const Bytes good = Bmp(3, 2, 24, 0, {}, Rows(24, false, Rgb));
    const std::string goodPath = Write("good.bmp", good);
    const struct { const char* name; Bytes bytes; } cases[] = {
        {"missing file", {}},
        {"cut in the bits", Bytes(good.begin(), good.end() - 1)},
        {"not BM", Patch(good, 0, 'X', 1)},
        {"most negative height", Patch(good, 22, 0x80000000u)},
        {"too many pixels", Patch(Patch(good, 18, 16384), 22, 16384)},
        {"bits past the end", Patch(good, 10, 0x7FFFFFF0u)},
        {"header past the end", Patch(good, 14, 0x00100000u)},
        {"7 bits a pixel", Patch(good, 28, 7, 2)},
        {"colour table past the end", Patch(Bmp(3, 2, 8, 0, kRgb, Rows(8, false, Index)), 46, 256)},
        {"RLE size past the end", Patch(Bmp(3, 2, 8, 1, kRgb, {2, 3, 0, 1}), 34, 4000)},
        {"RLE literal past the end", Bmp(3, 2, 8, 1, kRgb, {0, 200, 1, 2})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(LoadBitmapFile(9, goodPath.c_str(), 1), 1);
        HeadlessClearRecord();
        const std::string path = c.bytes.empty() ? dir_ + "none.bmp" : Write("bad.bmp", c.bytes);
        EXPECT_EQ(LoadBitmapFile(9, path.c_str(), 1), 0);
        EXPECT_EQ(BitmapSlots[9].surface, nullptr);
        EXPECT_EQ(Logged(), Lines{"BMP[" + path + "]のオープンに失敗しました。\n"});
    }
    // A name without a dot is a resource of the program, even when such a file exists.
    const std::string noDot = Write("picture", good);
    EXPECT_EQ(LoadBitmapFile(9, noDot.c_str(), 1), noDot.find('.') == std::string::npos ? 0 : 1);
}

TEST_F(BitmapTest, KbmBytesAreValueAndRepeatCountAndBadFilesAreRefused) {
    // Blue 0x0F: 0x08 eight times. Green: 0xF8 once, then 0x00 seven times. Red: 0x00 four
    // times, then 0xF8 four times, on the top row as the stream starts at the bottom one.
    const Bytes good = Kbm(4, 2, {0x0F}, {0xF8, 0x06}, {0x03, 0xFB});
    const std::string goodPath = Write("good.kbm", good);
    ASSERT_EQ(LoadKbmFile(42, goodPath.c_str(), 1), 1);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(Pixel(42, x, 1), x == 0 ? 0x07C1 : 0x0001) << x;
        EXPECT_EQ(Pixel(42, x, 0), 0xF801) << x;
    }
    const char* const kNotKbm = "]はKBM形式ではありません。\n";
    const char* const kBroken = "]の展開に失敗しました。\n";
    const struct { const char* name; Bytes bytes; const char* message; } cases[] = {
        {"missing file", {}, "]のオープンに失敗しました。\n"},
        {"short", Bytes(10, 1), kNotKbm},
        {"magic", Patch(good, 3, 'X', 1), kNotKbm},
        {"too many pixels", Kbm(16384, 16384, {}, {}, {}), kBroken},
        {"plane past the end", Patch(good, 12, 200), kBroken},
        {"plane lengths wrapping round", Patch(good, 12, 0xFFFFFFFFu), kBroken},
        {"pixels past the picture", Kbm(4, 1, {0x07}, {}, {}), kBroken},   // eight in four
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(LoadKbmFile(42, goodPath.c_str(), 0), 1);
        HeadlessClearRecord();
        const std::string path = c.bytes.empty() ? dir_ + "none.kbm" : Write("bad.kbm", c.bytes);
        EXPECT_EQ(LoadKbmFile(42, path.c_str(), 0), 0);
        EXPECT_EQ(BitmapSlots[42].surface, nullptr);
        EXPECT_EQ(Logged(), Lines{"KBM[" + path + c.message});
    }
}

TEST_F(BitmapTest, TopLeftColourIsTheKeyAndLostPicturesReloadOnTheirFirstDraw) {
    const std::string path = Write("a.bmp", Bmp(3, 2, 24, 0, {}, Rows(24, false, Rgb)));
    SetUseVideoMemory(1);
    ASSERT_EQ(LoadBitmapFile(10, path.c_str(), 1), 1);
    SetUseVideoMemory(0);
    ASSERT_EQ(LoadBitmapFile(11, path.c_str(), 0), 1);   // system memory is never lost
    LoseAllSurfaces();
    PresentFrame();
    HeadlessClearRecord();
    ClearScreen(0x808080);
    const uint16_t grey = Back(0, 0);
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(DrawSprite(0, 10, 11, 0, 0, -1, -1), 1);
    EXPECT_EQ(Back(1, 0), grey);
    EXPECT_EQ(Back(0, 10), k565[0]);
    EXPECT_EQ(Logged(), (Lines{"BUFFER LOST:", "IMG[" + path + "]をリロードします。\n"}));
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(Back(0, 0), grey);   // the keyed red stays out
    EXPECT_EQ(Back(1, 0), k565[1]);
    EXPECT_EQ(BitmapSlots[10].surface->systemMemory, 0);   // where it was first made
    ASSERT_EQ(CreateSlotSurface(12, 3, 2, 0, 0xFFFFFF), 1);
    EXPECT_EQ(BitmapSlots[12].colourKeyValue, 0xFFFFu);
    EXPECT_EQ(BitmapSlots[12].surface->systemMemory, 1);   // the setting in force is back
    EXPECT_EQ(CreateSlotSurface(20, 0, 10, 0, 0), 1);
    EXPECT_EQ(BitmapSlots[20].surface, nullptr);
    EXPECT_EQ(CreateSlotSurface(21, -1, 10, 0, 0), 0);
}

#ifdef TEST_IMAGE_PLUGIN
TEST_F(BitmapTest, PluginDecodesItsFormatOrWritesWhyNot) {
    const Bytes picture = Bmp(3, 2, 8, 0, kRgb, Rows(8, false, Index));
    const std::string good = Write("good.bmp", picture);
    ASSERT_EQ(LoadPluginImage(50, TEST_IMAGE_PLUGIN, good.c_str(), 1), 1);
    ExpectPicture(50);
    const std::string using_ = std::string("SPI[") + TEST_IMAGE_PLUGIN + "]を使用\n";
    EXPECT_EQ(Logged(), (Lines{using_, "IMG[" + good + "]を処理\n"}));
    const struct { const char* plugin; std::string file; const char* line; } cases[] = {
        {"/nonexistent/plugin.so", good, "SPIがロードできません\n"},
        {TEST_ENTRYLESS_PLUGIN, good, "SPI内の関数が取得できません\n"},
        {TEST_IMAGE_PLUGIN, Write("a.kbm", Kbm(1, 1, {}, {}, {})), "未対応の形式です\n"},
        // The plug-in hands over a header that claims more rows than its bits hold.
        {TEST_IMAGE_PLUGIN, Write("lie.bmp", Patch(picture, 22, 200)), "デコードに失敗しました\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        HeadlessClearRecord();
        EXPECT_EQ(LoadPluginImage(51, c.plugin, c.file.c_str(), 0), 0);
        EXPECT_EQ(BitmapSlots[51].surface, nullptr);
        EXPECT_EQ(Logged().back(), c.line);
    }
}
#endif

}  // namespace
