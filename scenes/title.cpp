#include "scenes/title.h"

#include <cstdint>

#include "app/window_procedure.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "options/option_menu.h"
#include "scenes/mode_select.h"
#include "scenes/ranking.h"
#include "shell/catalogue.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kVersionFont = FontSmall2;  // the other face, white

// The version in the bottom-right corner reads VER 0.03.
constexpr int32_t kVersionMajor = 0;
constexpr int32_t kVersionMinor = 3;
constexpr int32_t kVersionRow = 29;
constexpr int32_t kVersionTextColumn = 32;
constexpr int32_t kVersionMajorColumn = 36;
constexpr int32_t kVersionMinorColumn = 38;

constexpr int32_t kTitleFadeInFrames = 20;
constexpr int32_t kBackgroundChoices = 11;  // RandomUpTo(11): 0..11, and 12 once in 32768

enum TitleItem : int32_t {
    ItemGameStart = 0,
    ItemRanking = 1,
    ItemOption = 2,
    ItemExit = 3,
};
constexpr int32_t kLastItem = ItemExit;

struct MenuItem {
    const char* text;
    int32_t row;
    int32_t side;  // +1 leaves to the right, -1 to the left; each comes in from the other
};
constexpr MenuItem kItems[] = {
    {"GAME START", 17, +1},
    {"RANKING", 19, -1},
    {"OPTION", 21, +1},
    {"EXIT", 23, -1},
};

void LeaveTo(int32_t item) {
    switch (item) {
        case ItemGameStart: EnterModeSelect(); break;
        case ItemRanking: EnterRanking(SceneTitle); break;
        case ItemOption: EnterOptionMenu(SceneTitle); break;
        case ItemExit:
            // The close request comes back through the CloseCallback, which saves and ends.
            RequestClose();
            break;
        default: break;
    }
}

}  // namespace

void TitleUpdate() {
    switch (StepMenuTimers()) {
        case MenuIdle:
            MoveMenuCursor(kLastItem);
            if (MenuConfirmPressed()) {
                Scene.leaveTimer = kMenuLeaveFrames;
                PlayWave(WaveSlotSelect, 0);
            }
            break;
        case MenuLeaveNow: LeaveTo(Scene.menuCursor); break;
        default: break;
    }
}

void TitleDraw() {
    DrawMenuBackdrop();

    DrawText(kVersionTextColumn, kVersionRow, "VER  .", kVersionFont, TextCells);
    DrawNumber(kVersionMajorColumn, kVersionRow, 1, kVersionMajor, kVersionFont, NumberCells);
    DrawNumber(kVersionMinorColumn, kVersionRow, 2, kVersionMinor, kVersionFont, NumberCells);

    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    for (int32_t item = 0; item <= kLastItem; ++item) {
        const MenuItem& m = kItems[item];
        int32_t offset = 0;
        int32_t font = kMenuFont;
        if (enter > 0) {
            // 8 pixels a frame, from alternate sides.
            offset = -m.side * enter;
        } else if (leave > 0) {
            if (item == Scene.menuCursor) {
                font = MenuFlashFont();
            } else {
                // The others clear the way at 16 pixels a frame.
                offset = m.side * (kMenuLeaveFrames - leave) * 2;
            }
        } else if (item == Scene.menuCursor) {
            font = MenuBlinkFont();
        }
        DrawText(offset, m.row, m.text, font, TextCellsCentred);
    }

    if (Scene.enterTimer > 0) StepFade(1, 0);
}

void EnterTitle(int32_t from) {
    Scene.id = SceneTitle;
    Scene.frame = 0;
    if (from == SceneModeSelect || from == SceneOptionMenu) {
        // Back from a menu of the title's own family: no fade, the background stays.
        Scene.enterTimer = 0;
        Scene.leaveTimer = 0;
    } else {
        Scene.enterTimer = kTitleFadeInFrames;
        SetFade(0);
        Scene.backgroundIndex = RandomUpTo(kBackgroundChoices);
        Scene.leaveTimer = 0;
    }
    Scene.menuCursor = from == SceneOptionMenu ? ItemOption : ItemGameStart;
}
