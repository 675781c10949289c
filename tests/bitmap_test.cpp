// Bitmap slots and the picture loaders: BMP variants, .kbm, image plug-ins, created
// surfaces, colour keys, refused files and the reload after a lost surface.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "platform/headless/headless.h"
#include "platform/platform_window.h"
#include "support/fresh.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F;
constexpr uint16_t kWhite = 0xFFFF, kBlack = 0x0000, kMagenta = 0xF81F;
// The 3 x 2 test picture, top row first, and its colours as 0x00RRGGBB.
constexpr uint16_t kExpected[2][3] = {{kRed, kGreen, kBlue}, {kWhite, kBlack, kMagenta}};
const std::vector<uint32_t> kPalette = {0xFF0000, 0x00FF00, 0x0000FF,
                                        0xFFFFFF, 0x000000, 0xFF00FF};
constexpr uint8_t kIndices[2][3] = {{0, 1, 2}, {3, 4, 5}};

void Put16(Bytes* b, uint32_t v) {
    for (int i = 0; i < 2; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put32(Bytes* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct BmpLayout {
    int32_t width = 3, height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> palette;
    std::vector<uint32_t> masks;   // written after a 40-byte header
    uint32_t imageSize = 0;
};

BmpLayout Layout(uint16_t bitCount, uint32_t compression = 0, std::vector<uint32_t> palette = {},
             std::vector<uint32_t> masks = {}) {
    BmpLayout s;
    s.bitCount = bitCount;
    s.compression = compression;
    s.palette = std::move(palette);
    s.masks = std::move(masks);
    return s;
}

BmpLayout Sized(BmpLayout s, int32_t width, int32_t height) {
    s.width = width;
    s.height = height;
    return s;
}

Bytes Bmp(const BmpLayout& s, const Bytes& bits) {
    Bytes info;
    Put32(&info, 40);
    Put32(&info, static_cast<uint32_t>(s.width));
    Put32(&info, static_cast<uint32_t>(s.height));
    Put16(&info, 1);
    Put16(&info, s.bitCount);
    Put32(&info, s.compression);
    Put32(&info, s.imageSize);
    Put32(&info, 2835);
    Put32(&info, 2835);
    Put32(&info, static_cast<uint32_t>(s.palette.size()));
    Put32(&info, 0);
    for (uint32_t m : s.masks) Put32(&info, m);
    for (uint32_t c : s.palette) Put32(&info, c);   // blue, green, red, zero
    Bytes file = {'B', 'M'};
    Put32(&file, static_cast<uint32_t>(14 + info.size() + bits.size()));
    Put32(&file, 0);
    Put32(&file, static_cast<uint32_t>(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}

// Rows of the test picture in file order, each made by the given pixel writer, padded to 4.
template <typename Writer>
Bytes Rows(bool topDown, Writer write) {
    Bytes bits;
    for (int r = 0; r < 2; ++r) {
        const int y = topDown ? r : 1 - r;
        const size_t start = bits.size();
        write(&bits, y);
        while ((bits.size() - start) % 4) bits.push_back(0);
    }
    return bits;
}

Bytes Rgb24(bool topDown) {
    return Rows(topDown, [](Bytes* b, int y) {
        for (int x = 0; x < 3; ++x) {
            const uint32_t c = kPalette[kIndices[y][x]];
            b->push_back(c & 0xFF);
            b->push_back((c >> 8) & 0xFF);
            b->push_back(c >> 16);
        }
    });
}

class BitmapTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
        ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 192, 144, 640, 480));
        ASSERT_EQ(SetupDisplay(), 1);
        HeadlessClearRecord();
        std::string pattern = testing::TempDir() + "bitmap_testXXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
    }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_ + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path;
    }

    static uint16_t SlotPixel(int slot, int x, int y) {
        return GetSurfacePixel(BitmapSlots[slot].surface, x, y);
    }

    static void ExpectTestPicture(int slot) {
        ASSERT_NE(BitmapSlots[slot].surface, nullptr);
        int32_t w = 0, h = 0;
        ASSERT_EQ(GetSlotSize(slot, &w, &h), 1);
        EXPECT_EQ(w, 3);
        EXPECT_EQ(h, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(SlotPixel(slot, x, y), kExpected[y][x]) << "pixel " << x << "," << y;
    }

    static bool LoggedLine(const std::string& line) {
        for (const auto& l : HeadlessRecorded().debugLines)
            if (l == line) return true;
        return false;
    }

    std::string dir_;
};

struct Variant {
    const char* name;
    BmpLayout layout;
    Bytes bits;
};

std::vector<Variant> Variants() {
    std::vector<Variant> v;
    v.push_back({"rgb24_bottom_up", Layout(24), Rgb24(false)});
    v.push_back({"rgb24_top_down", Sized(Layout(24), 3, -2), Rgb24(true)});
    v.push_back({"rgb32", Layout(32), Rows(false, [](Bytes* b, int y) {
                     for (int x = 0; x < 3; ++x) Put32(b, kPalette[kIndices[y][x]]);
                 })});
    // Red in the low byte, blue in the third: only the masks say so.
    v.push_back({"bitfields32", Layout(32, 3, {}, {0x0000FF, 0x00FF00, 0xFF0000}),
                 Rows(false, [](Bytes* b, int y) {
                     for (int x = 0; x < 3; ++x) {
                         const uint32_t c = kPalette[kIndices[y][x]];
                         Put32(b, ((c & 0xFF) << 16) | (c & 0xFF00) | (c >> 16));
                     }
                 })});
    v.push_back({"rgb555", Layout(16), Rows(false, [](Bytes* b, int y) {
                     static const uint16_t k555[6] = {0x7C00, 0x03E0, 0x001F,
                                                      0x7FFF, 0x0000, 0x7C1F};
                     for (int x = 0; x < 3; ++x) Put16(b, k555[kIndices[y][x]]);
                 })});
    v.push_back({"bitfields565", Layout(16, 3, {}, {0xF800, 0x07E0, 0x001F}),
                 Rows(false, [](Bytes* b, int y) {
                     for (int x = 0; x < 3; ++x) Put16(b, kExpected[y][x]);
                 })});
    v.push_back({"indexed8", Layout(8, 0, kPalette),
                 Rows(false, [](Bytes* b, int y) {
                     for (int x = 0; x < 3; ++x) b->push_back(kIndices[y][x]);
                 })});
    v.push_back({"indexed4", Layout(4, 0, kPalette),
                 Rows(false, [](Bytes* b, int y) {
                     b->push_back(static_cast<uint8_t>(kIndices[y][0] << 4 | kIndices[y][1]));
                     b->push_back(static_cast<uint8_t>(kIndices[y][2] << 4));
                 })});
    // Bottom row: a run of two whites, one magenta; top row: three literal pixels.
    v.push_back({"rle8", Layout(8, 1, kPalette),
                 {2, 3, 1, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1}});
    v.push_back({"rle4", Layout(4, 2, kPalette),
                 {2, 0x33, 1, 0x55, 0, 0, 0, 3, 0x01, 0x20, 0, 1}});
    return v;
}

TEST_F(BitmapTest, EveryBmpVariantDecodesToTheSamePixels) {
    for (const auto& v : Variants()) {
        SCOPED_TRACE(v.name);
        BmpLayout layout = v.layout;
        // The bottom row reads white, black, magenta; the RLE fixtures write white, white,
        // magenta there, so their black is white.
        const std::string path = Write(std::string(v.name) + ".bmp", Bmp(layout, v.bits));
        ASSERT_EQ(LoadBitmapFile(7, path.c_str(), 1), 1);
        if (layout.compression == 1 || layout.compression == 2) {
            EXPECT_EQ(SlotPixel(7, 0, 0), kRed);
            EXPECT_EQ(SlotPixel(7, 2, 0), kBlue);
            EXPECT_EQ(SlotPixel(7, 1, 1), kWhite);
            EXPECT_EQ(SlotPixel(7, 2, 1), kMagenta);
        } else {
            ExpectTestPicture(7);
        }
        EXPECT_EQ(BitmapSlots[7].colourKeyValue, kRed);
        EXPECT_STREQ(BitmapSlots[7].fileName, path.c_str());
    }
    EXPECT_TRUE(HeadlessRecorded().debugLines.empty());
}

TEST_F(BitmapTest, MonochromeAndCoreHeaderPictures) {
    const BmpLayout mono = Sized(Layout(1, 0, {0x000000, 0xFFFFFF}), 10, 1);
    const std::string path = Write("mono.bmp", Bmp(mono, {0b10110000, 0b01000000, 0, 0}));
    ASSERT_EQ(LoadBitmapFile(1, path.c_str(), 0), 1);
    const uint16_t expect[10] = {kWhite, kBlack, kWhite, kWhite, kBlack,
                                 kBlack, kBlack, kBlack, kBlack, kWhite};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(SlotPixel(1, x, 0), expect[x]) << x;

    // The old 12-byte header with 16-bit sizes.
    Bytes core = {'B', 'M'};
    Put32(&core, 14 + 12 + 4);
    Put32(&core, 0);
    Put32(&core, 14 + 12);
    Put32(&core, 12);
    Put16(&core, 1);
    Put16(&core, 1);
    Put16(&core, 1);
    Put16(&core, 24);
    core.insert(core.end(), {0xFF, 0x00, 0x00, 0x00});   // one blue pixel
    ASSERT_EQ(LoadBitmapFile(2, Write("core.bmp", core).c_str(), 0), 1);
    EXPECT_EQ(SlotPixel(2, 0, 0), kBlue);
}

TEST_F(BitmapTest, RunLengthDeltaLeavesSkippedPixelsAtColourZero) {
    // 4 x 2: move two right on the bottom row, then one magenta; top row untouched.
    const BmpLayout layout = Sized(Layout(8, 1, kPalette), 4, 2);
    const std::string path = Write("delta.bmp", Bmp(layout, {0, 2, 2, 0, 1, 5, 0, 1}));
    ASSERT_EQ(LoadBitmapFile(3, path.c_str(), 0), 1);
    EXPECT_EQ(SlotPixel(3, 0, 1), kRed);
    EXPECT_EQ(SlotPixel(3, 1, 1), kRed);
    EXPECT_EQ(SlotPixel(3, 2, 1), kMagenta);
    EXPECT_EQ(SlotPixel(3, 3, 0), kRed);
}

TEST_F(BitmapTest, BadBmpFilesAreRefusedWithTheirDebugLine) {
    const Bytes good = Bmp(Layout(24), Rgb24(false));
    auto patched = [&](size_t at, uint32_t value) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return b;
    };
    // 256 colours announced, the file cut inside the colour table.
    Bytes shortPalette = Bmp(Layout(8, 0, std::vector<uint32_t>(256, 0)), Bytes(8, 0));
    shortPalette.resize(400);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"truncated_bits", Bytes(good.begin(), good.end() - 1)},
        {"truncated_header", Bytes(good.begin(), good.begin() + 30)},
        {"not_bm", patched(0, 0x12345678)},
        {"zero_width", patched(18, 0)},
        {"negative_width", patched(18, static_cast<uint32_t>(-3))},
        {"zero_height", patched(22, 0)},
        {"most_negative_height", patched(22, 0x80000000u)},
        {"too_wide", patched(18, 0x40000000u)},
        {"overflowing_pixel_count", [&] {
             Bytes b = patched(18, 0x10000);
             for (int i = 0; i < 4; ++i) b[22 + i] = static_cast<uint8_t>(0x10000 >> (8 * i));
             return b;
         }()},
        {"bits_past_end", patched(10, 0x7FFFFFF0u)},
        {"header_past_end", patched(14, 0x00100000u)},
        {"odd_bit_count", [&] { Bytes b = good; b[28] = 7; return b; }()},
        {"two_planes", [&] { Bytes b = good; b[26] = 2; return b; }()},
        {"palette_past_end", shortPalette},
        {"rle_size_past_end",
         Bmp([] { BmpLayout s = Layout(8, 1, kPalette); s.imageSize = 4000; return s; }(), {2, 3, 0, 1})},
        {"rle_literal_past_end",
         Bmp(Layout(8, 1, kPalette), {0, 200, 1, 2})},
        {"rle_top_down",
         Bmp(Sized(Layout(8, 1, kPalette), 3, -2), {0, 1})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessClearRecord();
        const std::string path = Write(std::string(c.name) + ".bmp", c.bytes);
        EXPECT_EQ(LoadBitmapFile(9, path.c_str(), 1), 0);
        EXPECT_EQ(BitmapSlots[9].surface, nullptr);
        ASSERT_EQ(HeadlessRecorded().debugLines.size(), 1u);
        EXPECT_EQ(HeadlessRecorded().debugLines[0], "BMP[" + path + "]のオープンに失敗しました。\n");
        EXPECT_EQ(DrawSprite(0, 0, 9, 0, 0, -1, -1), 0);
    }
}

