// Speed of the game's own per-frame work: the rectangle search over a crowded field, and a
// whole play frame (update and the full redraw) as the frame loop runs it 60 times a second.
// Run it from build/game so that the frame draws the real pictures.
#include <benchmark/benchmark.h>

#include "bench/game_display.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "game/game_scene.h"
#include "game/game_screen.h"
#include "hosts/headless/headless.h"
#include "platform/platform_window.h"
#include "rules/erase.h"
#include "rules/field.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"

namespace {

// Every line of the visible field present, but no closed outline: the search visits every
// corner pair and finds nothing, its worst case.
void CrowdWithoutRectangles() {
    ResetField();
    for (int i = 1; i <= 7; ++i)
        for (int j = 2; j <= 12; ++j) XLineGrid[i][j] = (i + j) % 2 ? 3 : 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 11; ++j) YLineGrid[i][j] = 5;
}

void BM_CheckEraseCrowdedField(benchmark::State& state) {
    BringUpGameDisplay();
    Scene.startLevel = 0;
    StartGame(1);
    for (auto _ : state) {
        state.PauseTiming();
        CrowdWithoutRectangles();
        Game.phase = PhaseNext;
        state.ResumeTiming();
        CheckErase(AfterWait);
        benchmark::DoNotOptimize(Game.stepLines);
    }
}
BENCHMARK(BM_CheckEraseCrowdedField);

void BM_PlayFrame(benchmark::State& state) {
    BringUpGameDisplay();
    Scene.startLevel = 0;
    StartGame(1);
    Game.readyTimer = 1;
    GameUpdate();  // the first piece enters
    CrowdWithoutRectangles();
    for (auto _ : state) {
        ClearScreen(0);
        GameUpdate();
        GameDraw();
        if (Game.phase != PhaseFalling && Game.phase != PhaseLanded) {
            state.PauseTiming();
            StartGame(1);
            Game.readyTimer = 1;
            GameUpdate();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PlayFrame);

}  // namespace
