#include "options/key_test.h"

#include <cstdint>

#include "input/buttons.h"
#include "input/input.h"
#include "options/option_menu.h"
#include "shell/menu.h"
#include "shell/scene.h"
#include "shell/text.h"

namespace {

constexpr int32_t kLitFont = FontSmall1 + 1;

constexpr int32_t kHintRow = 27;

constexpr int32_t kFromLeft = -1;
constexpr int32_t kFromRight = +1;

// The arrows form a cross, the eight keys two columns of four pairs.
struct ButtonLabel {
    const char* text;
    const int32_t* state;
    int32_t x;
    int32_t row;
    int32_t side;
};
const ButtonLabel kLabels[] = {
    {"UP", &ButtonLatch.up, 0, 12, kFromRight},
    {"LEFT", &ButtonLatch.left, -6, 14, kFromLeft},
    {"RIGHT", &ButtonLatch.right, 5, 14, kFromLeft},
    {"DOWN", &ButtonLatch.down, 0, 16, kFromRight},
    {"KEY_1", &ButtonLatch.key[1], -6, 19, kFromLeft},
    {"KEY_2", &ButtonLatch.key[2], 6, 19, kFromLeft},
    {"KEY_3", &ButtonLatch.key[3], -6, 21, kFromRight},
    {"KEY_4", &ButtonLatch.key[4], 6, 21, kFromRight},
    {"KEY_5", &ButtonLatch.key[5], -6, 23, kFromLeft},
    {"KEY_6", &ButtonLatch.key[6], 6, 23, kFromLeft},
    {"KEY_7", &ButtonLatch.key[7], -6, 25, kFromRight},
    {"KEY_8", &ButtonLatch.key[8], 6, 25, kFromRight},
};

}  // namespace

void EnterKeyTest() { EnterMenuScene(SceneKeyTest); }

void KeyTestUpdate() {
    if (Scene.enterTimer > 0) --Scene.enterTimer;
    // The way out works even while the labels slide in, and needs no fresh press.
    if (ButtonIsDown(ButtonLatch.key[1]) && ButtonIsDown(ButtonLatch.key[3])) {
        EnterOptionMenu(SceneKeyTest);
    }
}

void KeyTestDraw() {
    DrawMenuBackdrop();

    const int32_t d = 2 * Scene.enterTimer;
    DrawText(-d, kMenuHeadingRow, "KEY TEST", kMenuFont, TextCellsCentred);
    for (const ButtonLabel& label : kLabels) {
        const int32_t font = ButtonIsDown(*label.state) ? kLitFont : kMenuFont;
        DrawText(label.x + label.side * d, label.row, label.text, font, TextCellsCentred);
    }
    DrawText(-d, kHintRow, "PRESS 1+3 OR ESC TO RETURN", MenuBlinkFont(), TextCellsCentred);
}
