#include "shell/scene_table.h"

#include "game/game_scene.h"
#include "options/graphic_config.h"
#include "options/key_config.h"
#include "options/key_test.h"
#include "options/option_menu.h"
#include "options/sound_test.h"
#include "shell/name_entry.h"
#include "shell/ranking.h"
#include "shell/scene.h"
#include "shell/title.h"

namespace {

// One row per scene, in SceneId order. The two ranking ids share their routines.
const SceneEntry kScenes[] = {
    {SceneLoading, LoadingUpdate, LoadingDraw},
    {SceneTitle, TitleUpdate, TitleDraw},
    {SceneModeSelect, ModeSelectUpdate, ModeSelectDraw},
    // Option menu and its sub-screens (2..6).
    {SceneOptionMenu, OptionMenuUpdate, OptionMenuDraw},
    {SceneKeyConfig, KeyConfigUpdate, KeyConfigDraw},
    {SceneKeyTest, KeyTestUpdate, KeyTestDraw},
    {SceneGraphicConfig, GraphicConfigUpdate, GraphicConfigDraw},
    {SceneSoundTest, SoundTestUpdate, SoundTestDraw},
    // Game (101), name entry (151), ranking (201, 211).
    {SceneGameNormal, GameUpdate, GameDraw},
    {SceneNameEntry, NameEntryUpdate, NameEntryDraw},
    {SceneRankingFromTitle, RankingUpdate, RankingDraw},
    {SceneRankingAfterEntry, RankingUpdate, RankingDraw},
};

}  // namespace

const SceneEntry* FindScene(int32_t id) {
    for (const SceneEntry& scene : kScenes) {
        if (scene.id == id) return &scene;
    }
    return nullptr;
}
