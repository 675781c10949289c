#pragma once
// Bitmap-font text: strings, characters and numbers drawn glyph by glyph from font sheets.
#include <cstdint>

constexpr int kFonts = 28;

// FontId group bases; add the colour 0..6 (w, r, y, g, c, b, p).
constexpr int32_t FontSmall1 = 0;
constexpr int32_t FontSmall2 = 7;
constexpr int32_t FontLarge1 = 14;
constexpr int32_t FontLarge2 = 21;

// Placement codes of DrawText and DrawChar: x and y in pixels; x from the screen centre; x
// from the right edge; x and y in glyph cells; x in half-glyphs from the centre, y in rows.
constexpr int32_t TextPixels = 0;
constexpr int32_t TextCentred = 1;
constexpr int32_t TextRightAligned = 2;
constexpr int32_t TextCells = 3;
constexpr int32_t TextCellsCentred = 4;

// Placement codes of DrawNumber: in pixels or in glyph cells; the Blank codes leave leading
// zeros out, so that a number's right edge stays still as it grows.
constexpr int32_t NumberPixels = 0;
constexpr int32_t NumberCells = 3;
constexpr int32_t NumberPixelsBlank = 10;
constexpr int32_t NumberCellsBlank = 13;

void DrawText(int32_t x, int32_t y, const char* text, int32_t font, int32_t placement);
void DrawChar(int32_t x, int32_t y, int32_t ch, int32_t font, int32_t placement);
void DrawNumber(int32_t x, int32_t y, int32_t digits, int32_t value, int32_t font,
                int32_t placement);
int32_t PowerOfTen(int32_t n);
int32_t LetterToChar(int32_t letter);
