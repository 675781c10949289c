#include "rules/play.h"

#include "rules/dealing.h"
#include "rules/erase.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/levels.h"
#include "rules/medals.h"
#include "rules/motion.h"
#include "rules/score.h"

namespace {

constexpr int32_t kReadyFrames = 100;
constexpr int32_t kElapsedMsPerFrame = 17;

// Game-over timeline, on the value of the countdown after its decrement.
constexpr int32_t kRankFrame = 195;
constexpr int32_t kGreyYFirst = 185, kGreyYLast = 85;  // y-line rows 1..11, bottom up
constexpr int32_t kGreyXFirst = 180, kGreyXLast = 50;  // x-line rows 2..15, bottom up

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
    if (Game.readyTimer >= 2) {
        Game.readyTimer -= 1;
        return;
    }
    Game.readyTimer = 0;
    SpawnPiece();
    if (Game.params.instantGravity) InstantGravityAfterEntry();
}

void UpdateGameOver() {
    if (Game.overTimer < 2) {
        Game.overTimer = 0;
        EmitPlayEvent(PlayOver);
        return;
    }
    Game.overTimer -= 1;
    int32_t t = Game.overTimer;
    if (t == kRankFrame) EmitPlayEvent(PlayRankDue);
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

void WarnOfDanger(int32_t frame) {
    int32_t danger = DangerLevel();
    if (danger == 1 && frame % 60 == 13) EmitPlayEvent(PlayDanger, danger);
    if (danger == 2 && frame % 30 == 13) EmitPlayEvent(PlayDanger, danger);
}

void CountDownMedalFlashes() {
    for (int kind = 0; kind < kMedals; ++kind) {
        if (Game.medalFlash[kind] > 0) Game.medalFlash[kind] -= 1;
    }
}

// RIGHT + KEY 1 + KEY 7 + KEY 8 held together leaves the game.
void CheckAbortCombination(const ButtonLatchState& b) {
    if (ButtonIsDown(b.right) && ButtonIsDown(b.key[1]) && ButtonIsDown(b.key[7]) &&
        ButtonIsDown(b.key[8])) {
        EmitPlayEvent(PlayAborted);
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

void BeginPlay(int32_t seed, int32_t startLevel) {
    ClearPlayEvents();
    Game.readyTimer = kReadyFrames;
    Game.overTimer = 0;
    Game.phase = PhaseReady;

    ResetActionCounters();

    Game.seed = seed;
    DealSequence(seed);

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
    Game.startLevel = startLevel;
    Game.level = startLevel;

    ApplyLevel(Game.level);

    Game.popupTimer = 0;
    Game.bannerTimer = 0;
}

void StepPlay(const PlayInput& input) {
    ClearPlayEvents();
    UpdateActionCounters(input.buttons, input.keyConfig);

    if (Game.readyTimer > 0 || Game.overTimer >= 1) {
        if (Game.readyTimer != 0) {
            UpdateReady();
        } else {
            UpdateGameOver();
        }
    } else {
        UpdatePhase();
        Game.elapsedMs = SaturatedAdd(Game.elapsedMs, kElapsedMsPerFrame);
        WarnOfDanger(input.frame);
        CheckCollectionMedal();
        CountDownMedalFlashes();
        CheckAbortCombination(input.buttons);
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
