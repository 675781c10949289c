#include "scenes/scene_table.h"

#include <cstdint>

#include "game/game_scene.h"
#include "game/game_screen.h"
#include "options/graphic_config.h"
#include "options/key_config.h"
#include "options/key_test.h"
#include "options/option_menu.h"
#include "options/sound_test.h"
#include "scenes/credits.h"
#include "scenes/mode_select.h"
#include "scenes/name_entry.h"
#include "scenes/ranking.h"
#include "scenes/title.h"
#include "shell/scene.h"

namespace {

// One row per scene, in SceneId order. The two ranking ids share their routines. Only the
// scenes that others hand over to by SceneId need an entry routine here.
const SceneEntry kScenes[] = {
    {SceneLoading, nullptr, LoadingUpdate, LoadingDraw},
    {SceneTitle, EnterTitle, TitleUpdate, TitleDraw},
    {SceneModeSelect, nullptr, ModeSelectUpdate, ModeSelectDraw},
    // Option menu and its sub-screens (2..6).
    {SceneOptionMenu, EnterOptionMenu, OptionMenuUpdate, OptionMenuDraw},
    {SceneKeyConfig, nullptr, KeyConfigUpdate, KeyConfigDraw},
    {SceneKeyTest, nullptr, KeyTestUpdate, KeyTestDraw},
    {SceneGraphicConfig, nullptr, GraphicConfigUpdate, GraphicConfigDraw},
    {SceneSoundTest, nullptr, SoundTestUpdate, SoundTestDraw},
    // Game (101), name entry (151), ranking (201, 211).
    {SceneGameNormal, nullptr, GameUpdate, GameDraw},
    {SceneNameEntry, [](int32_t) { EnterNameEntry(); }, NameEntryUpdate, NameEntryDraw},
    {SceneRankingFromTitle, EnterRanking, RankingUpdate, RankingDraw},
    {SceneRankingAfterEntry, EnterRanking, RankingUpdate, RankingDraw},
};

}  // namespace

void RegisterScenes() {
    SetSceneTable(kScenes, static_cast<int32_t>(sizeof kScenes / sizeof kScenes[0]));
}
