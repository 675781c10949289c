// Bitmap slots and the picture loaders: every BMP variant, .kbm, image plug-ins, colour keys,
// refused files and the reload of pictures whose surfaces were lost.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "frame/bitmap_slots.h"
#include "frame/kbm_reader.h"
#include "frame/plugin_image.h"
#include "frame/sprite.h"
#include "hosts/headless/headless.h"
#include "support/fresh.h"
#include "support/fuzz_corpus.h"
#include "support/game_window.h"  // with the display
#include "support/work_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;
using Values = std::vector<uint32_t>;

// The 3 x 2 test picture as indices into the colour lists, top row first; k565 is what the
// slot holds, the other lists are the same colours as each kind of file stores them.
constexpr int kPicture[6] = {0, 1, 2, 3, 3, 5};
constexpr uint16_t k565[6] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0xF81F};
const Values kRgb = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF};
const Values kBgr = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x000000, 0xFF00FF};
const Values kAs565(k565, k565 + 6);
const Values kAs555 = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x7C1F};
const Values kIndex = {0, 1, 2, 3, 4, 5};

// A 4 x 2 .kbm: "KBM\0", width, height, the blue, green and red plane lengths, then the planes.
// Each byte is a value and a repeat count: blue 0x0F is 0x08 eight times; green 0xF8 once, then
// 0x00 seven times; red 0x00 four times, then 0xF8 four times, on the top row.
const Bytes kKbm = {'K', 'B', 'M', 0, 4, 0, 0, 0, 2, 0,    0,    0,    1,    0,   0,
                    0,   2,   0,   0, 0, 2, 0, 0, 0, 0x0F, 0xF8, 0x06, 0x03, 0xFB};

void Put(Bytes* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Patch(Bytes b, size_t at, uint32_t v, int n = 4) {
    for (int i = 0; i < n; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
}

// A BMP file with a 40-byte header; table holds its masks or its colour table.
Bytes Bmp(int32_t width, int32_t height, uint32_t bitCount, uint32_t compression,
          const Values& table, const Bytes& bits) {
    const uint32_t entries = static_cast<uint32_t>(table.size()), bitsAt = 54 + 4 * entries;
    Bytes b = {'B', 'M'};
    for (uint32_t v :
         {bitsAt + static_cast<uint32_t>(bits.size()), 0u, bitsAt, 40u,
          static_cast<uint32_t>(width), static_cast<uint32_t>(height), 1u | bitCount << 16,
          compression, 0u, 0u, 0u, bitCount <= 8 ? entries : 0u, 0u})
        Put(&b, v);
    for (uint32_t v : table) Put(&b, v);
    b.insert(b.end(), bits.begin(), bits.end());
    return b;
}

// The test picture's rows in file order, bitCount bits a pixel, each padded to 4 bytes.
Bytes Rows(int bitCount, bool topDown, const Values& value) {
    const int stride = (3 * bitCount + 31) / 32 * 4;
    Bytes bits(2 * stride, 0);
    for (int i = 0; i < 6; ++i) {
        const int at = (topDown ? i / 3 : 1 - i / 3) * stride * 8 + i % 3 * bitCount;  // in bits
        const uint32_t v = value[kPicture[i]];
        if (bitCount < 8) bits[at / 8] |= static_cast<uint8_t>(v << (8 - bitCount - at % 8));
        for (int b = 0; b < bitCount / 8; ++b) bits[at / 8 + b] = static_cast<uint8_t>(v >> 8 * b);
    }
    return bits;
}

std::string Write(const std::string& name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return name;
}

uint16_t Pixel(int slot, int x, int y) { return GetSurfacePixel(BitmapSlots[slot].surface, x, y); }
uint16_t Back(int x, int y) { return GetSurfacePixel(DisplayDevice.back, x, y); }
const Lines& Logged() { return HeadlessRecorded().debugLines; }

void ExpectPicture(int slot) {
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Pixel(slot, i % 3, i / 3), k565[kPicture[i]]) << i;
}

// Each test works in a fresh folder, on the game's display.
class BitmapTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameDisplay());
    }
    ScopedWorkDir workDir_;
};