TEST_F(BitmapTest, MissingFileAndResourceNamesAreRefused) {
    const std::string missing = dir_ + "missing.bmp";
    EXPECT_EQ(LoadBitmapFile(4, missing.c_str(), 0), 0);
    EXPECT_TRUE(LoggedLine("BMP[" + missing + "]のオープンに失敗しました。\n"));

    // A name without a dot is a resource of the program, even when such a file exists.
    const std::string noDot = Write("picture", Bmp(Layout(24), Rgb24(false)));
    if (noDot.find('.') != std::string::npos) GTEST_SKIP() << "temporary directory has a dot";
    EXPECT_EQ(LoadBitmapFile(4, noDot.c_str(), 0), 0);
    EXPECT_EQ(BitmapSlots[4].surface, nullptr);
    EXPECT_TRUE(LoggedLine("BMP[" + noDot + "]のオープンに失敗しました。\n"));
}

TEST_F(BitmapTest, LoadingReplacesTheSlotAndRefusesTheWorkBufferSlot) {
    const std::string path = Write("a.bmp", Bmp(Layout(24), Rgb24(false)));
    ASSERT_EQ(LoadBitmapFile(5, path.c_str(), 1), 1);
    ASSERT_EQ(LoadBitmapFile(5, path.c_str(), 0), 1);
    EXPECT_EQ(BitmapSlots[5].useColourKey, 0);
    EXPECT_EQ(LoadBitmapFile(256, path.c_str(), 0), 0);
    EXPECT_EQ(BitmapSlots[256].surface, nullptr);
    // A failed load empties the slot but keeps the new name.
    const std::string bad = Write("bad.bmp", {'B', 'M'});
    EXPECT_EQ(LoadBitmapFile(5, bad.c_str(), 0), 0);
    EXPECT_EQ(BitmapSlots[5].surface, nullptr);
    EXPECT_STREQ(BitmapSlots[5].fileName, bad.c_str());
}

