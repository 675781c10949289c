#include "options/option_menu.h"

#include <cstdint>

#include "options/graphic_config.h"
#include "options/key_config.h"
#include "options/key_test.h"
#include "options/sound_test.h"
#include "shell/catalogue.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kSpareOptionScene = 7;  // no screen of its own; maps to RESET DATA

enum OptionItem : int32_t {
    ItemKeyConfig = 0,
    ItemKeyTest = 1,
    ItemGraphicOption = 2,
    ItemSoundTest = 3,
    ItemResetData = 4,
    ItemReturnMainMenu = 5,
};
constexpr int32_t kLastItem = ItemReturnMainMenu;

struct MenuItem {
    const char* text;
    int32_t row;
};
constexpr MenuItem kItems[] = {
    {"KEY CONFIG", 15}, {"KEY TEST", 17},   {"GRAPHIC OPTION", 19},
    {"SOUND TEST", 21}, {"RESET DATA", 23}, {"RETURN MAINMENU", 25},
};

bool IsEvenItem(int32_t item) { return item % 2 == 0; }

// Each option screen brings the cursor back to its own item.
int32_t CursorComingFrom(int32_t from) {
    switch (from) {
        case SceneKeyTest: return ItemKeyTest;
        case SceneGraphicConfig: return ItemGraphicOption;
        case SceneSoundTest: return ItemSoundTest;
        case kSpareOptionScene: return ItemResetData;
        default: return ItemKeyConfig;
    }
}

void LeaveTo(int32_t item) {
    switch (item) {
        case ItemKeyConfig: EnterKeyConfig(); break;
        case ItemKeyTest: EnterKeyTest(); break;
        case ItemGraphicOption: EnterGraphicConfig(); break;
        case ItemSoundTest: EnterSoundTest(); break;
        case ItemReturnMainMenu: EnterScene(SceneTitle, SceneOptionMenu); break;
        default:
            // RESET DATA resets nothing: the menu is live again with the cursor kept.
            break;
    }
}

}  // namespace

void EnterOptionMenu(int32_t from) {
    Scene.id = SceneOptionMenu;
    // Only the way in from the title slides; the way back from a screen shows the menu at once.
    Scene.enterTimer = from == SceneTitle ? kMenuSlideFrames : 0;
    Scene.leaveTimer = 0;
    Scene.menuCursor = CursorComingFrom(from);
}

void OptionMenuUpdate() {
    const MenuPhase phase = StepMenuTimers();
    if (phase == MenuLeaveNow) LeaveTo(Scene.menuCursor);
    if (phase != MenuIdle) return;
    MoveMenuCursor(kLastItem);
    // A move and a confirm in the same frame choose the item just moved to.
    if (MenuConfirmPressed()) {
        Scene.leaveTimer = kMenuLeaveFrames;
        PlayWave(WaveSlotSelect, 0);
    }
}

void OptionMenuDraw() {
    DrawMenuBackdrop();

    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    if (enter >= 1) {
        // The items come in from both sides, one glyph a frame, and meet in the centre.
        DrawText(-2 * enter, kMenuHeadingRow, "OPTION MENU", kMenuFont, TextCellsCentred);
        for (int32_t item = 0; item <= kLastItem; ++item) {
            const int32_t x = IsEvenItem(item) ? 2 * enter : -2 * enter;
            DrawText(x, kItems[item].row, kItems[item].text, kMenuFont, TextCellsCentred);
        }
        return;
    }

    DrawText(0, kMenuHeadingRow, "OPTION MENU", kMenuFont, TextCellsCentred);
    for (int32_t item = 0; item <= kLastItem; ++item) {
        int32_t x = 0;
        int32_t font = kMenuFont;
        if (leave >= 1) {
            // The chosen item stays and flashes; even items leave to the left, odd to the right.
            if (item == Scene.menuCursor) {
                font = MenuFlashFont();
            } else {
                x = IsEvenItem(item) ? 2 * (leave - kMenuLeaveFrames)
                                     : 2 * (kMenuLeaveFrames - leave);
            }
        } else if (item == Scene.menuCursor) {
            font = MenuBlinkFont();
        }
        DrawText(x, kItems[item].row, kItems[item].text, font, TextCellsCentred);
    }
}
