#include "options/key_config.h"

#include <cstdint>
#include <cstring>

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

enum KeyConfigRow : int32_t {
    RowLetter = 0,
    RowDigit = 1,
    RowReturn = 2,
};

// A..E come in four digits each; F (20) stands alone, without a digit.
constexpr int32_t kConfigsPerLetter = 4;
constexpr int32_t kLastLetterWithDigits = 16;  // E-1
constexpr int32_t kConfigF = 20;

// Positions in half-glyphs from the screen centre, and rows.
constexpr int32_t kTypeRow = 12;
constexpr int32_t kTypeTextX = -4;
constexpr int32_t kLetterX = 9;
constexpr int32_t kLetterFX = 11;  // F alone takes the place of the dash
constexpr int32_t kDashX = 11;
constexpr int32_t kDigitX = 13;
constexpr int32_t kTableTopRow = 15;
constexpr int32_t kActionRightEdge = 19;  // every action label ends here

// One row per KeyConfigTable column; every label starts at half-glyph -19.
struct ButtonRow {
    const char* label;
    int32_t x;
};
constexpr ButtonRow kButtonRows[kKeyConfigColumns] = {
    {"UP", -17},    {"DOWN", -15},  {"KEY 1", -14}, {"KEY 2", -14}, {"KEY 3", -14},
    {"KEY 4", -14}, {"KEY 5", -14}, {"KEY 6", -14}, {"KEY 7", -14}, {"KEY 8", -14},
};

// The configuration on screen is the one play uses: a stored number outside the table
// reads as A-1 here as it does in play.
int32_t ShownConfig() { return EffectiveKeyConfig(Settings.keyConfig); }

void StepLetter(int32_t& config) {
    if (ButtonPressedNow(ButtonLatch.right)) {
        // E-1..E-4 all go to F, which has no digit; at F the press still sounds.
        if (config < kLastLetterWithDigits) {
            config += kConfigsPerLetter;
        } else if (config < kConfigF) {
            config = kConfigF;
        }
        PlayWave(WaveSlotChoice, 0);
    }
    if (ButtonPressedNow(ButtonLatch.left) && config >= kConfigsPerLetter) {
        config -= kConfigsPerLetter;  // F goes to E-1
        PlayWave(WaveSlotChoice, 0);
    }
}

void StepDigit(int32_t& config) {
    if (ButtonPressedNow(ButtonLatch.right) && config < kConfigF &&
        config % kConfigsPerLetter != kConfigsPerLetter - 1) {
        ++config;
        PlayWave(WaveSlotChoice, 0);
    }
    if (ButtonPressedNow(ButtonLatch.left) && config % kConfigsPerLetter != 0) {
        --config;
        PlayWave(WaveSlotChoice, 0);
    }
}

// "KEY TYPE =", the letter, and for A..E the dash and the digit, shifted by dx.
void DrawKeyType(int32_t config, int32_t dx, int32_t typeFont, int32_t letterFont,
                 int32_t digitFont) {
    DrawText(kTypeTextX + dx, kTypeRow, "KEY TYPE =", typeFont, TextCellsCentred);
    const int32_t letter = 'A' + config / kConfigsPerLetter;
    if (config == kConfigF) {
        DrawChar(kLetterFX + dx, kTypeRow, letter, letterFont, TextCellsCentred);
        return;
    }
    DrawChar(kLetterX + dx, kTypeRow, letter, letterFont, TextCellsCentred);
    DrawChar(kDashX + dx, kTypeRow, '-', kMenuFont, TextCellsCentred);
    DrawChar(kDigitX + dx, kTypeRow, '1' + config % kConfigsPerLetter, digitFont, TextCellsCentred);
}