TEST_F(BitmapTest, EveryFormatDecodesToKnownPixels) {
    const struct {
        const char* name;
        Bytes file;
    } variants[] = {
        {"24", Bmp(3, 2, 24, 0, {}, Rows(24, false, kRgb))},
        {"24 top-down", Bmp(3, -2, 24, 0, {}, Rows(24, true, kRgb))},
        {"32", Bmp(3, 2, 32, 0, {}, Rows(32, false, kRgb))},
        {"32 bit fields", Bmp(3, 2, 32, 3, {0x0000FF, 0x00FF00, 0xFF0000}, Rows(32, false, kBgr))},
        {"16 5-5-5", Bmp(3, 2, 16, 0, {}, Rows(16, false, kAs555))},
        {"16 bit fields", Bmp(3, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, Rows(16, false, kAs565))},
        {"8", Bmp(3, 2, 8, 0, kRgb, Rows(8, false, kIndex))},
        {"4", Bmp(3, 2, 4, 0, kRgb, Rows(4, false, kIndex))},
        // RLE8: the bottom row in runs, the top row as three literal pixels padded to a word.
        // RLE4: the bottom row literal; the top row moves over its red (colour 0, what skipped
        // pixels keep), then runs, and the bits end without an end-of-bitmap mark.
        {"RLE8", Bmp(3, 2, 8, 1, kRgb, {2, 3, 1, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1})},
        {"RLE4", Bmp(3, 2, 4, 2, kRgb, {0, 3, 0x33, 0x50, 0, 0, 0, 2, 1, 0, 1, 0x10, 1, 0x20})},
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.name);
        ASSERT_EQ(LoadBitmapFile(7, Write("v.bmp", v.file).c_str(), 1), 1);
        ExpectPicture(7);
        EXPECT_EQ(BitmapSlots[7].colourKeyValue, k565[0]);  // the top-left pixel
    }
    // One bit a pixel, nine wide: the row spans two bytes.
    const Bytes mono = Bmp(9, 1, 1, 0, {0x000000, 0xFFFFFF}, {0b10110000, 0b10000000, 0, 0});
    ASSERT_EQ(LoadBitmapFile(8, Write("mono.bmp", mono).c_str(), 0), 1);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(Pixel(8, x, 0), "101100001"[x] == '1' ? 0xFFFF : 0) << x;
    // The .kbm planes as the slot holds them, top row first.
    ASSERT_EQ(LoadKbmFile(42, Write("a.kbm", kKbm).c_str(), 1), 1);
    const uint16_t kbmPixels[8] = {0xF801, 0xF801, 0xF801, 0xF801, 0x07C1, 1, 1, 1};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Pixel(42, i % 4, i / 4), kbmPixels[i]) << i;
}

using Loader = int32_t (*)(uint16_t slot, const char* path, int32_t useColorKey);

TEST_F(BitmapTest, BadFilesAreRefusedWithTheirDebugLineAndAnEmptySlot) {
    const Bytes bmp = Bmp(3, 2, 24, 0, {}, Rows(24, false, kRgb));
    const char* const kOpen = "]のオープンに失敗しました。\n";
    const char* const kBroken = "]の展開に失敗しました。\n";
    const Loader B = LoadBitmapFile, K = LoadKbmFile;
    const struct {
        const char* name;
        Loader load;
        Bytes bytes;
        const char* line;
    } cases[] = {
        {"BMP cut in the bits", B, Bytes(bmp.begin(), bmp.end() - 1), kOpen},
        {"most negative height", B, Patch(bmp, 22, 0x80000000u), kOpen},
        {"BMP too many pixels", B, Patch(Patch(bmp, 18, 16384), 22, 16384), kOpen},
        {"bits past the end", B, Patch(bmp, 10, 0x7FFFFFF0u), kOpen},
        {"header past the end", B, Patch(bmp, 14, 0x00100000u), kOpen},
        {"7 bits a pixel", B, Patch(bmp, 28, 7, 2), kOpen},
        {"colour table past the end", B, Patch(Bmp(3, 2, 8, 0, kRgb, {}), 46, 256), kOpen},
        {"RLE size past the end", B, Patch(Bmp(3, 2, 8, 1, kRgb, {2, 3, 0, 1}), 34, 4000), kOpen},
        {"RLE literal past the end", B, Bmp(3, 2, 8, 1, kRgb, {0, 200, 1, 2}), kOpen},
        {"KBM missing", K, {}, kOpen},
        {"KBM short", K, Bytes(10, 1), "]はKBM形式ではありません。\n"},
        {"KBM too many pixels", K, Patch(Patch(kKbm, 4, 16384), 8, 16384), kBroken},
        {"plane past the end", K, Patch(kKbm, 12, 200), kBroken},
        {"plane lengths wrapping round", K, Patch(kKbm, 12, 0xFFFFFFFFu), kBroken},
        {"pixels past the picture", K, Patch(kKbm, 8, 1), kBroken},  // eight blues in four
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(CreateSlotSurface(9, 3, 2, 0, 0), 1);
        HeadlessClearRecord();
        const std::string path = c.bytes.empty() ? "none.pic" : Write("bad.pic", c.bytes);
        EXPECT_EQ(c.load(9, path.c_str(), 1), 0);
        EXPECT_EQ(BitmapSlots[9].surface, nullptr);
        EXPECT_EQ(Logged(), Lines{(c.load == K ? "KBM[" : "BMP[") + path + c.line});
    }
    // A name without a dot is a resource of the program, even when such a file exists.
    EXPECT_EQ(LoadBitmapFile(9, Write("picture", bmp).c_str(), 1), 0);
}

