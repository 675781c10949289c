// The mode select: NORMAL MODE starts a game, EXPERT MODE only plays its animation, RETURN
// TO MAINMENU goes back to the title. The StartLevel comes from the buttons held while a
// mode is confirmed.
#include <cstdint>

#include "frame/sprite.h"
#include "game/game_scene.h"
#include "input/buttons.h"
#include "input/input.h"
#include "scenes/mode_select.h"
#include "scenes/title.h"
#include "shell/catalogue.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kModeLeaveFrames = 40;  // slide out, the last 20 dissolving to black
constexpr int32_t kReturnLeaveFrames = 20;
constexpr int32_t kDissolveFrames = 20;

constexpr int32_t kNormalGameMode = 1;  // SceneId 101

enum ModeItem : int32_t {
    ItemNormalMode = 0,
    ItemExpertMode = 1,
    ItemReturn = 2,
};
constexpr int32_t kLastItem = ItemReturn;

constexpr const char* kHeading = "GAME START";

struct MenuItem {
    const char* text;
    int32_t row;
};
constexpr MenuItem kItems[] = {
    {"NORMAL MODE", 17},
    {"EXPERT MODE", 20},
    {"RETURN TO MAINMENU", 23},
};

// Later tests overwrite earlier ones, so the combinations win over the single buttons and
// KEY 7 / KEY 8 over KEY 5 / KEY 6. With none held the previous choice stays.
void ChooseStartLevel() {
    const int32_t* key = ButtonLatch.key;
    if (ButtonIsDown(key[5])) Scene.startLevel = 15;
    if (ButtonIsDown(key[6])) Scene.startLevel = 25;
    if (ButtonIsDown(key[5]) && ButtonIsDown(key[6])) Scene.startLevel = 35;
    if (ButtonIsDown(key[7])) Scene.startLevel = 50;
    if (ButtonIsDown(key[8])) Scene.startLevel = 70;
    if (ButtonIsDown(key[7]) && ButtonIsDown(key[8])) Scene.startLevel = 100;
}

void Confirm() {
    if (Scene.menuCursor != ItemReturn) {
        Scene.leaveTimer = kModeLeaveFrames;
        ChooseStartLevel();
    } else {
        Scene.leaveTimer = kReturnLeaveFrames;
    }
    PlayWave(WaveSlotSelect, 0);
}

void LeaveTo(int32_t item) {
    switch (item) {
        case ItemNormalMode: StartGame(kNormalGameMode); break;
        case ItemReturn: EnterTitle(SceneModeSelect); break;
        // EXPERT MODE has no game of its own: the menu simply becomes idle again.
        default: break;
    }
}

// Item offsets in half-glyphs during the leave phase, for the item that was chosen.
int32_t LeaveOffset(int32_t item, int32_t chosen, int32_t leave) {
    if (chosen == ItemReturn) {
        switch (item) {
            case ItemNormalMode: return (leave - kReturnLeaveFrames) * 2;
            case ItemExpertMode: return (kReturnLeaveFrames - leave) * 2;
            default: return 0;
        }
    }
    if (item == ItemExpertMode) return kModeLeaveFrames - leave;
    if (item == chosen) return 0;
    return leave - kModeLeaveFrames;
}

}  // namespace

void EnterModeSelect() {
    EnterMenuScene(SceneModeSelect);
    SetFade(0);
    Scene.startLevel = 0;
}

void ModeSelectUpdate() {
    switch (StepMenuTimers()) {
        case MenuIdle:
            MoveMenuCursor(kLastItem);
            if (MenuConfirmPressed()) Confirm();
            break;
        case MenuLeaving:
            // The dissolve of the last 20 frames starts from a clear screen.
            if (Scene.leaveTimer == kDissolveFrames) SetFade(1);
            break;
        case MenuLeaveNow: LeaveTo(Scene.menuCursor); break;
        default: break;
    }
}

void ModeSelectDraw() {
    DrawMenuBackdrop();

    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    if (enter > 0) {
        // 16 pixels a frame, from alternate sides.
        DrawText(-2 * enter, kMenuHeadingRow, kHeading, kMenuFont, TextCellsCentred);
        for (int32_t item = 0; item <= kLastItem; ++item) {
            const int32_t side = item % 2 == 0 ? +1 : -1;
            DrawText(side * 2 * enter, kItems[item].row, kItems[item].text, kMenuFont,
                     TextCellsCentred);
        }
    } else {
        DrawText(0, kMenuHeadingRow, kHeading, kMenuFont, TextCellsCentred);
        for (int32_t item = 0; item <= kLastItem; ++item) {
            int32_t offset = 0;
            int32_t font = kMenuFont;
            if (leave > 0) {
                offset = LeaveOffset(item, Scene.menuCursor, leave);
                if (item == Scene.menuCursor) font = MenuFlashFont();
            } else if (item == Scene.menuCursor) {
                font = MenuBlinkFont();
            }
            DrawText(offset, kItems[item].row, kItems[item].text, font, TextCellsCentred);
        }
    }

    if (leave >= 1 && leave <= kDissolveFrames && Scene.menuCursor != ItemReturn) StepFade(0, 0);
}
