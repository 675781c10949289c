#include "game/game_scene.h"

#include "frame/sprite.h"
#include "game/dealing.h"
#include "game/erase.h"
#include "game/field.h"
#include "game/levels.h"
#include "game/medals.h"
#include "game/motion.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "input/input.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kReadyFrames = 100;
constexpr int32_t kElapsedMsPerFrame = 17;
constexpr int32_t kNoRank = 10;

// Game-over timeline, on the value of the countdown after its decrement.
constexpr int32_t kRankFrame = 195;
constexpr int32_t kGreyYFirst = 185, kGreyYLast = 85;  // y-line rows 1..11, bottom up
constexpr int32_t kGreyXFirst = 180, kGreyXLast = 50;  // x-line rows 2..15, bottom up

// The first rank whose score the game beats; an equal score stays below the older entry.
int32_t FindNewRank() {
    for (int32_t r = 0; r < kRankingEntries; ++r) {
        if (NormalRanking.entries[r].score < Game.score) return r;
    }
    return kNoRank;
}

void GreyRows(int32_t t) {
    if (t % 10 == 5 && t >= kGreyYLast && t <= kGreyYFirst) {
        int row = (195 - t) / 10;
        for (int i = kYFirstColumn; i <= kYLastColumn; ++i) {
            if (YLineGrid[i][row] != LineEmpty) YLineGrid[i][row] = LineGrey;
        }
    }
    if (t % 10 == 0 && t >= kGreyXLast && t <= kGreyXFirst) {
        int row = (200 - t) / 10;
        for (int i = kXFirstColumn; i <= kXLastColumn; ++i) {
            if (XLineGrid[i][row] != LineEmpty) XLineGrid[i][row] = LineGrey;
        }
    }
}

void UpdateReady() {
    if (Scene.enterTimer >= 2) {
        Scene.enterTimer -= 1;
        return;
    }
    Scene.enterTimer = 0;
    SpawnPiece();
    if (Game.params.instantGravity) InstantGravityAfterEntry();
}

void UpdateGameOver() {
    if (Scene.leaveTimer < 2) {
        Scene.leaveTimer = 0;
        FinishRecording(ReplayEndGameOver);
        if (Scene.newRank != kNoRank) {
            EnterScene(SceneNameEntry, Scene.id);
        } else {
            EnterScene(SceneTitle, Scene.id);
        }
        return;
    }
    Scene.leaveTimer -= 1;
    int32_t t = Scene.leaveTimer;
    if (t == kRankFrame) Scene.newRank = FindNewRank();
    GreyRows(t);
}

void UpdatePhase() {
    switch (Game.phase) {
        case PhaseFalling: UpdateFalling(); break;
        case PhaseLanded: UpdateLanded(); break;
        case PhaseErasing: UpdateErasing(); break;
        case PhaseNext: UpdateNext(); break;
        case PhaseLevelClear: UpdateLevelClear(); break;
        default: break;
    }
}

void PlayPinch() {
    int32_t danger = DangerLevel();
    if (danger == 1 && Scene.frame % 60 == 13) PlayWave(WaveSlotPinch, 0);
    if (danger == 2 && Scene.frame % 30 == 13) PlayWave(WaveSlotPinch, 0);
}

void CountDownMedalFlashes() {
    for (int kind = 0; kind < kMedals; ++kind) {
        if (Game.medalFlash[kind] > 0) Game.medalFlash[kind] -= 1;
    }
}

// RIGHT + KEY 1 + KEY 7 + KEY 8 held together leaves the game as Escape would: a close
// request in the game goes back to the title, with or without Shift.
void CheckAbortCombination() {
    if (ButtonIsDown(ButtonLatch.right) && ButtonIsDown(ButtonLatch.key[1]) &&
        ButtonIsDown(ButtonLatch.key[7]) && ButtonIsDown(ButtonLatch.key[8])) {
        FinishRecording(ReplayEndAbort);
        EnterScene(SceneTitle, Scene.id);
    }
}

// A level clear's banner hides the erase popup.
void CountDownPopupAndBanner() {
    if (Game.popupTimer > 0) {
        Game.popupTimer -= 1;
        if (Game.bannerTimer > 0) Game.popupTimer = 0;
    }
    if (Game.bannerTimer >= 1) Game.bannerTimer -= 1;
}

}  // namespace

void StartGame(int32_t mode) {
    Scene.id = 100 + mode;
    Scene.enterTimer = kReadyFrames;
    SetFade(0);
    Scene.leaveTimer = 0;
    Game.phase = PhaseReady;

    for (auto& counter : ActionCounters) counter = 0;

    if (mode == 1) Game.seed = Scene.frame;
    DealSequence(Game.seed);

    ResetField();
    Game.piece = Piece{};

    Game.dealt = 0;
    Game.score = 0;
    Game.lines = 0;
    Game.levelLines = 0;
    Game.elapsedMs = 0;
    Game.fallTimer = 0;
    Game.lockTimer = 0;
    Game.eraseTimer = 0;
    Game.nextTimer = 0;
    Game.streak = 0;
    for (int kind = 0; kind < kMedals; ++kind) {
        Game.medals[kind] = 0;
        Game.medalFlash[kind] = 0;
    }
    Game.level = Scene.startLevel;

    ApplyLevel(Game.level);

    Game.popupTimer = 0;
    Game.bannerTimer = 0;
    Scene.newRank = kNoRank;
    Scene.frame = 0;
    BeginRecording(mode);
}

void GameUpdate() {
    RecordButtons();
    UpdateActionCounters(Settings.keyConfig);

    if (Scene.enterTimer > 0 || Scene.leaveTimer >= 1) {
        if (Scene.enterTimer != 0) {
            UpdateReady();
        } else {
            UpdateGameOver();
        }
    } else {
        UpdatePhase();
        Game.elapsedMs = SaturatedAdd(Game.elapsedMs, kElapsedMsPerFrame);
        PlayPinch();
        CheckCollectionMedal();
        CountDownMedalFlashes();
        CheckAbortCombination();
    }

    CountDownPopupAndBanner();
}

// Only settled lines count; the zones lie just under the entry point of the pieces.
int32_t DangerLevel() {
    int32_t d = 0;
    for (int i = 2; i <= 6; ++i) {
        for (int j = 9; j <= 12; ++j) {
            if (XLineGrid[i][j] >= 1) d = 1;
            if (i != 2 && YLineGrid[i][j] >= 1) d = 1;
        }
    }
    for (int i = 3; i <= 5; ++i) {
        for (int j = 10; j <= 12; ++j) {
            if (XLineGrid[i][j] >= 1) d = 2;
            if (i != 3 && YLineGrid[i][j] >= 1) d = 2;
        }
    }
    return d;
}