TEST_F(BitmapTest, LostPicturesReloadOnTheirFirstDrawAndDrawTheNext) {
    const std::string path = Write("a.bmp", Bmp(3, 2, 24, 0, {}, Rows(24, false, kRgb)));
    SetUseVideoMemory(1);  // only video memory is lost
    ASSERT_EQ(LoadBitmapFile(10, path.c_str(), 1), 1);
    LoseAllSurfaces();
    PresentFrame();
    HeadlessClearRecord();
    ClearScreen(0x808080);
    const uint16_t grey = Back(0, 0);
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(Back(1, 0), grey);
    EXPECT_EQ(Logged(), (Lines{"BUFFER LOST:", "IMG[" + path + "]をリロードします。\n"}));
    EXPECT_EQ(DrawSprite(0, 0, 10, 0, 0, -1, -1), 1);
    EXPECT_EQ(Back(0, 0), grey);  // the keyed red stays out
    EXPECT_EQ(Back(1, 0), k565[1]);
    EXPECT_EQ(BitmapSlots[10].surface->systemMemory, 0);  // where it was first made
}

TEST_F(BitmapTest, PluginDecodesItsFormatOrWritesWhyNot) {
    const Bytes picture = Bmp(3, 2, 8, 0, kRgb, Rows(8, false, kIndex));
    ASSERT_EQ(LoadPluginImage(50, TEST_IMAGE_PLUGIN, Write("a.bmp", picture).c_str(), 1), 1);
    ExpectPicture(50);
    // The plug-in hands over a header that claims more rows than its bits hold.
    const std::string lie = Write("lie.bmp", Patch(picture, 22, 200));
    EXPECT_EQ(LoadPluginImage(50, TEST_IMAGE_PLUGIN, lie.c_str(), 0), 0);
    EXPECT_EQ(BitmapSlots[50].surface, nullptr);
    EXPECT_EQ(Logged().back(), "デコードに失敗しました\n");
}

// Every fuzz seed is a picture the game takes, and every input that once crashed a reader is
// refused; the hand-written .kbm seed shows red over blue.
TEST_F(BitmapTest, FuzzInputsAreTakenOrRefusedWhole) {
    int seeds = 0;
    for (const char* target : {"fuzz_bmp", "fuzz_kbm"}) {
        for (const std::string& path : FuzzCorpus(target)) {
            SCOPED_TRACE(path);
            const Loader load = target == std::string("fuzz_kbm") ? LoadKbmFile : LoadBitmapFile;
            const int32_t expected = IsKeptCrash(path) ? 0 : 1;
            seeds += expected;
            EXPECT_EQ(load(11, path.c_str(), 0), expected);
            EXPECT_EQ(BitmapSlots[11].surface != nullptr, expected == 1);
        }
    }
    EXPECT_GE(seeds, 10);

    const std::vector<std::string> kbm = FuzzCorpus("fuzz_kbm");
    const auto square = std::find_if(kbm.begin(), kbm.end(), [](const std::string& path) {
        return path.ends_with("seed-4x2.kbm");
    });
    ASSERT_NE(square, kbm.end());
    ASSERT_EQ(LoadKbmFile(12, square->c_str(), 0), 1);
    EXPECT_EQ(BitmapSlots[12].surface->width, 4);
    EXPECT_EQ(BitmapSlots[12].surface->height, 2);
    for (int x = 0; x < 4; ++x) {
        SCOPED_TRACE(x);
        const uint16_t top = Pixel(12, x, 0), bottom = Pixel(12, x, 1);
        EXPECT_EQ(top >> 11, 31);  // full red, no green, no blue to speak of
        EXPECT_EQ((top >> 5) & 63, 0);
        EXPECT_LE(top & 31, 1);
        EXPECT_EQ(bottom >> 11, 0);  // full blue
        EXPECT_EQ((bottom >> 5) & 63, 0);
        EXPECT_EQ(bottom & 31, 31);
    }
}

}  // namespace
