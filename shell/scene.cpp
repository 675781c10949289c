#include "shell/scene.h"

#include <cstdint>

#include "frame/bitmap_slots.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "input/input.h"
#include "options/buttons.h"
#include "options/option_menu.h"
#include "platform/platform.h"
#include "shell/catalogue.h"
#include "shell/scene_table.h"
#include "shell/settings.h"
#include "shell/text.h"

int32_t SceneId;
int32_t SceneFrame;
int32_t SceneEnterTimer;
int32_t SceneLeaveTimer;
int32_t MenuCursor;
int32_t BackgroundIndex;
int32_t StartLevel;
int32_t NewRank;

namespace {

constexpr int32_t kFrameRate = 60;
constexpr int kShiftKey = 16;
constexpr int32_t kSpareOptionScene = 7;     // no screen uses it; Escape treats it as a sub-screen
constexpr int32_t kBackgroundChoices = 11;   // RandomUpTo(11): 0..11, and 12 once in 32768

// The credits stay 200 frames, then fade out over 20.
constexpr int32_t kCreditsFrames = 200;
constexpr int32_t kLoadingFadeOutFrames = 20;
constexpr int32_t kTitleFadeInFrames = 20;

constexpr int32_t kCursorGameStart = 0;
constexpr int32_t kCursorOption = 2;

constexpr int32_t kCreditsFont = FontSmall1;    // 16-pixel white
constexpr int32_t kDotsOffset = 15;             // half-glyphs right of "NOW LOADING"
constexpr int32_t kDotsRow = 21;
constexpr int32_t kDotFrames = 15;

struct CreditLine {
    int32_t row;
    const char* text;
};
constexpr CreditLine kCredits[] = {
    {9, "CREATED BY"},
    {13, "system:Vexto"},
    {15, "&"},
    {17, "Quorvel club"},
    {kDotsRow, "NOW LOADING"},
};

// Dot phases 1..3; phase 0 shows none.
constexpr const char* kLoadingDots[4] = {nullptr, ".  ", ".. ", "..."};

}  // namespace

void ResetSceneValues() {
    SceneId = 0;
    SceneFrame = 0;
    SceneEnterTimer = 0;
    SceneLeaveTimer = 0;
    MenuCursor = 0;
    BackgroundIndex = 0;
    StartLevel = 0;
    NewRank = 0;
}

void StartupCallback() {
    SetFrameRate(kFrameRate);
    PlatformShowCursor(false);
    EnableJoystick(1);
    // Runs before LoadSettings, so it sees the built-in value, not the saved one.
    if (Settings.useVram == 1) SetUseVideoMemory(1);
    SetCloseCallback(CloseCallback);
    uint32_t t1 = static_cast<uint32_t>(PlatformCalendarSeconds());
    uint32_t t2 = static_cast<uint32_t>(PlatformCalendarSeconds());
    SeedRandom(t1 * t2);
    LoadFonts();
    LoadSettings();
    EnterLoading();
}

void FrameCallback() {
    ClearScreen(0);
    LatchButtons();
    const SceneEntry* scene = FindScene(SceneId);
    if (scene && scene->update) scene->update();
    // An update that changed scenes has the new scene drawn in this same frame.
    scene = FindScene(SceneId);
    if (scene && scene->draw) scene->draw();
    // Blink phases read it as a non-negative count; start over rather than overflow.
    SceneFrame = SceneFrame == INT32_MAX ? 0 : SceneFrame + 1;
}

int32_t CloseCallback() {
    // Shift held down at a close request: back to the title from anywhere, even the title.
    if (QueryKey(kShiftKey) == ButtonHeld) {
        EnterTitle(SceneId);
        return 0;
    }
    switch (SceneId) {
        case SceneLoading:
        case SceneTitle:
            SaveSettings();
            return 1;
        case SceneModeSelect:
        case SceneOptionMenu:
        case SceneGameNormal:
        case SceneNameEntry:
        case SceneRankingFromTitle:
        case SceneRankingAfterEntry:
            EnterTitle(SceneId);
            return 0;
        case SceneKeyConfig:
        case SceneKeyTest:
        case SceneGraphicConfig:
        case SceneSoundTest:
        case kSpareOptionScene:
            // The option sub-screens go back to the option menu.
            EnterOptionMenu(SceneId);
            return 0;
        default:
            return 0;
    }
}

void EnterLoading() {
    SceneId = SceneLoading;
    SceneFrame = 0;
    SceneEnterTimer = kCreditsFrames;
    SetFade(0);
    SceneLeaveTimer = 0;
}

void LoadingUpdate() {
    if (SceneEnterTimer > 0) {
        --SceneEnterTimer;
        if (SceneEnterTimer == 0) {
            // Everything but the fonts loads in this one frame, behind the finished credits.
            SetFade(1);
            LoadGameBitmaps();
            LoadWaves();
            SceneLeaveTimer = kLoadingFadeOutFrames;
        }
    } else if (SceneLeaveTimer < 2) {
        SceneLeaveTimer = 0;
        EnterTitle(SceneLoading);
    } else {
        --SceneLeaveTimer;
    }
}

void LoadingDraw() {
    for (const CreditLine& line : kCredits) {
        DrawText(0, line.row, line.text, kCreditsFont, TextCellsCentred);
    }
    const char* dots = kLoadingDots[(SceneFrame / kDotFrames) % 4];
    if (dots) DrawText(kDotsOffset, kDotsRow, dots, kCreditsFont, TextCellsCentred);
    if (SceneLeaveTimer < 1) {
        StepFade(1, 0);
    } else {
        StepFade(0, 0);
    }
}

void EnterTitle(int32_t from) {
    SceneId = SceneTitle;
    SceneFrame = 0;
    if (from == SceneModeSelect || from == SceneOptionMenu) {
        // Back from a menu of the title's own family: no fade, the background stays.
        SceneEnterTimer = 0;
        SceneLeaveTimer = 0;
    } else {
        SceneEnterTimer = kTitleFadeInFrames;
        SetFade(0);
        BackgroundIndex = RandomUpTo(kBackgroundChoices);
        SceneLeaveTimer = 0;
    }
    MenuCursor = from == SceneOptionMenu ? kCursorOption : kCursorGameStart;
}
