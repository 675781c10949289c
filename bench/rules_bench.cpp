// The rules alone, linked as a replay verifier links them: one update of a game whose piece
// falls over a crowded field, against one plain copy of the screen (BM_ScreenCopy) taken in
// the same run. A verifier plays a whole game at this speed, with nothing drawn or heard.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/screen_copy.h"
#include "rules/actions.h"
#include "rules/field.h"
#include "rules/play.h"

namespace {

BENCHMARK(BM_ScreenCopy);

// Everything an update reads and changes, so that each iteration runs the same update.
struct PlaySnapshot {
    GameState game;
    int32_t xLines[kXGridColumns][kXGridRows], yLines[kYGridColumns][kYGridRows];
    int8_t counters[kActionCounters];
};
PlaySnapshot g_play;

// A game at level 0, its first piece falling over every line of the visible field but no
// closed outline: the collapse and the rectangle search have the most to look at.
bool SetUpCrowdedPlay() {
    BeginPlay(12345, 0);
    Game.readyTimer = 1;
    StepPlay(PlayInput{{}, 0, 1});  // the first piece enters
    for (int i = 1; i <= 7; ++i)
        for (int j = 2; j <= 12; ++j) XLineGrid[i][j] = (i + j) % 2 ? 3 : 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 11; ++j) YLineGrid[i][j] = 5;
    g_play.game = Game;
    std::memcpy(g_play.xLines, XLineGrid, sizeof XLineGrid);
    std::memcpy(g_play.yLines, YLineGrid, sizeof YLineGrid);
    std::memcpy(g_play.counters, ActionCounters, sizeof ActionCounters);
    return Game.phase == PhaseFalling;
}

void RestorePlay() {
    Game = g_play.game;
    std::memcpy(XLineGrid, g_play.xLines, sizeof XLineGrid);
    std::memcpy(YLineGrid, g_play.yLines, sizeof YLineGrid);
    std::memcpy(ActionCounters, g_play.counters, sizeof ActionCounters);
}

void BM_RulesOnly(benchmark::State& state) {
    if (!SetUpCrowdedPlay()) {
        state.SkipWithError("the first piece is not falling");
        return;
    }
    const PlayInput input{{}, 0, 2};
    for (auto _ : state) {
        RestorePlay();
        StepPlay(input);
        benchmark::DoNotOptimize(Game.piece);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RulesOnly);

}  // namespace
