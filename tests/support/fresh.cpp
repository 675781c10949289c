#include "support/fresh.h"

#include "frame/frame.h"
#include "frame/random.h"
#include "game/field.h"
#include "input/input.h"
#include "options/buttons.h"
#include "platform/headless/headless.h"
#include "shell/scene.h"
#include "shell/settings.h"

void FreshProcess() {
    HeadlessReset();
    Frame = FrameState{};
    SeedRandom(0);
    Input = InputState{};
    ButtonLatch = ButtonLatchState{};
    for (auto& c : ActionCounters) c = 0;
    ResetSceneValues();
    Settings = SettingsRecord{};
    NormalRanking = RankingTable{};
    ExpertRanking = RankingTable{};
    for (auto& w : SaveBuffer) w = 0;
    Game = GameState{};
}
