#include <gtest/gtest.h>

#include <vector>

#include "frame/sprite.h"
#include "shell/text.h"
#include "support/fresh.h"

namespace {

struct Draw {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
    bool operator==(const Draw&) const = default;
};

std::vector<Draw> g_draws;

void Record(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top, int32_t right,
            int32_t bottom) {
    g_draws.push_back({x, y, slot, left, top, right, bottom});
}

class TextDrawing : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        g_draws.clear();
        SetSpriteTrace(Record);
    }
    void TearDown() override { SetSpriteTrace(nullptr); }
};

// The source rectangle of a printable character on a sheet of w x h glyphs.
Draw Glyph(int32_t x, int32_t y, uint32_t slot, char ch, int32_t w, int32_t h) {
    int g = ch - 32;
    return {x, y, slot, g % 16 * w, g / 16 * h, (g % 16 + 1) * w, (g / 16 + 1) * h};
}

std::vector<int32_t> Xs() {
    std::vector<int32_t> xs;
    for (const Draw& d : g_draws) xs.push_back(d.x);
    return xs;
}

}  // namespace

TEST_F(TextDrawing, LargeTextCentredInCells) {
    DrawText(0, 3, "EXIT", 14, 4);
    EXPECT_EQ(g_draws, (std::vector<Draw>{Glyph(256, 96, 31, 'E', 32, 32),
                                          Glyph(288, 96, 31, 'X', 32, 32),
                                          Glyph(320, 96, 31, 'I', 32, 32),
                                          Glyph(352, 96, 31, 'T', 32, 32)}));
}

TEST_F(TextDrawing, RightAlignedTextEndsAtTheEdge) {
    DrawText(0, 0, "FPS=  . ", 0, 2);
    ASSERT_EQ(g_draws.size(), 8u);
    EXPECT_EQ(Xs(), (std::vector<int32_t>{512, 528, 544, 560, 576, 592, 608, 624}));
    EXPECT_EQ(g_draws[0], Glyph(512, 0, 1, 'F', 16, 16));
    EXPECT_EQ(g_draws[3], Glyph(560, 0, 1, '=', 16, 16));
}

TEST_F(TextDrawing, EveryTextPlacement) {
    struct Row {
        int32_t x, y, placement;
        std::vector<int32_t> xs;
        int32_t drawnY;
    };
    const Row rows[] = {
        {10, 20, 0, {10, 26}, 20},        // pixels
        {10, 20, 1, {314, 330}, 20},      // centred on 330
        {10, 20, 2, {598, 614}, 20},      // ends 10 pixels before the edge
        {10, 20, 3, {160, 176}, 320},     // cells
        {3, 2, 4, {328, 344}, 32},        // centred on 320 + 3 half-glyphs
    };
    for (const Row& row : rows) {
        g_draws.clear();
        DrawText(row.x, row.y, "AB", 0, row.placement);
        ASSERT_EQ(g_draws.size(), 2u) << row.placement;
        EXPECT_EQ(Xs(), row.xs) << row.placement;
        EXPECT_EQ(g_draws[0].y, row.drawnY) << row.placement;
        EXPECT_EQ(g_draws[0], Glyph(g_draws[0].x, g_draws[0].y, 1, 'A', 16, 16));
    }
}

TEST_F(TextDrawing, CharPlacementsMatchAOneCharacterText) {
    for (int32_t placement = 0; placement <= 4; ++placement) {
        g_draws.clear();
        DrawChar(5, 7, 'Q', 23, placement);
        DrawText(5, 7, "Q", 23, placement);
        ASSERT_EQ(g_draws.size(), 2u) << placement;
        EXPECT_EQ(g_draws[0], g_draws[1]) << placement;
        EXPECT_EQ(g_draws[0].slot, 40u);
    }
    g_draws.clear();
    DrawChar(5, 7, 'Q', 0, 1);
    EXPECT_EQ(g_draws[0].x, 320 - 8 + 5);
}

TEST_F(TextDrawing, FontTableSlotsAndSizes) {
    for (int32_t font = 0; font < kFonts; ++font) {
        g_draws.clear();
        DrawChar(0, 0, '!', font, 0);
        ASSERT_EQ(g_draws.size(), 1u) << font;
        int32_t group = font / 7;
        int32_t colour = font % 7;
        const uint32_t groupSlot[] = {1, 8, 31, 38};
        int32_t size = group < 2 ? 16 : 32;
        EXPECT_EQ(g_draws[0], Glyph(0, 0, groupSlot[group] + colour, '!', size, size)) << font;
    }
}

TEST_F(TextDrawing, UnknownFontsAndPlacementsDrawNothing) {
    for (int32_t font : {-1, 28, 1000}) {
        DrawText(0, 0, "AB", font, 0);
        DrawChar(0, 0, 'A', font, 0);
        DrawNumber(0, 0, 3, 123, font, 0);
    }
    for (int32_t placement : {-1, 5, 10, 13}) {
        DrawText(0, 0, "AB", 0, placement);
        DrawChar(0, 0, 'A', 0, placement);
    }
    for (int32_t placement : {-1, 1, 2, 4, 11, 14}) DrawNumber(0, 0, 3, 123, 0, placement);
    DrawText(0, 0, nullptr, 0, 0);
    EXPECT_TRUE(g_draws.empty());
}

