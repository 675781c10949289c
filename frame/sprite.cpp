#include "frame/sprite.h"

#include "frame/bitmap_slots.h"
#include "frame/display.h"

int32_t FadeLevel = 20;

namespace {

constexpr int32_t kFadeVisible = 20;
constexpr int32_t kFadeCovered = 0;
constexpr int32_t kFadeHalf = 10;

// One pixel in table[level] stays visible at levels 1..10; at 11..19 one pixel in
// table[20 - level] is covered. Entry 0 is never read.
constexpr int32_t kDissolve[11] = {-1, 103, 76, 51, 38, 25, 18, 13, 7, 3, 2};

SpriteTraceFn g_trace = nullptr;

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
    for (int32_t y = y0; y < y1; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                    static_cast<int64_t>(y) * pitch);
        // i = y * 640 + x, its remainder carried along the row instead of divided anew.
        int32_t phase = static_cast<int32_t>((static_cast<int64_t>(y) * kScreenWidth + x0) % m);
        for (int32_t x = x0; x < x1; ++x) {
            if ((phase != 0) == keepOneInM) row[x] = pixel;
            if (++phase == m) phase = 0;
        }
    }
    UnlockSurface(back);
    return 0;
}
