#include "frame/gdi_text.h"

#include "frame/display.h"
#include "frame/frame.h"
#include "frame/gdi_font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

GdiTextSettings GdiText;

namespace {

constexpr int kGdiTextLength = 2400;
constexpr int32_t kTransparentBackground = 1;

// The face's glyphs fill a cell of this size; other character sizes scale it.
constexpr int32_t kCellWidth = 8;
constexpr int32_t kCellHeight = 16;

bool GlyphPixel(unsigned char c, int32_t cellX, int32_t cellY) {
    // One column of margin on the left, each glyph row two pixels tall.
    const int32_t col = cellX - 1;
    if (col < 0 || col > 4) return false;
    return (GdiFontColumn(c, col) >> (cellY / 2)) & 1;
}

void DrawCell(Surface* surface, const ClipRect& clip, int64_t x, int64_t y, unsigned char c,
              uint16_t ink, uint16_t paper) {
    const int32_t w = GdiText.charWidth;
    const int32_t h = GdiText.charHeight;
    if (x >= clip.right || y >= clip.bottom || x + w <= clip.left || y + h <= clip.top) return;
    const bool opaque = GdiText.backgroundMode != kTransparentBackground;
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    if (LockSurface(surface, &pixels, &pitch) != SurfaceOk) return;
    // Only the part of the cell inside the clip is visited.
    const int64_t firstY = std::max<int64_t>(0, clip.top - y);
    const int64_t lastY = std::min<int64_t>(h, clip.bottom - y);
    const int64_t firstX = std::max<int64_t>(0, clip.left - x);
    const int64_t lastX = std::min<int64_t>(w, clip.right - x);
    for (int64_t cy = firstY; cy < lastY; ++cy) {
        uint16_t* row =
            reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + (y + cy) * pitch);
        for (int64_t cx = firstX; cx < lastX; ++cx) {
            const int64_t px = x + cx;
            const bool on = GlyphPixel(c, static_cast<int32_t>(cx * kCellWidth / w),
                                       static_cast<int32_t>(cy * kCellHeight / h));
            if (on)
                row[px] = ink;
            else if (opaque)
                row[px] = paper;
        }
    }
    UnlockSurface(surface);
}

}  // namespace

void SetGdiTextDefaults() {
    GdiText.charWidth = 8;
    GdiText.charHeight = 16;
    GdiText.colour = 0xFFFFFF;
    std::snprintf(GdiText.faceName, sizeof GdiText.faceName, "%s", "標準ゴシック");
    GdiText.backgroundMode = 0;
    GdiText.backgroundColour = 0x000000;
    GdiText.centring = 0;
}

void ResetGdiText() { GdiText = GdiTextSettings{}; }

void DrawGdiText(int32_t x, int32_t y, const char* format, ...) {
    ClipRect clip{};
    Surface* surface = GetTextContext(&clip);
    if (!surface) return;
    if (GdiText.charWidth < 1 || GdiText.charHeight < 1) {
        ReleaseTextContext(surface);
        return;
    }
    char text[kGdiTextLength];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const int64_t length = static_cast<int64_t>(std::strlen(text));
    int64_t left = x;
    if (GdiText.centring) left = (kScreenWidth - length * GdiText.charWidth) / 2;

    const uint16_t ink = ColourToPixel(GdiText.colour);
    const uint16_t paper = ColourToPixel(GdiText.backgroundColour);
    int64_t penX = left;
    int64_t penY = y;
    for (int64_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && text[i + 1] == '\n') ++i;
            penX = left;
            penY += GdiText.charHeight;
            continue;
        }
        DrawCell(surface, clip, penX, penY, c, ink, paper);
        penX += GdiText.charWidth;
    }
    ReleaseTextContext(surface);
}

float DrawFrameRate(int32_t x, int32_t y) {
    const int32_t centring = GdiText.centring;
    GdiText.centring = 0;
    DrawGdiText(x, y, "%.1f", static_cast<double>(Frame.measuredFrameRate));
    GdiText.centring = centring;
    return Frame.measuredFrameRate;
}