TEST_F(BitmapTest, GetSlotSizeAnswersForGameSlotsOnly) {
    ASSERT_EQ(CreateSlotSurface(12, 40, 30, 0, 0x0000FF), 1);
    int32_t w = -1, h = -1;
    EXPECT_EQ(GetSlotSize(12, &w, &h), 1);
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 30);
    EXPECT_EQ(GetSlotSize(13, &w, &h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(GetSlotSize(256, &w, &h), 0);
    EXPECT_EQ(GetSlotSize(-1, &w, &h), 0);
}

TEST_F(BitmapTest, CreatedSurfacesFillAndKeyTheirColour) {
    ASSERT_EQ(CreateSlotSurface(256, 640, 480, 0, 0x00FF00), 1);
    EXPECT_EQ(SlotPixel(256, 639, 479), kGreen);
    EXPECT_EQ(BitmapSlots[256].colourKeyValue, kGreen);
    EXPECT_EQ(BitmapSlots[256].fileName[0], '\0');

    EXPECT_EQ(CreateSlotSurface(20, 0, 10, 0, 0), 1);
    EXPECT_EQ(BitmapSlots[20].surface, nullptr);
    EXPECT_EQ(BitmapSlots[20].height, 10);
    EXPECT_EQ(CreateSlotSurface(21, -1, 10, 0, 0), 0);
    EXPECT_EQ(CreateSlotSurface(257, 4, 4, 0, 0), 0);
    HeadlessClearRecord();
    EXPECT_EQ(CreateSlotSurface(22, 100000, 100000, 0, 0), 0);
    EXPECT_EQ(HeadlessRecorded().debugLines, std::vector<std::string>{"サーフェイスの作成に失敗\n"});
}

TEST_F(BitmapTest, TopLeftColourIsTransparentWhenKeyed) {
    const BmpLayout layout = Sized(Layout(24), 3, 1);
    // Magenta, red, magenta.
    const Bytes bits = {0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0, 0, 0};
    const std::string path = Write("key.bmp", Bmp(layout, bits));
    ASSERT_EQ(LoadBitmapFile(30, path.c_str(), 1), 1);
    ASSERT_EQ(LoadBitmapFile(31, path.c_str(), 0), 1);
    EXPECT_EQ(BitmapSlots[30].colourKeyValue, kMagenta);
    ClearScreen(0x00FF00);
    EXPECT_EQ(DrawSprite(10, 10, 30, 0, 0, -1, -1), 1);
    EXPECT_EQ(DrawSprite(10, 20, 31, 0, 0, -1, -1), 1);
    const uint16_t keyed[3] = {kGreen, kRed, kGreen};
    const uint16_t plain[3] = {kMagenta, kRed, kMagenta};
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 10 + x, 10), keyed[x]);
        EXPECT_EQ(GetSurfacePixel(DisplayDevice.back, 10 + x, 20), plain[x]);
    }
}

