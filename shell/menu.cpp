#include "shell/menu.h"

#include <cstdint>

#include "frame/sprite.h"
#include "input/buttons.h"
#include "input/input.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kLogoRow = 3;
constexpr int32_t kLogoFont = FontLarge1;  // 32-pixel white
constexpr int32_t kHighlightColours = 6;

}  // namespace

void EnterMenuScene(int32_t scene) {
    Scene.id = scene;
    Scene.enterTimer = kMenuSlideFrames;
    Scene.leaveTimer = 0;
    Scene.menuCursor = 0;
}

MenuPhase StepMenuTimers() {
    if (Scene.enterTimer < 1 && Scene.leaveTimer < 1) return MenuIdle;
    if (Scene.enterTimer != 0) {
        --Scene.enterTimer;
        return MenuEntering;
    }
    if (Scene.leaveTimer > 1) {
        --Scene.leaveTimer;
        return MenuLeaving;
    }
    Scene.leaveTimer = 0;
    return MenuLeaveNow;
}

// DOWN and UP in the same frame cancel out, with a sound for each step.
void MoveMenuCursor(int32_t last) {
    if (ButtonPressedNow(ButtonLatch.down) && Scene.menuCursor < last) {
        ++Scene.menuCursor;
        PlayWave(WaveSlotChoice, 0);
    }
    if (ButtonPressedNow(ButtonLatch.up) && Scene.menuCursor >= 1) {
        --Scene.menuCursor;
        PlayWave(WaveSlotChoice, 0);
    }
}

bool MenuConfirmPressed() {
    return ButtonPressedNow(ButtonLatch.key[1]) || ButtonPressedNow(ButtonLatch.key[4]);
}

void DrawMenuBackdrop() {
    DrawSprite(0, 0, SlotBackgroundBase + Scene.backgroundIndex, 0, 0, -1, -1);
    DrawText(0, kLogoRow, "+RAIL", kLogoFont, TextCellsCentred);
}

int32_t MenuBlinkFont() { return kMenuFont + (Scene.frame / 4) % kHighlightColours + 1; }
int32_t MenuFlashFont() { return kMenuFont + Scene.frame % kHighlightColours + 1; }
