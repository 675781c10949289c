#include "frame/sprite.h"

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/slot_restore.h"

#include <cstring>

int32_t FadeLevel = 20;

namespace {

constexpr int32_t kFadeVisible = 20;
constexpr int32_t kFadeCovered = 0;
constexpr int32_t kFadeHalf = 10;

// One pixel in table[level] stays visible at levels 1..10; at 11..19 one pixel in
// table[20 - level] is covered. Entry 0 is never read.
constexpr int32_t kDissolve[11] = {-1, 103, 76, 51, 38, 25, 18, 13, 7, 3, 2};

// Eight pixels at a time: a fixed count the compiler turns into one vector operation.
constexpr int32_t kFadeBlock = 8;

SpriteTraceFn g_trace = nullptr;

// Covers the pixels of a span whose mask is set.
void FadeSpan(uint16_t* span, const uint16_t* mask, int32_t n, uint16_t pixel) {
    int32_t x = 0;
    for (; x + kFadeBlock <= n; x += kFadeBlock) {
        uint16_t d[kFadeBlock], k[kFadeBlock];
        std::memcpy(d, span + x, sizeof d);
        std::memcpy(k, mask + x, sizeof k);
        for (int32_t i = 0; i < kFadeBlock; ++i)
            d[i] = static_cast<uint16_t>((d[i] & ~k[i]) | (pixel & k[i]));
        std::memcpy(span + x, d, sizeof d);
    }
    for (; x < n; ++x)
        if (mask[x]) span[x] = pixel;
}

Surface* BackSurface() { return DisplayDevice.ready ? DisplayDevice.back : nullptr; }

}  // namespace

void SetSpriteTrace(SpriteTraceFn fn) { g_trace = fn; }

void ResetSprites() {
    FadeLevel = kFadeVisible;
    g_trace = nullptr;
}

int32_t ClearScreen(uint32_t colour) {
    Surface* back = BackSurface();
    if (!back) return 0;
    const uint32_t pixel = ColorMatch(back, colour);
    return FillSurface(back, pixel) == SurfaceOk ? 1 : 0;
}

int32_t DrawSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top, int32_t right,
                   int32_t bottom) {
    if (g_trace) g_trace(x, y, slot, left, top, right, bottom);
    const uint32_t index = slot & 0xFFFFu;
    if (index >= static_cast<uint32_t>(kBitmapSlots)) return 0;
    BitmapSlot& s = BitmapSlots[index];
    if (!s.surface) return 0;

    // 64-bit arithmetic: coordinates far off the screen must not wrap around onto it.
    int64_t l = left, t = top, r = right, b = bottom;
    int64_t dx = x, dy = y;
    if (right == -1) r = l + s.width;
    if (bottom == -1) b = t + s.height;

    // The source is cut to the picture; the destination stays where it was asked.
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > s.width) r = s.width;
    if (b > s.height) b = s.height;

    const ClipRect& clip = DisplayDevice.clip;
    if (dx < clip.left) {
        l += clip.left - dx;
        dx = clip.left;
    }
    if (dy < clip.top) {
        t += clip.top - dy;
        dy = clip.top;
    }
    if (dx + (r - l) > clip.right) r = clip.right - dx + l;
    if (dy + (b - t) > clip.bottom) b = clip.bottom - dy + t;
    if (r - l < 1 || b - t < 1) return 0;

    const int32_t result =
        CopySurfaceRect(BackSurface(), static_cast<int32_t>(dx), static_cast<int32_t>(dy),
                        s.surface, static_cast<int32_t>(l), static_cast<int32_t>(t),
                        static_cast<int32_t>(r), static_cast<int32_t>(b), s.useColourKey);
    if (result == SurfaceLost) {
        // Reloaded now, drawn from the next call on.
        RestoreSlot(static_cast<uint16_t>(index));
        return 1;
    }
    return result == SurfaceOk ? 1 : 0;
}

void SetFade(int32_t on) { FadeLevel = on ? kFadeVisible : kFadeCovered; }

int32_t StepFade(int32_t direction, uint32_t colour) {
    if (direction && FadeLevel < kFadeVisible) ++FadeLevel;
    if (!direction && FadeLevel > kFadeCovered) --FadeLevel;
    if (FadeLevel == kFadeVisible) return 1;
    if (FadeLevel == kFadeCovered) {
        ClearScreen(colour);
        return 1;
    }

    Surface* back = BackSurface();
    if (!back) return 1;
    const uint16_t pixel = static_cast<uint16_t>(ColorMatch(back, colour));
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    if (LockSurface(back, &pixels, &pitch) != SurfaceOk) return 1;

    const bool keepOneInM = FadeLevel <= kFadeHalf;
    const int32_t m = keepOneInM ? kDissolve[FadeLevel] : kDissolve[kFadeVisible - FadeLevel];
    const ClipRect& clip = DisplayDevice.clip;
    const int32_t x0 = clip.left < 0 ? 0 : clip.left;
    const int32_t y0 = clip.top < 0 ? 0 : clip.top;
    const int32_t x1 = clip.right > back->width ? back->width : clip.right;
    const int32_t y1 = clip.bottom > back->height ? back->height : clip.bottom;
    // Which pixels are covered repeats every m along i = y * 640 + x: one line of masks,
    // entered at each row's own phase, serves every row.
    const int32_t width = x1 - x0;
    const int32_t line = width < kScreenWidth ? width : kScreenWidth;
    uint16_t masks[kScreenWidth + 103];  // a line, and the longest period to enter it at
    for (int32_t k = 0; k < m + line; ++k)
        masks[k] = (k % m != 0) == keepOneInM ? uint16_t{0xFFFF} : uint16_t{0};
    for (int32_t y = y0; y < y1; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                    static_cast<int64_t>(y) * pitch) +
                        x0;
        const int64_t phase = static_cast<int64_t>(y) * kScreenWidth + x0;
        for (int32_t from = 0; from < width; from += line) {
            const int32_t n = width - from < line ? width - from : line;
            FadeSpan(row + from, masks + (phase + from) % m, n, pixel);
        }
    }
    UnlockSurface(back);
    return 0;
}
