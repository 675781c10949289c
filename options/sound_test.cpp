#include "options/sound_test.h"

#include <cstdint>

#include "input/buttons.h"
#include "input/input.h"
#include "options/option_menu.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

int32_t SoundTestNumber;

namespace {

constexpr int32_t kLastNumber = kWaveSlots - 1;
constexpr int32_t kNumberDigits = 2;

enum SoundTestRow : int32_t {
    RowSound = 0,
    RowReturn = 1,
};

constexpr int32_t kSoundRow = 14;
constexpr int32_t kSoundTextX = -3;    // half-glyphs from the centre
constexpr int32_t kNumberColumn = 22;  // glyph columns from the left edge
constexpr int32_t kReturnRow = 23;

void DrawSoundRow(int32_t textX, int32_t numberColumn, int32_t font) {
    DrawText(textX, kSoundRow, "SOUND", font, TextCellsCentred);
    DrawNumber(numberColumn, kSoundRow, kNumberDigits, SoundTestNumber, font, NumberCells);
}

}  // namespace

void EnterSoundTest() {
    EnterMenuScene(SceneSoundTest);
    SoundTestNumber = 0;
}

void SoundTestUpdate() {
    const MenuPhase phase = StepMenuTimers();
    if (phase == MenuLeaveNow) EnterOptionMenu(SceneSoundTest);
    if (phase != MenuIdle) return;
    // Moves and number changes are silent: the only sound here is the one chosen.
    if (ButtonPressedNow(ButtonLatch.down) && Scene.menuCursor < RowReturn)
        Scene.menuCursor = RowReturn;
    if (ButtonPressedNow(ButtonLatch.up) && Scene.menuCursor >= 1) Scene.menuCursor = RowSound;
    if (Scene.menuCursor == RowSound) {
        if (ButtonPressedNow(ButtonLatch.right) && SoundTestNumber < kLastNumber) ++SoundTestNumber;
        if (ButtonPressedNow(ButtonLatch.left) && SoundTestNumber >= 1) --SoundTestNumber;
        if (MenuConfirmPressed()) PlayWave(static_cast<uint16_t>(SoundTestNumber), 0);
    } else if (Scene.menuCursor == RowReturn && MenuConfirmPressed()) {
        Scene.leaveTimer = kMenuLeaveFrames;
    }
}

void SoundTestDraw() {
    DrawMenuBackdrop();

    const int32_t enter = Scene.enterTimer;
    const int32_t leave = Scene.leaveTimer;
    if (enter >= 1) {
        DrawText(-2 * enter, kMenuHeadingRow, "SOUND TEST", kMenuFont, TextCellsCentred);
        DrawSoundRow(2 * enter + kSoundTextX, enter + kNumberColumn, kMenuFont);
        DrawText(-2 * enter, kReturnRow, "RETURN TO OPTION MENU", kMenuFont, TextCellsCentred);
        return;
    }

    DrawText(0, kMenuHeadingRow, "SOUND TEST", kMenuFont, TextCellsCentred);
    if (leave >= 1) {
        // The sound row moves off to the left, one glyph a frame, while the choice flashes.
        const int32_t gone = kMenuLeaveFrames - leave;
        DrawSoundRow(kSoundTextX - 2 * gone, kNumberColumn - gone, kMenuFont);
        DrawText(0, kReturnRow, "RETURN TO OPTION MENU", MenuFlashFont(), TextCellsCentred);
        return;
    }
    const int32_t blink = MenuBlinkFont();
    DrawSoundRow(kSoundTextX, kNumberColumn, Scene.menuCursor == RowSound ? blink : kMenuFont);
    DrawText(0, kReturnRow, "RETURN TO OPTION MENU",
             Scene.menuCursor == RowReturn ? blink : kMenuFont, TextCellsCentred);
}

void ResetSoundTest() { SoundTestNumber = 0; }