Bytes Kbm(int32_t width, int32_t height, const Bytes& blue, const Bytes& green,
          const Bytes& red) {
    Bytes b;
    Put32(&b, 0x004D424B);
    Put32(&b, static_cast<uint32_t>(width));
    Put32(&b, static_cast<uint32_t>(height));
    for (const Bytes* plane : {&blue, &green, &red}) Put32(&b, static_cast<uint32_t>(plane->size()));
    for (const Bytes* plane : {&blue, &green, &red}) b.insert(b.end(), plane->begin(), plane->end());
    return b;
}

TEST_F(BitmapTest, KbmBytesAreValueAndRepeatCount) {
    // 0x0F: the value 0x08 eight times; 0xF8: the value 0xF8 once; 0x06: 0x00 seven times.
    const std::string path = Write("runs.kbm", Kbm(8, 1, {0x0F}, {0xF8, 0x06}, {}));
    ASSERT_EQ(LoadKbmFile(40, path.c_str(), 1), 1);
    // Blue 0x08 keeps one 5-bit step; green 0xF8 is 62 of 63.
    EXPECT_EQ(SlotPixel(40, 0, 0), (62 << 5) | 1);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(SlotPixel(40, x, 0), 1) << x;
    EXPECT_EQ(BitmapSlots[40].colourKeyValue, (62u << 5) | 1);
    EXPECT_EQ(BitmapSlots[40].useColourKey, 1);
}

