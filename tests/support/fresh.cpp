#include "support/fresh.h"

#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "app/pacing.h"
#include "frame/random.h"
#include "game/field.h"
#include "game/game_screen.h"
#include "input/input.h"
#include "input/buttons.h"
#include "options/sound_test.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_window.h"
#include "scenes/name_entry.h"
#include "scenes/ranking.h"
#include "scenes/scene_table.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"

void FreshProcess() {
    HeadlessReset();
    ResetBitmapSlots();
    ResetDisplay();
    ResetSprites();
    ResetDiagnostics();
    HeadlessResetWindow();
    ResetSound();
    HeadlessAudioReset();
    Frame = FrameState{};
    ResetPacing();
    SeedRandom(0);
    Input = InputState{};
    ButtonLatch = ButtonLatchState{};
    for (auto& c : ActionCounters) c = 0;
    SoundTestNumber = 0;
    ResetSceneValues();
    ResetRanking();
    ResetNameEntry();
    Settings = SettingsRecord{};
    NormalRanking = RankingTable{};
    ExpertRanking = RankingTable{};
    for (auto& w : SaveBuffer) w = 0;
    SetSaveTrace(nullptr);
    Game = GameState{};
    ResetGameScreen();
    ClearFieldGrids();
    RegisterScenes();
}
