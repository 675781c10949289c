// Whether a text can be drawn in a font on this system: by the font itself, or by the fonts the
// system links to it for the characters it lacks. Without either, GDI draws the font's empty
// box for each missing character, and a box of Japanese text would be a row of boxes.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <cstring>

namespace {

constexpr int32_t kMostCharacters = 256;
// A cell comfortably larger than one character of a box's font.
constexpr int32_t kCellSize = 64;
// A noncharacter: no font draws it, so what GDI draws for it is the font's missing glyph.
constexpr wchar_t kNeverDrawn = 0xFFFF;

struct Cell {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap, oldFont;
    uint32_t* pixels;
};

bool OpenCell(Cell* cell, HFONT font) {
    *cell = Cell{};
    cell->dc = CreateCompatibleDC(nullptr);
    if (!cell->dc) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kCellSize;
    info.bmiHeader.biHeight = -kCellSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    cell->bitmap = CreateDIBSection(cell->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!cell->bitmap) {
        DeleteDC(cell->dc);
        return false;
    }
    cell->pixels = static_cast<uint32_t*>(bits);
    cell->oldBitmap = SelectObject(cell->dc, cell->bitmap);
    cell->oldFont = SelectObject(cell->dc, font);
    SetTextColor(cell->dc, RGB(255, 255, 255));
    SetBkColor(cell->dc, RGB(0, 0, 0));
    SetBkMode(cell->dc, OPAQUE);
    return true;
}

void CloseCell(Cell* cell) {
    SelectObject(cell->dc, cell->oldFont);
    SelectObject(cell->dc, cell->oldBitmap);
    DeleteObject(cell->bitmap);
    DeleteDC(cell->dc);
}

// One character drawn as text is drawn, with whatever font the system falls back to.
void Draw(Cell* cell, wchar_t character, uint32_t* into) {
    RECT whole{0, 0, kCellSize, kCellSize};
    ExtTextOutW(cell->dc, 2, 2, ETO_OPAQUE, &whole, &character, 1, nullptr);
    GdiFlush();
    std::memcpy(into, cell->pixels, sizeof(uint32_t) * kCellSize * kCellSize);
}

}  // namespace

bool Win32FontDrawsText(HFONT font, const wchar_t* text) {
    if (!text) return true;
    const int32_t length = static_cast<int32_t>(lstrlenW(text));
    if (length == 0) return true;
    Cell cell;
    if (!font || !OpenCell(&cell, font)) return false;
    // The font's own glyphs first: a font that has them all draws the text.
    WORD glyphs[kMostCharacters];
    bool drawn = true;
    for (int32_t at = 0; at < length && drawn; at += kMostCharacters) {
        const int32_t count = length - at < kMostCharacters ? length - at : kMostCharacters;
        if (GetGlyphIndicesW(cell.dc, text + at, count, glyphs, GGI_MARK_NONEXISTING_GLYPHS) ==
            GDI_ERROR) {
            drawn = false;
            break;
        }
        for (int32_t i = 0; i < count && drawn; ++i) {
            // Line ends and other controls draw nothing in any font.
            if (glyphs[i] != 0xFFFF || text[at + i] < L' ') continue;
            // Missing from the font: drawn all the same only when a linked font draws it,
            // that is, when it does not come out as the missing glyph.
            static uint32_t missing[kCellSize * kCellSize], seen[kCellSize * kCellSize];
            Draw(&cell, kNeverDrawn, missing);
            Draw(&cell, text[at + i], seen);
            drawn = std::memcmp(missing, seen, sizeof seen) != 0;
        }
    }
    CloseCell(&cell);
    return drawn;
}

HFONT Win32BoxFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}
