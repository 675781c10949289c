// What recording a game costs a play frame: RecordButtons, as GameUpdate calls it once per
// update, against a whole play frame (ClearScreen, GameUpdate, GameDraw) measured the same way
// as game_frame_bench's. Run it from build/game so that the frame draws the real pictures.
// The recording must stay under 1% of the frame.
#include <benchmark/benchmark.h>

#include "bench/game_display.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "game/game_scene.h"
#include "game/game_screen.h"
#include "game/replay_record.h"
#include "hosts/headless/headless.h"
#include "input/buttons.h"
#include "input/input.h"
#include "platform/platform_window.h"
#include "rules/field.h"
#include "shell/catalogue.h"
#include "shell/scene.h"

namespace {

void StartPlay() {
    Scene.startLevel = 0;
    StartGame(1);
    Game.readyTimer = 1;
    GameUpdate();  // the first piece enters
}

// The worst case: a button changes at every update, so every update closes a run and writes
// it. The recording starts again before the buffer fills (outside the timing).
void BM_RecordButtonsChanging(benchmark::State& state) {
    BringUpGameDisplay();
    StartPlay();
    uint32_t n = 0;
    for (auto _ : state) {
        ButtonLatch.key[5] = (++n & 1) ? ButtonPressed : ButtonReleased;
        RecordButtons();
        if (RecordedInfo().frameBytes > kReplayFrameBytes - 64) {
            state.PauseTiming();
            StartPlay();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(RecordedInfo().frameBytes);
}
BENCHMARK(BM_RecordButtonsChanging);

// The usual case: the buttons as the update before, the open run grows.
void BM_RecordButtonsHeld(benchmark::State& state) {
    BringUpGameDisplay();
    StartPlay();
    ButtonLatch = ButtonLatchState{};
    ButtonLatch.left = ButtonHeld;
    for (auto _ : state) RecordButtons();
    benchmark::DoNotOptimize(RecordedInfo().frames);
}
BENCHMARK(BM_RecordButtonsHeld);

// A play frame, recording included (GameUpdate records its buttons).
void BM_PlayFrameRecorded(benchmark::State& state) {
    BringUpGameDisplay();
    StartPlay();
    for (auto _ : state) {
        ClearScreen(0);
        GameUpdate();
        GameDraw();
        if (Game.phase != PhaseFalling && Game.phase != PhaseLanded) {
            state.PauseTiming();
            StartPlay();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PlayFrameRecorded);

}  // namespace
