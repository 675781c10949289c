// Speed of the per-frame drawing: a screen of keyed glyphs, and one full-screen fade step.
#include <benchmark/benchmark.h>

#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "platform/platform_window.h"

namespace {

constexpr uint16_t kFontSlot = 0;
constexpr int32_t kGlyph = 16;

void BringUp() {
    static bool ready = false;
    if (ready) return;
    PlatformRegisterWindowClass("Class Kestrel");
    PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480);
    SetupDisplay();
    // A font sheet of 16 x 16 glyphs: magenta ground, a white bar in each glyph.
    CreateSlotSurface(kFontSlot, 16 * kGlyph, 6 * kGlyph, 1, 0xFF00FF);
    Surface* sheet = BitmapSlots[kFontSlot].surface;
    for (int32_t y = 0; y < sheet->height; ++y)
        for (int32_t x = 0; x < sheet->width; ++x)
            if (x % kGlyph >= 4 && x % kGlyph < 12) SetSurfacePixel(sheet, x, y, 0xFFFFFF);
    ready = true;
}

// A full screen of glyphs: 40 x 30 of them.
void BM_DrawSpriteGlyphs(benchmark::State& state) {
    BringUp();
    int32_t glyph = 0;
    for (auto _ : state) {
        for (int32_t row = 0; row < 30; ++row)
            for (int32_t col = 0; col < 40; ++col) {
                const int32_t gx = (glyph % 16) * kGlyph, gy = (glyph / 16 % 6) * kGlyph;
                benchmark::DoNotOptimize(DrawSprite(col * kGlyph, row * kGlyph, kFontSlot, gx, gy,
                                                    gx + kGlyph, gy + kGlyph));
                ++glyph;
            }
    }
    state.SetItemsProcessed(state.iterations() * 40 * 30);
}
BENCHMARK(BM_DrawSpriteGlyphs);

void BM_StepFadeFullScreen(benchmark::State& state) {
    BringUp();
    const int32_t level = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        FadeLevel = level - 1;
        benchmark::DoNotOptimize(StepFade(1, 0));
    }
}
BENCHMARK(BM_StepFadeFullScreen)->Arg(1)->Arg(10)->Arg(19);

}  // namespace
