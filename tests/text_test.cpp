// Bitmap-font text as it lands on the screen: which glyph of which sheet goes where.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "shell/text.h"
#include "support/fresh.h"
#include "support/sprite_log.h"

namespace {

class TextTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        RecordSprites();
    }
};

using Sprites = std::vector<DrawnSprite>;

// `text` in square glyphs of `size` pixels, left to right from (x, y).
Sprites Glyphs(int32_t x, int32_t y, uint32_t slot, int32_t size, const std::string& text) {
    Sprites sprites;
    for (char ch : text) {
        const int32_t column = (ch - 32) % 16, row = (ch - 32) / 16;
        sprites.push_back(
            {x, y, slot, column * size, row * size, (column + 1) * size, (row + 1) * size});
        x += size;
    }
    return sprites;
}

}  // namespace

TEST_F(TextTest, EachPlacementPutsTheGlyphsWhereTheScreensExpectThem) {
    const std::tuple<int32_t, int32_t, int32_t, int32_t, const char*, Sprites> cases[] = {
        {0, 3, 14, 4, "EXIT", Glyphs(256, 96, 31, 32, "EXIT")},       // centred in cells
        {0, 0, 0, 2, "FPS=  . ", Glyphs(512, 0, 1, 16, "FPS=  . ")},  // right-aligned
        {10, 20, 0, 0, "AB", Glyphs(10, 20, 1, 16, "AB")},            // pixels
        {10, 20, 0, 1, "AB", Glyphs(314, 20, 1, 16, "AB")},           // centred on 330
        {10, 20, 0, 2, "AB", Glyphs(598, 20, 1, 16, "AB")},           // 10 before the edge
        {10, 20, 0, 3, "AB", Glyphs(160, 320, 1, 16, "AB")},          // cells
        {3, 2, 0, 4, "AB", Glyphs(328, 32, 1, 16, "AB")},             // 320 + 3 half-glyphs
    };
    for (const auto& [x, y, font, placement, text, want] : cases) {
        DrawnSprites.clear();
        DrawText(x, y, text, font, placement);
        EXPECT_EQ(DrawnSprites, want) << text << " " << placement;
    }
}

TEST_F(TextTest, NumbersShowTheirLowestDigitsWithZerosDrawnOrLeftBlank) {
    const std::tuple<int32_t, int32_t, int32_t, Sprites> cases[] = {
        // digits, value, placement
        {10, 1234, 13, Glyphs(96, 144, 8, 16, "1234")},  // cells, leading zeros blank
        {10, 1234, 3, Glyphs(0, 144, 8, 16, "0000001234")},
        {3, -5, 3, Glyphs(0, 144, 8, 16, "000")},
        {3, -5, 13, Glyphs(32, 144, 8, 16, "0")},
        {4, 1234567, 10, Glyphs(0, 9, 8, 16, "4567")},  // pixels
        {12, INT32_MAX, 3, Glyphs(0, 144, 8, 16, "002147483647")},
        {12, INT32_MAX, 13, Glyphs(32, 144, 8, 16, "2147483647")},
    };
    for (const auto& [digits, value, placement, want] : cases) {
        DrawnSprites.clear();
        DrawNumber(0, 9, digits, value, 7, placement);
        EXPECT_EQ(DrawnSprites, want) << value << " " << placement;
    }
}

TEST_F(TextTest, UnknownFontsAndPlacementsDrawNothing) {
    for (int32_t bad : {-1, 28}) {  // fonts run 0..27, text placements 0..4
        DrawText(0, 0, "AB", bad, 0);
        DrawNumber(0, 0, 3, 123, bad, 0);
        DrawChar(0, 0, 'A', 0, bad);
    }
    // Numbers are placed by 0, 3, 10 and 13 only.
    for (int32_t placement : {1, 2, 4, 11}) DrawNumber(0, 0, 3, 123, 0, placement);
    DrawText(0, 0, nullptr, 0, 0);
    EXPECT_TRUE(DrawnSprites.empty());
}

TEST_F(TextTest, OnlyCodes32To127LieOnTheSheet) {
    for (int code = 0; code < 256; ++code) {  // a sheet of 16-pixel glyphs is 256 x 96
        DrawChar(0, 0, code, 0, 0);
        const DrawnSprite& d = DrawnSprites.back();
        const bool onSheet = d.left >= 0 && d.top >= 0 && d.right <= 256 && d.bottom <= 96;
        const bool offSheet = d.right <= 0 || d.bottom <= 0 || d.left >= 256 || d.top >= 96;
        EXPECT_TRUE(code >= 32 && code <= 127 ? onSheet : offSheet) << code;
    }
    DrawText(0, 0, "\xC1", 0, 0);  // string bytes are signed the same way
    EXPECT_LT(DrawnSprites.back().top, 0);
}

TEST_F(TextTest, NameAlphabetAndInvisibleBlanks) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789:-+.!? ";
    for (int letter = 1; letter <= 42; ++letter)
        EXPECT_EQ(LetterToChar(letter), alphabet[letter - 1]) << letter;
    // The blank letter and any below it give control codes: off the sheet, never a 0 byte.
    for (int letter : {0, -22, INT32_MIN})
        EXPECT_TRUE(LetterToChar(letter) >= 1 && LetterToChar(letter) < 32) << letter;
}
