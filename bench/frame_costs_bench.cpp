// What each kind of frame costs, against one plain copy of the screen (BM_ScreenCopy) taken in
// the same run: a crowded play frame, the game scene's update, a fade step, the ranking's
// detail page, the whole program's frame on the headless platform, start-up and the big asset
// load.
// Run it from build/game: every case needs the real pictures and sounds and refuses without.
#include <benchmark/benchmark.h>

#include <cstring>

#include "app/application.h"
#include "bench/screen_copy.h"
#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/sprite.h"
#include "game/game_scene.h"
#include "game/game_screen.h"
#include "hosts/headless/headless_window.h"
#include "input/buttons.h"
#include "platform/platform_window.h"
#include "rules/field.h"
#include "scenes/callbacks.h"
#include "scenes/ranking.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "support/fresh.h"

namespace {

BENCHMARK(BM_ScreenCopy);

int64_t g_framesToRun = 0;

void QuitAfterFrames() {
    if (--g_framesToRun == 0) PlatformPostQuit();
}

// The real program up to its first presented frame: window, display, sound, start-up (fonts,
// settings, rankings) and one frame of the credits. The loop returns with everything still up.
void StartProgram() {
    FreshProcess();
    g_framesToRun = 1;
    SetFrameTrace(QuitAfterFrames);
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    SetFrameTrace(nullptr);
}

bool AssetsPresent() {
    return BitmapSlots[SlotFontSmall].surface && BitmapSlots[SlotLineX].surface &&
           BitmapSlots[SlotBackgroundBase].surface;
}

// Every line of the visible field present, but no closed outline.
void CrowdWithoutRectangles() {
    for (int i = 1; i <= 7; ++i)
        for (int j = 2; j <= 12; ++j) XLineGrid[i][j] = (i + j) % 2 ? 3 : 0;
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 11; ++j) YLineGrid[i][j] = 5;
}

// Everything a play frame reads and changes, so that each iteration draws the same frame.
struct PlaySnapshot {
    GameState game;
    SceneValues scene;
    int32_t xLines[kXGridColumns][kXGridRows], yLines[kYGridColumns][kYGridRows];
    int8_t counters[kActionCounters];
    ButtonLatchState latch;
};
PlaySnapshot g_play;

void TakePlaySnapshot() {
    g_play.game = Game;
    g_play.scene = Scene;
    std::memcpy(g_play.xLines, XLineGrid, sizeof XLineGrid);
    std::memcpy(g_play.yLines, YLineGrid, sizeof YLineGrid);
    std::memcpy(g_play.counters, ActionCounters, sizeof ActionCounters);
    g_play.latch = ButtonLatch;
}

void RestorePlaySnapshot() {
    Game = g_play.game;
    Scene = g_play.scene;
    std::memcpy(XLineGrid, g_play.xLines, sizeof XLineGrid);
    std::memcpy(YLineGrid, g_play.yLines, sizeof YLineGrid);
    std::memcpy(ActionCounters, g_play.counters, sizeof ActionCounters);
    ButtonLatch = g_play.latch;
}

constexpr const char* kNoAssets = "run from build/game: the real pictures and sounds are needed";

constexpr int32_t kPopupNumbers = 150;  // the popup's numbers standing still
constexpr int32_t kBannerStanding = 60;

// A normal game at level 0 (the shadow shows), its first piece falling over a crowded field,
// with the erase popup and the LEVEL banner up; all the game's pictures loaded. Null when
// that is so, else why not.
const char* SetUpCrowdedPlay() {
    StartProgram();
    LoadGameBitmaps();
    LoadWaves();
    if (!AssetsPresent()) return kNoAssets;
    Settings.showLineShadow = 1;
    Settings.eraseProperty = 1;
    Scene.startLevel = 0;
    StartGame(1);
    Game.readyTimer = 1;
    GameUpdate();  // the first piece enters
    CrowdWithoutRectangles();
    Game.popupX = 3;
    Game.popupY = 6;
    Game.stepPoints = 12345;
    Game.bannerTimer = kBannerStanding;
    Game.bannerLevel = 1;
    Scene.frame = 0;  // the shadow's visible phase
    TakePlaySnapshot();
    return Game.phase == PhaseFalling ? nullptr : "the first piece is not falling";
}

// UpdateActionCounters to the end of GameDraw. The update puts the popup away while the banner
// stands, so it is raised again for the drawing: the heaviest picture play can ask for.
void BM_PlayFrame(benchmark::State& state) {
    if (const char* why = SetUpCrowdedPlay()) {
        state.SkipWithError(why);
        return;
    }
    for (auto _ : state) {
        RestorePlaySnapshot();
        GameUpdate();
        Game.popupTimer = kPopupNumbers;
        GameDraw();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlayFrame);

// The game scene's update: the recorder, the rules and what the scene makes of their events.
void BM_GameUpdate(benchmark::State& state) {
    if (const char* why = SetUpCrowdedPlay()) {
        state.SkipWithError(why);
        return;
    }
    for (auto _ : state) {
        RestorePlaySnapshot();
        GameUpdate();
        benchmark::DoNotOptimize(Game.piece);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GameUpdate);

// The whole program's frame as the simulator runs it: FrameCallback and the presentation.
void BM_ProgramFrame(benchmark::State& state) {
    if (const char* why = SetUpCrowdedPlay()) {
        state.SkipWithError(why);
        return;
    }
    for (auto _ : state) {
        RestorePlaySnapshot();
        FrameCallback();
        PresentFrame();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProgramFrame);

// A middle level of a full-screen fade over the title's background.
void BM_FadeStep(benchmark::State& state) {
    StartProgram();
    LoadGameBitmaps();
    if (!AssetsPresent()) {
        state.SkipWithError(kNoAssets);
        return;
    }
    DrawSprite(0, 0, SlotBackgroundBase, 0, 0, -1, -1);
    for (auto _ : state) {
        FadeLevel = 9;
        benchmark::DoNotOptimize(StepFade(1, 0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FadeStep);

// The ranking's detail page standing: a background and ten rows of text.
void BM_RankingDetail(benchmark::State& state) {
    StartProgram();
    LoadGameBitmaps();
    if (!AssetsPresent()) {
        state.SkipWithError(kNoAssets);
        return;
    }
    EnterRanking(SceneTitle);
    Scene.enterTimer = 0;
    DetailShowTimer = 100;
    for (auto _ : state) {
        ClearScreen(0);
        RankingDraw();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RankingDetail);

// From the process entry to the first presented frame.
void BM_StartUp(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FreshProcess();
        g_framesToRun = 1;
        SetFrameTrace(QuitAfterFrames);
        state.ResumeTiming();
        RunApplication(GameRoutines{StartupCallback, FrameCallback});
    }
    SetFrameTrace(nullptr);
    if (HeadlessWindow().presentedFrames != 1 || !BitmapSlots[SlotFontSmall].surface)
        state.SkipWithError(kNoAssets);
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// The loading scene's big frame: every picture and sound but the fonts.
void BM_AssetLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        StartProgram();
        state.ResumeTiming();
        LoadGameBitmaps();
        LoadWaves();
    }
    if (!AssetsPresent()) state.SkipWithError(kNoAssets);
}
BENCHMARK(BM_AssetLoad)->Unit(benchmark::kMillisecond);

}  // namespace