TEST_F(TextDrawing, OnlyPrintableCodesLieOnTheSheet) {
    // A 16 x 16 sheet holds 16 columns and 6 rows: 256 x 96 pixels.
    for (int code = 0; code < 256; ++code) {
        g_draws.clear();
        DrawChar(0, 0, code, 0, 0);
        ASSERT_EQ(g_draws.size(), 1u);
        const Draw& d = g_draws[0];
        bool onSheet = d.left >= 0 && d.top >= 0 && d.right <= 256 && d.bottom <= 96;
        bool offSheet = d.right <= 0 || d.bottom <= 0 || d.left >= 256 || d.top >= 96;
        if (code >= 32 && code <= 127) {
            EXPECT_TRUE(onSheet) << code;
        } else {
            EXPECT_TRUE(offSheet) << code;
        }
    }
    // Bytes of a string are signed the same way.
    g_draws.clear();
    DrawText(0, 0, "\xC1", 0, 0);
    ASSERT_EQ(g_draws.size(), 1u);
    EXPECT_LT(g_draws[0].top, 0);
}

TEST_F(TextDrawing, NumberWithBlankLeadingZeros) {
    DrawNumber(0, 9, 10, 1234, 7, 13);
    EXPECT_EQ(g_draws, (std::vector<Draw>{Glyph(96, 144, 8, '1', 16, 16),
                                          Glyph(112, 144, 8, '2', 16, 16),
                                          Glyph(128, 144, 8, '3', 16, 16),
                                          Glyph(144, 144, 8, '4', 16, 16)}));
}

TEST_F(TextDrawing, NumberWithDrawnLeadingZeros) {
    DrawNumber(0, 9, 10, 1234, 7, 3);
    ASSERT_EQ(g_draws.size(), 10u);
    const char* shown = "0000001234";
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(g_draws[k], Glyph(k * 16, 144, 8, shown[k], 16, 16)) << k;
    }
}

TEST_F(TextDrawing, NumberInPixels) {
    DrawNumber(100, 50, 3, 7, 14, 10);
    EXPECT_EQ(g_draws, (std::vector<Draw>{Glyph(164, 50, 31, '7', 32, 32)}));
    g_draws.clear();
    DrawNumber(100, 50, 3, 7, 14, 0);
    EXPECT_EQ(Xs(), (std::vector<int32_t>{100, 132, 164}));
}

TEST_F(TextDrawing, NegativeNumbersShowAsZero) {
    DrawNumber(0, 0, 3, -5, 0, 3);
    EXPECT_EQ(g_draws, (std::vector<Draw>{Glyph(0, 0, 1, '0', 16, 16), Glyph(16, 0, 1, '0', 16, 16),
                                          Glyph(32, 0, 1, '0', 16, 16)}));
    g_draws.clear();
    DrawNumber(0, 0, 3, -5, 0, 13);
    EXPECT_EQ(g_draws, (std::vector<Draw>{Glyph(32, 0, 1, '0', 16, 16)}));
}

TEST_F(TextDrawing, OnlyTheLowestDigitsFit) {
    DrawNumber(0, 0, 4, 1234567, 0, 3);
    ASSERT_EQ(g_draws.size(), 4u);
    EXPECT_EQ(g_draws[0], Glyph(0, 0, 1, '4', 16, 16));
    EXPECT_EQ(g_draws[3], Glyph(48, 0, 1, '7', 16, 16));
}

TEST_F(TextDrawing, WideNumbersBeyondTenDigits) {
    DrawNumber(0, 0, 12, INT32_MAX, 0, 3);
    ASSERT_EQ(g_draws.size(), 12u);
    const char* shown = "002147483647";
    for (int k = 0; k < 12; ++k) EXPECT_EQ(g_draws[k], Glyph(k * 16, 0, 1, shown[k], 16, 16)) << k;

    g_draws.clear();
    DrawNumber(0, 0, 12, INT32_MAX, 0, 13);
    EXPECT_EQ(g_draws.size(), 10u);
    EXPECT_EQ(g_draws[0], Glyph(32, 0, 1, '2', 16, 16));
}

TEST(PowerOfTen, Values) {
    EXPECT_EQ(PowerOfTen(-1), 0);
    EXPECT_EQ(PowerOfTen(INT32_MIN), 0);
    EXPECT_EQ(PowerOfTen(0), 1);
    EXPECT_EQ(PowerOfTen(1), 10);
    EXPECT_EQ(PowerOfTen(9), 1000000000);
    EXPECT_EQ(PowerOfTen(10), INT32_MAX);
}

TEST(LetterToChar, NameAlphabet) {
    for (int letter = 1; letter <= 26; ++letter) EXPECT_EQ(LetterToChar(letter), 'A' + letter - 1);
    for (int letter = 27; letter <= 35; ++letter) EXPECT_EQ(LetterToChar(letter), '1' + letter - 27);
    EXPECT_EQ(LetterToChar(36), ':');
    EXPECT_EQ(LetterToChar(37), '-');
    EXPECT_EQ(LetterToChar(38), '+');
    EXPECT_EQ(LetterToChar(39), '.');
    EXPECT_EQ(LetterToChar(40), '!');
    EXPECT_EQ(LetterToChar(41), '?');
    for (int letter : {42, 100, INT32_MAX}) EXPECT_EQ(LetterToChar(letter), ' ');
    EXPECT_EQ(LetterToChar(0), 22);
}

TEST_F(TextDrawing, BlankLettersStayInvisible) {
    // NameLetter 0, negative ones and the space never land on a glyph of the sheet.
    for (int letter : {0, -1, -21, -22, -150, -151, -1000, INT32_MIN, 42}) {
        g_draws.clear();
        int32_t ch = LetterToChar(letter);
        EXPECT_NE(ch, 0) << letter;
        DrawChar(0, 0, ch, 0, 0);
        ASSERT_EQ(g_draws.size(), 1u);
        const Draw& d = g_draws[0];
        bool blank = d.right <= 0 || d.bottom <= 0 || (d.left == 0 && d.top == 0);
        EXPECT_TRUE(blank) << letter;
    }
}
