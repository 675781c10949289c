// The SDL platform's presentation of one 640 x 480 16-bit picture (PlatformPresent: the copy
// into the streaming texture and the conversion to the window), against one plain copy of
// the screen. No X display is needed: SDL's dummy video driver stands in with a software
// renderer, which does the conversion a display without acceleration would.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/screen_copy.h"
#include "hosts/sdl/sdl_platform.h"
#include "platform/platform_window.h"

namespace {

BENCHMARK(BM_ScreenCopy);

// The game's window on SDL's dummy video driver (a caller's choice of driver stands), and a
// picture of mixed colours; false when there is no window.
bool OpenWindow() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static bool ready = PlatformRegisterWindowClass("Class Kestrel") &&
                        PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480);
    return ready;
}

std::vector<uint16_t> MixedPicture() {
    std::vector<uint16_t> picture(size_t{640} * 480);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint16_t>(i * 2654435761u);
    return picture;
}

// One presentation routine, timed: the whole present or the fill of the texture alone.
void TimePresent(benchmark::State& state,
                 bool (*present)(const uint16_t*, int32_t, int32_t, int32_t)) {
    if (!OpenWindow()) {
        state.SkipWithError("no SDL window");
        return;
    }
    const std::vector<uint16_t> picture = MixedPicture();
    for (auto _ : state)
        if (!present(picture.data(), 640 * 2, 640, 480)) {
            state.SkipWithError("the presentation failed");
            return;
        }
    state.SetItemsProcessed(state.iterations());
}

void BM_SdlPresent(benchmark::State& state) { TimePresent(state, PlatformPresent); }
BENCHMARK(BM_SdlPresent);

// The presentation to the texture alone: the part of a present that depends on the picture;
// the renderer's copy to the window is SDL's own and the graphics card's where there is one.
void BM_SdlTextureFill(benchmark::State& state) { TimePresent(state, SdlFillTexture); }
BENCHMARK(BM_SdlTextureFill);

}  // namespace