// The ten button rows with their actions; even rows shifted by evenDx, odd rows by oddDx.
void DrawActionTable(int32_t config, int32_t evenDx, int32_t oddDx) {
    for (int32_t i = 0; i < kKeyConfigColumns; ++i) {
        const int32_t dx = i % 2 == 0 ? evenDx : oddDx;
        const int32_t row = kTableTopRow + i;
        DrawText(kButtonRows[i].x + dx, row, kButtonRows[i].label, kMenuFont, TextCellsCentred);
        const char* action = GameActionLabel[KeyConfigTable[config][i]];
        const int32_t actionX = kActionRightEdge - static_cast<int32_t>(std::strlen(action));
        DrawText(actionX + dx, row, action, kMenuFont, TextCellsCentred);
    }
}

}  // namespace

void EnterKeyConfig() { EnterMenuScene(SceneKeyConfig); }

void KeyConfigUpdate() {
    const MenuPhase phase = StepMenuTimers();
    if (phase == MenuLeaveNow) EnterOptionMenu(SceneKeyConfig);
    if (phase != MenuIdle) return;

    int32_t config = ShownConfig();
    // F has no digit: the cursor jumps over that row both ways.
    if (ButtonPressedNow(ButtonLatch.down) && Scene.menuCursor < RowReturn) {
        Scene.menuCursor = (config == kConfigF && Scene.menuCursor == RowLetter)
                               ? RowReturn
                               : Scene.menuCursor + 1;
        PlayWave(WaveSlotChoice, 0);
    }
    if (ButtonPressedNow(ButtonLatch.up) && Scene.menuCursor > RowLetter) {
        Scene.menuCursor = (config == kConfigF && Scene.menuCursor == RowReturn)
                               ? RowLetter
                               : Scene.menuCursor - 1;
        PlayWave(WaveSlotChoice, 0);
    }
    switch (Scene.menuCursor) {
        case RowLetter: StepLetter(config); break;
        case RowDigit: StepDigit(config); break;
        case RowReturn:
            if (MenuConfirmPressed()) {
                Scene.leaveTimer = kMenuLeaveFrames;
                PlayWave(WaveSlotSelect, 0);
            }
            break;
        default: break;
    }
    // In force at once; config.dat gets it only when the program closes from the title.
    if (config != ShownConfig()) Settings.keyConfig = config;
}

void KeyConfigDraw() {
    DrawMenuBackdrop();

    const int32_t config = ShownConfig();
    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    if (enter >= 1) {
        // The rows of the table come in alternately from the left and from the right.
        const int32_t d = 2 * enter;
        DrawText(-d, kMenuHeadingRow, "KEY CONFIG", kMenuFont, TextCellsCentred);
        DrawKeyType(config, d, kMenuFont, kMenuFont, kMenuFont);
        DrawActionTable(config, -d, d);
        DrawText(-d, kMenuReturnRow, "RETURN TO OPTION MENU", kMenuFont, TextCellsCentred);
        return;
    }
    if (leave >= 1) {
        const int32_t d = 2 * (leave - kMenuLeaveFrames);
        DrawText(0, kMenuHeadingRow, "KEY CONFIG", kMenuFont, TextCellsCentred);
        DrawKeyType(config, d, kMenuFont, kMenuFont, kMenuFont);
        DrawActionTable(config, -d, d);
        return;
    }

    DrawText(0, kMenuHeadingRow, "KEY CONFIG", kMenuFont, TextCellsCentred);
    const int32_t blink = MenuBlinkFont();
    const bool onType = Scene.menuCursor == RowLetter || Scene.menuCursor == RowDigit;
    DrawKeyType(config, 0, onType ? blink : kMenuFont,
                Scene.menuCursor == RowLetter ? blink : kMenuFont,
                Scene.menuCursor == RowDigit ? blink : kMenuFont);
    DrawActionTable(config, 0, 0);
    DrawText(0, kMenuReturnRow, "RETURN TO OPTION MENU",
             Scene.menuCursor == RowReturn ? blink : kMenuFont, TextCellsCentred);
}
