#include "options/graphic_config.h"

#include <cstdint>

#include "input/buttons.h"
#include "input/input.h"
#include "options/option_menu.h"
#include "shell/catalogue.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kFlagOff = 0;
constexpr int32_t kFlagOn = 1;

constexpr int32_t kValueX = 17;  // the values stand in one column

constexpr int32_t kFlagRows = 4;
constexpr int32_t kCursorReturn = kFlagRows;

// side +1: the row slides in from the right and leaves to the left; -1 the other way.
struct FlagRow {
    const char* label;
    int32_t labelX;
    int32_t row;
    int32_t side;
    int32_t SettingsRecord::*field;
};
constexpr FlagRow kFlagRowsTable[kFlagRows] = {
    {"FPS DISPLAY", -9, 14, +1, &SettingsRecord::fpsDisplay},
    {"USE VRAM", -12, 17, -1, &SettingsRecord::useVram},
    {"SHOW LINE SHADOW", -4, 20, +1, &SettingsRecord::showLineShadow},
    {"Erase Property", -6, 23, -1, &SettingsRecord::eraseProperty},
};

// RIGHT means ON and LEFT means OFF; a value other than 0 or 1 is left alone.
void StepFlag(int32_t& flag) {
    if (ButtonPressedNow(ButtonLatch.right) && flag == kFlagOff) {
        flag = kFlagOn;
        PlayWave(WaveSlotChoice, 0);
    }
    if (ButtonPressedNow(ButtonLatch.left) && flag == kFlagOn) {
        flag = kFlagOff;
        PlayWave(WaveSlotChoice, 0);
    }
}

// A flag with any other value shows no value at all.
void DrawFlagRow(const FlagRow& row, int32_t dx, int32_t font) {
    DrawText(row.labelX + dx, row.row, row.label, font, TextCellsCentred);
    const int32_t flag = Settings.*row.field;
    if (flag == kFlagOn) DrawText(kValueX + dx, row.row, "ON", font, TextCellsCentred);
    if (flag == kFlagOff) DrawText(kValueX + dx, row.row, "OFF", font, TextCellsCentred);
}

}  // namespace

void EnterGraphicConfig() { EnterMenuScene(SceneGraphicConfig); }

void GraphicConfigUpdate() {
    const MenuPhase phase = StepMenuTimers();
    if (phase == MenuLeaveNow) EnterOptionMenu(SceneGraphicConfig);
    if (phase != MenuIdle) return;
    MoveMenuCursor(kCursorReturn);
    if (Scene.menuCursor >= 0 && Scene.menuCursor < kFlagRows) {
        // In force at once wherever it is read; USE VRAM only ever matters at start-up.
        StepFlag(Settings.*kFlagRowsTable[Scene.menuCursor].field);
    } else if (Scene.menuCursor == kCursorReturn && MenuConfirmPressed()) {
        Scene.leaveTimer = kMenuLeaveFrames;
        PlayWave(WaveSlotSelect, 0);
    }
}

void GraphicConfigDraw() {
    DrawMenuBackdrop();

    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    if (enter >= 1) {
        const int32_t d = 2 * enter;
        DrawText(-d, kMenuHeadingRow, "GRAPHIC CONFIG", kMenuFont, TextCellsCentred);
        for (const FlagRow& row : kFlagRowsTable) DrawFlagRow(row, row.side * d, kMenuFont);
        DrawText(d, kMenuReturnRow, "RETURN TO OPTION MENU", kMenuFont, TextCellsCentred);
        return;
    }

    DrawText(0, kMenuHeadingRow, "GRAPHIC CONFIG", kMenuFont, TextCellsCentred);
    if (leave >= 1) {
        // The rows leave the way they did not come in; the chosen item stays and flashes.
        const int32_t e = 2 * (kMenuLeaveFrames - leave);
        for (const FlagRow& row : kFlagRowsTable) DrawFlagRow(row, -row.side * e, kMenuFont);
        DrawText(0, kMenuReturnRow, "RETURN TO OPTION MENU", MenuFlashFont(), TextCellsCentred);
        return;
    }

    for (const FlagRow& row : kFlagRowsTable) DrawFlagRow(row, 0, kMenuFont);
    DrawText(0, kMenuReturnRow, "RETURN TO OPTION MENU", kMenuFont, TextCellsCentred);
    // The row under the cursor once more on top, in the blink colour.
    const int32_t blink = MenuBlinkFont();
    if (Scene.menuCursor >= 0 && Scene.menuCursor < kFlagRows) {
        DrawFlagRow(kFlagRowsTable[Scene.menuCursor], 0, blink);
    } else if (Scene.menuCursor == kCursorReturn) {
        DrawText(0, kMenuReturnRow, "RETURN TO OPTION MENU", blink, TextCellsCentred);
    }
}