TEST_F(BitmapTest, KbmStreamStartsAtTheBottomRow) {
    // Four black pixels, then four of full red.
    const std::string path = Write("rows.kbm", Kbm(4, 2, {}, {}, {0x03, 0xFB}));
    ASSERT_EQ(LoadKbmFile(41, path.c_str(), 0), 1);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(SlotPixel(41, x, 0), kRed);
        EXPECT_EQ(SlotPixel(41, x, 1), kBlack);
    }
}

TEST_F(BitmapTest, BadKbmFilesAreRefusedWithTheirDebugLine) {
    Bytes wrongMagic = Kbm(4, 1, {3}, {3}, {3});
    wrongMagic[3] = 'X';
    Bytes longPlanes = Kbm(4, 1, {3}, {3}, {3});
    longPlanes[12] = 200;
    Bytes wrapPlanes = Kbm(4, 1, {3}, {3}, {3});
    for (int i = 12; i < 24; ++i) wrapPlanes[i] = 0xFF;
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;
    } cases[] = {
        {"short", Bytes(10, 0), "]はKBM形式ではありません。\n"},
        {"magic", wrongMagic, "]はKBM形式ではありません。\n"},
        {"zero_width", Kbm(0, 1, {}, {}, {}), "]の展開に失敗しました。\n"},
        {"negative_height", Kbm(4, -1, {}, {}, {}), "]の展開に失敗しました。\n"},
        {"overflowing_size", Kbm(0x10000, 0x10000, {}, {}, {}), "]の展開に失敗しました。\n"},
        {"plane_past_end", longPlanes, "]の展開に失敗しました。\n"},
        {"lengths_wrapping", wrapPlanes, "]の展開に失敗しました。\n"},
        // Eight pixels in a picture with room for four.
        {"plane_past_picture", Kbm(4, 1, {0x07}, {}, {}), "]の展開に失敗しました。\n"},
        {"late_plane_past_picture", Kbm(3, 1, {}, {}, {0x03, 0x00}), "]の展開に失敗しました。\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessClearRecord();
        const std::string path = Write(std::string(c.name) + ".kbm", c.bytes);
        EXPECT_EQ(LoadKbmFile(42, path.c_str(), 0), 0);
        EXPECT_EQ(BitmapSlots[42].surface, nullptr);
        EXPECT_EQ(HeadlessRecorded().debugLines,
                  std::vector<std::string>{"KBM[" + path + c.message});
    }
    HeadlessClearRecord();
    const std::string missing = dir_ + "missing.kbm";
    EXPECT_EQ(LoadKbmFile(42, missing.c_str(), 0), 0);
    EXPECT_TRUE(LoggedLine("KBM[" + missing + "]のオープンに失敗しました。\n"));
    EXPECT_EQ(LoadKbmFile(256, missing.c_str(), 0), 0);
}

