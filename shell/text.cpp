#include "shell/text.h"

#include <array>
#include <cstring>

#include "frame/sprite.h"
#include "shell/catalogue.h"

namespace {

struct FontEntry {
    int32_t width, height;  // glyph size in pixels
    uint32_t slot;          // BitmapSlot of the font sheet
};

// font_1 and font_2 are 16 x 16, font_3 and font_4 32 x 32; colours run w, r, y, g, c, b, p
// within each group of seven.
constexpr FontEntry FontSheet(int32_t font) {
    if (font < FontLarge1) return FontEntry{16, 16, SlotFontSmall + static_cast<uint32_t>(font)};
    return FontEntry{32, 32, SlotFontLarge + static_cast<uint32_t>(font - FontLarge1)};
}

constexpr std::array<FontEntry, kFonts> kFontTable = [] {
    std::array<FontEntry, kFonts> table{};
    for (int32_t font = 0; font < kFonts; ++font) table[font] = FontSheet(font);
    return table;
}();

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenCentre = 320;
constexpr int32_t kFirstGlyph = ' ';
constexpr int32_t kGlyphsPerRow = 16;

constexpr int32_t kMaxPowerOfTen = 9;  // 10^9 is the largest power an int32 holds

const FontEntry* FindFont(int32_t font) {
    if (font < 0 || font >= kFonts) return nullptr;
    return &kFontTable[font];
}

// Destinations are worked out in 64 bits; a glyph whose place does not fit the drawing
// coordinates lies far off the screen anyway and is skipped.
bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// Characters are signed bytes: codes below 32 and all bytes from 128 up fall outside the
// sheet, so DrawSprite clips them away.
void DrawGlyph(int64_t x, int64_t y, int32_t ch, const FontEntry& font) {
    if (!FitsInt32(x) || !FitsInt32(y)) return;
    int32_t g = static_cast<int8_t>(ch) - kFirstGlyph;
    int32_t column = g % kGlyphsPerRow;
    int32_t row = g / kGlyphsPerRow;
    DrawSprite(static_cast<int32_t>(x), static_cast<int32_t>(y), font.slot, column * font.width,
               row * font.height, (column + 1) * font.width, (row + 1) * font.height);
}

// Where character i of a string of len characters goes; false for an unknown code.
bool PlaceCharacter(int32_t x, int32_t y, int64_t i, int64_t len, int32_t placement,
                    const FontEntry& font, int64_t* outX, int64_t* outY) {
    const int64_t w = font.width;
    const int64_t h = font.height;
    switch (placement) {
        case TextPixels:
            *outX = x + i * w;
            *outY = y;
            return true;
        case TextCentred:
            *outX = x + i * w + kScreenCentre - len * w / 2;
            *outY = y;
            return true;
        case TextRightAligned:
            *outX = kScreenWidth - (len - i) * w - x;
            *outY = y;
            return true;
        case TextCells:
            *outX = (x + i) * w;
            *outY = y * h;
            return true;
        case TextCellsCentred:
            *outX = (x + 2 * i) * w / 2 + kScreenCentre - len * w / 2;
            *outY = y * h;
            return true;
        default: return false;
    }
}

// Digit place p (1 for the units) of a non-negative value, and whether the value has no
// digits from that place up. Places beyond an int32's ten digits are always leading zeros.
int32_t DigitAt(int32_t value, int32_t p, bool* leading) {
    if (p - 1 > kMaxPowerOfTen) {
        *leading = true;
        return 0;
    }
    int32_t power = PowerOfTen(p - 1);
    *leading = value < power;
    return (value / power) % 10;
}

}  // namespace

void DrawText(int32_t x, int32_t y, const char* text, int32_t font, int32_t placement) {
    const FontEntry* entry = FindFont(font);
    if (!entry || !text) return;
    const int64_t len = static_cast<int64_t>(std::strlen(text));
    for (int64_t i = 0; i < len; ++i) {
        int64_t dx = 0;
        int64_t dy = 0;
        if (!PlaceCharacter(x, y, i, len, placement, *entry, &dx, &dy)) return;
        DrawGlyph(dx, dy, text[i], *entry);
    }
}

void DrawChar(int32_t x, int32_t y, int32_t ch, int32_t font, int32_t placement) {
    const FontEntry* entry = FindFont(font);
    if (!entry) return;
    int64_t dx = 0;
    int64_t dy = 0;
    if (!PlaceCharacter(x, y, 0, 1, placement, *entry, &dx, &dy)) return;
    DrawGlyph(dx, dy, ch, *entry);
}

void DrawNumber(int32_t x, int32_t y, int32_t digits, int32_t value, int32_t font,
                int32_t placement) {
    const FontEntry* entry = FindFont(font);
    if (!entry) return;
    bool cells = placement == NumberCells || placement == NumberCellsBlank;
    bool blankLeading = placement == NumberPixelsBlank || placement == NumberCellsBlank;
    if (placement != NumberPixels && !cells && !blankLeading) return;

    if (value < 0) value = 0;
    const int64_t w = entry->width;
    const int64_t h = entry->height;
    for (int32_t p = digits; p >= 1; --p) {
        const int64_t k = static_cast<int64_t>(digits) - p;
        bool leading = false;
        int32_t digit = DigitAt(value, p, &leading);
        // Blank leading zeros keep the right edge of a number still as it grows.
        if (blankLeading && leading && p != 1) continue;
        int64_t dx = cells ? (x + k) * w : x + k * w;
        int64_t dy = cells ? y * h : y;
        DrawGlyph(dx, dy, '0' + digit, *entry);
    }
}

int32_t PowerOfTen(int32_t n) {
    if (n < 0) return 0;
    // 10^10 and beyond do not fit an int32: they stay at the largest value it holds.
    if (n > kMaxPowerOfTen) return INT32_MAX;
    int32_t result = 1;
    for (int32_t i = 0; i < n; ++i) result *= 10;
    return result;
}

int32_t LetterToChar(int32_t letter) {
    if (letter >= 1 && letter <= 26) return letter + 64;  // "A".."Z"
    if (letter <= 36) {
        // 27..35 are "1".."9" and 36 is ":"; 0 and below give invisible control codes. The
        // code stays above 0 so it never ends a string and never wraps into a glyph.
        if (letter < -21) return 1;
        return letter + 22;
    }
    switch (letter) {
        case 37: return '-';
        case 38: return '+';
        case 39: return '.';
        case 40: return '!';
        case 41: return '?';
        default: return ' ';
    }
}
