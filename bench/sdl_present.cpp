// The SDL platform's presentation of one 640 x 480 16-bit picture (PlatformPresent: the copy
// into the streaming texture and the conversion to the window), against one plain copy of
// the screen. No X display is needed: SDL's dummy video driver stands in with a software
// renderer, which does the conversion a display without acceleration would.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/screen_copy.h"
#include "platform/platform_window.h"
#include "platform/sdl/sdl_platform.h"

namespace {

BENCHMARK(BM_ScreenCopy);

void BM_SdlPresent(benchmark::State& state) {
    // A caller's choice of driver stands.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static bool ready = PlatformRegisterWindowClass("Class Kestrel") &&
                        PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480);
    if (!ready) {
        state.SkipWithError("no SDL window");
        return;
    }
    std::vector<uint16_t> picture(size_t{640} * 480);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint16_t>(i * 2654435761u);
    for (auto _ : state)
        if (!PlatformPresent(picture.data(), 640 * 2, 640, 480)) {
            state.SkipWithError("PlatformPresent failed");
            return;
        }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SdlPresent);

// The presentation to the texture alone: the part of a present that depends on the picture;
// the renderer's copy to the window is SDL's own and the graphics card's where there is one.
void BM_SdlTextureFill(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static bool ready = PlatformRegisterWindowClass("Class Kestrel") &&
                        PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480);
    if (!ready) {
        state.SkipWithError("no SDL window");
        return;
    }
    std::vector<uint16_t> picture(size_t{640} * 480);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint16_t>(i * 2654435761u);
    for (auto _ : state)
        if (!SdlFillTexture(picture.data(), 640 * 2, 640, 480)) {
            state.SkipWithError("SdlFillTexture failed");
            return;
        }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SdlTextureFill);

}  // namespace
