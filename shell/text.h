#pragma once
// Bitmap-font text: strings, characters and numbers drawn glyph by glyph from font sheets.
#include <cstdint>

constexpr int kFonts = 28;

// FontId group bases; add the colour 0..6 (w, r, y, g, c, b, p).
constexpr int32_t FontSmall1 = 0;
constexpr int32_t FontSmall2 = 7;
constexpr int32_t FontLarge1 = 14;
constexpr int32_t FontLarge2 = 21;

void DrawText(int32_t x, int32_t y, const char* text, int32_t font, int32_t placement);
void DrawChar(int32_t x, int32_t y, int32_t ch, int32_t font, int32_t placement);
void DrawNumber(int32_t x, int32_t y, int32_t digits, int32_t value, int32_t font,
                int32_t placement);
int32_t PowerOfTen(int32_t n);
int32_t LetterToChar(int32_t letter);
