#include "options/sound_test.h"

#include <cstdint>

#include "options/buttons.h"
#include "options/option_menu.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

int32_t SoundTestNumber;

namespace {

constexpr int32_t kPlaceCentredRows = 4;
constexpr int32_t kNumberCells = 3;
constexpr int32_t kTextFont = FontSmall1;

constexpr int32_t kSlideFrames = 20;
constexpr int32_t kLeaveFrames = 20;
constexpr int32_t kPressed = 2;

constexpr int32_t kLastNumber = kWaveSlots - 1;
constexpr int32_t kNumberDigits = 2;

enum SoundTestRow : int32_t {
    RowSound = 0,
    RowReturn = 1,
};

constexpr int32_t kHeadingRow = 8;
constexpr int32_t kSoundRow = 14;
constexpr int32_t kSoundTextX = -3;       // half-glyphs from the centre
constexpr int32_t kNumberColumn = 22;     // glyph columns from the left edge
constexpr int32_t kReturnRow = 23;

bool Pressed(int32_t state) { return state == kPressed; }
bool Confirmed() { return Pressed(ButtonLatch.key[1]) || Pressed(ButtonLatch.key[4]); }

void DrawSoundRow(int32_t textX, int32_t numberColumn, int32_t font) {
    DrawText(textX, kSoundRow, "SOUND", font, kPlaceCentredRows);
    DrawNumber(numberColumn, kSoundRow, kNumberDigits, SoundTestNumber, font, kNumberCells);
}

}  // namespace

void EnterSoundTest() {
    SceneId = SceneSoundTest;
    SceneEnterTimer = kSlideFrames;
    SceneLeaveTimer = 0;
    MenuCursor = RowSound;
    SoundTestNumber = 0;
}

void SoundTestUpdate() {
    if (SceneEnterTimer > 0 || SceneLeaveTimer > 0) {
        if (SceneEnterTimer != 0) {
            --SceneEnterTimer;
        } else if (SceneLeaveTimer > 1) {
            --SceneLeaveTimer;
        } else {
            SceneLeaveTimer = 0;
            EnterOptionMenu(SceneSoundTest);
        }
        return;
    }
    // Moves and number changes are silent: the only sound here is the one chosen.
    if (Pressed(ButtonLatch.down) && MenuCursor < RowReturn) MenuCursor = RowReturn;
    if (Pressed(ButtonLatch.up) && MenuCursor >= 1) MenuCursor = RowSound;
    if (MenuCursor == RowSound) {
        if (Pressed(ButtonLatch.right) && SoundTestNumber < kLastNumber) ++SoundTestNumber;
        if (Pressed(ButtonLatch.left) && SoundTestNumber >= 1) --SoundTestNumber;
        if (Confirmed()) PlayWave(static_cast<uint16_t>(SoundTestNumber), 0);
    } else if (MenuCursor == RowReturn && Confirmed()) {
        SceneLeaveTimer = kLeaveFrames;
    }
}

void SoundTestDraw() {
    DrawOptionBackdrop();

    const int32_t enter = SceneEnterTimer;
    const int32_t leave = SceneLeaveTimer;
    if (enter >= 1) {
        DrawText(-2 * enter, kHeadingRow, "SOUND TEST", kTextFont, kPlaceCentredRows);
        DrawSoundRow(2 * enter + kSoundTextX, enter + kNumberColumn, kTextFont);
        DrawText(-2 * enter, kReturnRow, "RETURN TO OPTION MENU", kTextFont, kPlaceCentredRows);
        return;
    }

    DrawText(0, kHeadingRow, "SOUND TEST", kTextFont, kPlaceCentredRows);
    if (leave >= 1) {
        // The sound row moves off to the left, one glyph a frame, while the choice flashes.
        const int32_t gone = kLeaveFrames - leave;
        DrawSoundRow(kSoundTextX - 2 * gone, kNumberColumn - gone, kTextFont);
        DrawText(0, kReturnRow, "RETURN TO OPTION MENU", OptionFlashFont(), kPlaceCentredRows);
        return;
    }
    const int32_t blink = OptionBlinkFont();
    DrawSoundRow(kSoundTextX, kNumberColumn, MenuCursor == RowSound ? blink : kTextFont);
    DrawText(0, kReturnRow, "RETURN TO OPTION MENU", MenuCursor == RowReturn ? blink : kTextFont,
             kPlaceCentredRows);
}
