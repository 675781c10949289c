#include "scenes/callbacks.h"

#include "frame/bitmap_slots.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "input/input.h"
#include "options/option_menu.h"
#include "platform/keys.h"
#include "platform/platform.h"
#include "scenes/credits.h"
#include "scenes/scene_table.h"
#include "scenes/title.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"

namespace {

constexpr int32_t kFrameRate = 60;
constexpr int32_t kSpareOptionScene = 7;  // no screen uses it; Escape treats it as a sub-screen

}  // namespace

void StartupCallback() {
    RegisterScenes();
    SetFrameRate(kFrameRate);
    PlatformShowCursor(false);
    EnableJoystick(1);
    // Runs before LoadSettings, so it sees the built-in value, not the saved one.
    if (Settings.useVram == 1) SetUseVideoMemory(1);
    SetCloseCallback(CloseCallback);
    uint32_t t1 = static_cast<uint32_t>(PlatformCalendarSeconds());
    uint32_t t2 = static_cast<uint32_t>(PlatformCalendarSeconds());
    SeedRandom(t1 * t2);
    LoadFonts();
    LoadSettings();
    EnterLoading();
}

void FrameCallback() {
    ClearScreen(0);
    LatchButtons();
    const SceneEntry* scene = FindScene(Scene.id);
    if (scene && scene->update) scene->update();
    // An update that changed scenes has the new scene drawn in this same frame.
    scene = FindScene(Scene.id);
    if (scene && scene->draw) scene->draw();
    // Blink phases read it as a non-negative count; start over rather than overflow.
    Scene.frame = Scene.frame == INT32_MAX ? 0 : Scene.frame + 1;
}

int32_t CloseCallback() {
    // Every close request takes a game back to the title: that is its hand-over.
    if (Scene.id == SceneGameNormal) FinishRecording(ReplayEndLeft);
    // Shift held down at a close request: back to the title from anywhere, even the title.
    if (QueryKey(VkShift) == ButtonHeld) {
        EnterTitle(Scene.id);
        return 0;
    }
    switch (Scene.id) {
        case SceneLoading:
        case SceneTitle: SaveSettings(); return 1;
        case SceneModeSelect:
        case SceneOptionMenu:
        case SceneGameNormal:
        case SceneNameEntry:
        case SceneRankingFromTitle:
        case SceneRankingAfterEntry: EnterTitle(Scene.id); return 0;
        case SceneKeyConfig:
        case SceneKeyTest:
        case SceneGraphicConfig:
        case SceneSoundTest:
        case kSpareOptionScene:
            // The option sub-screens go back to the option menu.
            EnterOptionMenu(Scene.id);
            return 0;
        default: return 0;
    }
}
