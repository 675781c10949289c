#include "scenes/credits.h"

#include <cstdint>

#include "frame/sprite.h"
#include "scenes/title.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/text.h"

namespace {

// The credits stay 200 frames, then fade out over 20.
constexpr int32_t kCreditsFrames = 200;
constexpr int32_t kLoadingFadeOutFrames = 20;

constexpr int32_t kCreditsFont = FontSmall1;  // 16-pixel white
constexpr int32_t kDotsOffset = 15;           // half-glyphs right of "NOW LOADING"
constexpr int32_t kDotsRow = 21;
constexpr int32_t kDotFrames = 15;

struct CreditLine {
    int32_t row;
    const char* text;
};
constexpr CreditLine kCredits[] = {
    {9, "CREATED BY"},    {13, "system:Vexto"},      {15, "&"},
    {17, "Quorvel club"}, {kDotsRow, "NOW LOADING"},
};

// Dot phases 1..3; phase 0 shows none.
constexpr const char* kLoadingDots[4] = {nullptr, ".  ", ".. ", "..."};

}  // namespace

void EnterLoading() {
    Scene.id = SceneLoading;
    Scene.frame = 0;
    Scene.enterTimer = kCreditsFrames;
    SetFade(0);
    Scene.leaveTimer = 0;
}

void LoadingUpdate() {
    if (Scene.enterTimer > 0) {
        --Scene.enterTimer;
        if (Scene.enterTimer == 0) {
            // Everything but the fonts loads in this one frame, behind the finished credits.
            SetFade(1);
            LoadGameBitmaps();
            LoadWaves();
            Scene.leaveTimer = kLoadingFadeOutFrames;
        }
    } else if (Scene.leaveTimer < 2) {
        Scene.leaveTimer = 0;
        EnterTitle(SceneLoading);
    } else {
        --Scene.leaveTimer;
    }
}

void LoadingDraw() {
    for (const CreditLine& line : kCredits) {
        DrawText(0, line.row, line.text, kCreditsFont, TextCellsCentred);
    }
    const char* dots = kLoadingDots[(Scene.frame / kDotFrames) % 4];
    if (dots) DrawText(kDotsOffset, kDotsRow, dots, kCreditsFont, TextCellsCentred);
    if (Scene.leaveTimer < 1) {
        StepFade(1, 0);
    } else {
        StepFade(0, 0);
    }
}
