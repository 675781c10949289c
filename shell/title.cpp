#include "shell/title.h"

#include <cstdint>

#include "frame/frame.h"
#include "frame/sprite.h"
#include "options/buttons.h"
#include "options/option_menu.h"
#include "shell/ranking.h"
#include "shell/scene.h"
#include "shell/text.h"
#include "sound/sound.h"

namespace {

constexpr uint32_t kSlotBackgroundBase = 241;   // + BackgroundIndex

constexpr int32_t kPlaceCells = 3;
constexpr int32_t kPlaceCentredRows = 4;
constexpr int32_t kNumberCells = 3;

constexpr int32_t kLogoRow = 3;
constexpr int32_t kLogoFont = FontLarge1;       // 32-pixel white
constexpr int32_t kItemFont = FontSmall1;       // 16-pixel white
constexpr int32_t kVersionFont = FontSmall2;    // the other face, white

// The version in the bottom-right corner reads VER 0.03.
constexpr int32_t kVersionMajor = 0;
constexpr int32_t kVersionMinor = 3;
constexpr int32_t kVersionRow = 29;
constexpr int32_t kVersionTextColumn = 32;
constexpr int32_t kVersionMajorColumn = 36;
constexpr int32_t kVersionMinorColumn = 38;

constexpr int32_t kLeaveFrames = 20;
constexpr int32_t kPressed = 2;

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
    int32_t side;   // +1 leaves to the right, -1 to the left; each comes in from the other
};
constexpr MenuItem kItems[] = {
    {"GAME START", 17, +1},
    {"RANKING", 19, -1},
    {"OPTION", 21, +1},
    {"EXIT", 23, -1},
};

bool Pressed(int32_t state) { return state == kPressed; }

// Idle highlight: a new colour every four frames; the item just chosen: every frame.
int32_t SlowCycleFont() { return kItemFont + (SceneFrame / 4) % 6 + 1; }
int32_t FastCycleFont() { return kItemFont + SceneFrame % 6 + 1; }

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
    if (SceneEnterTimer < 1 && SceneLeaveTimer < 1) {
        // DOWN and UP in the same frame cancel out, with a sound for each step.
        if (Pressed(ButtonLatch.down) && MenuCursor < kLastItem) {
            ++MenuCursor;
            PlayWave(WaveSlotChoice, 0);
        }
        if (Pressed(ButtonLatch.up) && MenuCursor >= 1) {
            --MenuCursor;
            PlayWave(WaveSlotChoice, 0);
        }
        if (Pressed(ButtonLatch.key[1]) || Pressed(ButtonLatch.key[4])) {
            SceneLeaveTimer = kLeaveFrames;
            PlayWave(WaveSlotSelect, 0);
        }
    } else if (SceneEnterTimer != 0) {
        --SceneEnterTimer;
    } else if (SceneLeaveTimer >= 2) {
        --SceneLeaveTimer;
    } else {
        SceneLeaveTimer = 0;
        LeaveTo(MenuCursor);
    }
}

void TitleDraw() {
    DrawSprite(0, 0, kSlotBackgroundBase + BackgroundIndex, 0, 0, -1, -1);
    DrawText(0, kLogoRow, "+RAIL", kLogoFont, kPlaceCentredRows);

    DrawText(kVersionTextColumn, kVersionRow, "VER  .", kVersionFont, kPlaceCells);
    DrawNumber(kVersionMajorColumn, kVersionRow, 1, kVersionMajor, kVersionFont, kNumberCells);
    DrawNumber(kVersionMinorColumn, kVersionRow, 2, kVersionMinor, kVersionFont, kNumberCells);

    const int32_t enter = SceneEnterTimer;
    const int32_t leave = SceneLeaveTimer;
    for (int32_t item = 0; item <= kLastItem; ++item) {
        const MenuItem& m = kItems[item];
        int32_t offset = 0;
        int32_t font = kItemFont;
        if (enter > 0) {
            // 8 pixels a frame, from alternate sides.
            offset = -m.side * enter;
        } else if (leave > 0) {
            if (item == MenuCursor) {
                font = FastCycleFont();
            } else {
                // The others clear the way at 16 pixels a frame.
                offset = m.side * (kLeaveFrames - leave) * 2;
            }
        } else if (item == MenuCursor) {
            font = SlowCycleFont();
        }
        DrawText(offset, m.row, m.text, font, kPlaceCentredRows);
    }

    if (SceneEnterTimer > 0) StepFade(1, 0);
}