#ifdef TEST_IMAGE_PLUGIN
Bytes Timg(const char* magic, uint16_t width, uint16_t height, const Bytes& rgb) {
    Bytes b(magic, magic + 4);
    Put16(&b, width);
    Put16(&b, height);
    b.insert(b.end(), rgb.begin(), rgb.end());
    return b;
}

TEST_F(BitmapTest, PluginDecodesItsFormat) {
    const std::string path = Write("pic.timg", Timg("TIMG", 2, 2, {255, 0, 255, 0, 255, 0,
                                                                   0, 0, 255, 255, 255, 255}));
    ASSERT_EQ(LoadPluginImage(50, TEST_IMAGE_PLUGIN, path.c_str(), 1), 1);
    EXPECT_EQ(SlotPixel(50, 0, 0), kMagenta);
    EXPECT_EQ(SlotPixel(50, 1, 0), kGreen);
    EXPECT_EQ(SlotPixel(50, 0, 1), kBlue);
    EXPECT_EQ(SlotPixel(50, 1, 1), kWhite);
    EXPECT_EQ(BitmapSlots[50].colourKeyValue, kMagenta);
    EXPECT_STREQ(BitmapSlots[50].pluginName, TEST_IMAGE_PLUGIN);
    EXPECT_STREQ(BitmapSlots[50].fileName, path.c_str());
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (std::vector<std::string>{std::string("SPI[") + TEST_IMAGE_PLUGIN + "]を使用\n",
                                        "IMG[" + path + "]を処理\n"}));
}

TEST_F(BitmapTest, PluginFailuresEachWriteTheirLine) {
    const std::string good = Write("good.timg", Timg("TIMG", 1, 1, {1, 2, 3}));
    const std::string other = Write("other.png", Bytes{'P', 'N', 'G', 0});
    const std::string cut = Write("cut.timg", Timg("TIMG", 4, 4, {1, 2, 3}));
    const std::string lying = Write("lie.timg", Timg("TLIE", 2, 2, Bytes(12, 7)));
    const std::string missing = dir_ + "missing.timg";
    const std::string noLibrary = dir_ + "missing.so";
    const struct {
        const char* plugin;
        std::string file;
        const char* line;
    } cases[] = {
        {noLibrary.c_str(), good, "SPIがロードできません\n"},
        {TEST_ENTRYLESS_PLUGIN, good, "SPI内の関数が取得できません\n"},
        {TEST_IMAGE_PLUGIN, missing, "オープンに失敗しました\n"},
        {TEST_IMAGE_PLUGIN, other, "未対応の形式です\n"},
        {TEST_IMAGE_PLUGIN, cut, "デコードに失敗しました\n"},
        {TEST_IMAGE_PLUGIN, lying, "デコードに失敗しました\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        HeadlessClearRecord();
        EXPECT_EQ(LoadPluginImage(51, c.plugin, c.file.c_str(), 0), 0);
        EXPECT_EQ(BitmapSlots[51].surface, nullptr);
        ASSERT_FALSE(HeadlessRecorded().debugLines.empty());
        EXPECT_EQ(HeadlessRecorded().debugLines.back(), c.line);
    }
    EXPECT_EQ(LoadPluginImage(257, TEST_IMAGE_PLUGIN, good.c_str(), 0), 0);
}

TEST_F(BitmapTest, LostPluginPictureReloadsThroughItsPlugin) {
    const std::string path = Write("pic.timg", Timg("TIMG", 1, 1, {0, 255, 0}));
    SetUseVideoMemory(1);
    ASSERT_EQ(LoadPluginImage(52, TEST_IMAGE_PLUGIN, path.c_str(), 0), 1);
    LoseAllSurfaces();
    HeadlessClearRecord();
    RestoreSlot(52);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              (std::vector<std::string>{"BUFFER LOST:", "IMG[" + path + "]をリロードします。\n",
                                        std::string("SPI[") + TEST_IMAGE_PLUGIN + "]を使用\n",
                                        "IMG[" + path + "]を処理\n"}));
    EXPECT_EQ(SlotPixel(52, 0, 0), kGreen);
    EXPECT_STREQ(BitmapSlots[52].pluginName, TEST_IMAGE_PLUGIN);
    // A surface that was not lost is left as it is.
    HeadlessClearRecord();
    RestoreSlot(52);
    EXPECT_TRUE(HeadlessRecorded().debugLines.empty());
}
#endif

}  // namespace
