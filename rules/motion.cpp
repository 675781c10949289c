#include "rules/motion.h"

#include "rules/actions.h"
#include "rules/dealing.h"
#include "rules/erase.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/score.h"

namespace {

constexpr int32_t kTurnRight = 1;
constexpr int32_t kTurnLeft = 3;  // three quarter turns clockwise
constexpr int32_t kDropPoints = 10;

// Sideways moves act at the press, on the 11th frame held, then every second frame.
bool MoveActs(int8_t counter) { return counter == 1 || counter == 11; }

void Land() {
    Game.phase = PhaseLanded;
    EmitPlayEvent(PlayLanded);
}

void Turn(int32_t step) {
    Game.piece.rotation = (Game.piece.rotation + step) % kRotations;
    LoadShape();
}

// A falling piece moved sideways lands at once when the new column holds it.
void MoveFalling(int32_t dx) {
    Game.piece.x += dx;
    const int32_t fit = TestFit();
    if (fit == FitResting) {
        Land();
    } else if (fit == FitBlocked) {
        Game.piece.x -= dx;
    }
}

// One try of a turn, with the piece already shifted by shift columns. On a refusal the
// shift and the turn are taken back.
bool TryTurn(int32_t step, int32_t undo, int32_t shift) {
    Game.piece.x += shift;
    Turn(step);
    const int32_t fit = TestFit();
    if (fit == FitFree) return true;
    if (fit == FitResting) {
        Land();
        return true;
    }
    Game.piece.x -= shift;
    Turn(undo);
    return false;
}

// A refused turn is tried once more one column right, then one column left; but not while
// the straight line waits as the next piece.
void TurnWithKicks(int32_t step, int32_t undo) {
    if (TryTurn(step, undo, 0)) return;
    if (NextPieceKind() == 0) return;
    if (TryTurn(step, undo, +1)) return;
    TryTurn(step, undo, -1);
}

// A landed piece may slide or turn; it falls again only when that leaves it free, and its
// lock delay is not renewed by the move.
void MoveLanded(int32_t dx) {
    Game.piece.x += dx;
    const int32_t fit = TestFit();
    if (fit == FitFree) {
        Game.phase = PhaseFalling;
        Game.fallTimer = Game.params.fallDelay;
    } else if (fit == FitBlocked) {
        Game.piece.x -= dx;
    }
}

void TurnLanded(int32_t step, int32_t undo) {
    Turn(step);
    const int32_t fit = TestFit();
    if (fit == FitFree) {
        Game.phase = PhaseFalling;
        Game.fallTimer = Game.params.fallDelay;
    } else if (fit == FitBlocked) {
        Turn(undo);
    }
}

// With instant gravity a free piece drops to rest within the frame.
void InstantGravity() {
    if (Game.params.instantGravity == 0 || Game.phase != PhaseFalling) return;
    if (DropToRest() > 0) Game.fallTimer = Game.params.fallDelay;
    Land();
    Game.lockTimer = Game.params.lockDelay;
}

}  // namespace

void UpdateFalling() {
    const LevelParams& params = Game.params;

    if (MoveActs(ActionCounters[CounterRight])) MoveFalling(+1);
    if (MoveActs(ActionCounters[CounterLeft])) MoveFalling(-1);
    if (ActionCounters[CounterRotateRight] == 1) TurnWithKicks(kTurnRight, kTurnLeft);
    if (ActionCounters[CounterRotateLeft] == 1) TurnWithKicks(kTurnLeft, kTurnRight);

    if (Game.fallTimer < 1) {
        Game.fallTimer = params.fallDelay;
        Game.lockTimer = params.lockDelay;
        Game.piece.y -= 1;
        const int32_t fit = TestFit();
        if (fit == FitResting) {
            Land();
            Game.lockTimer = params.lockDelay;
        } else if (fit == FitBlocked) {
            // Nothing lay below: the piece goes back up and lands where it was.
            Game.piece.y += 1;
            Land();
            Game.lockTimer = params.lockDelay;
        }
    } else {
        Game.fallTimer -= 1;

        if (ActionCounters[CounterSpeedyFall] >= 1) {
            Game.fallTimer = 0;
            AddScore(kDropPoints);
        }

        if (ActionCounters[CounterInstantFall] == 1) {
            const int32_t rows = DropToRest();
            if (rows > 0) Game.fallTimer = params.fallDelay;
            AddScore(static_cast<int64_t>(rows) * kDropPoints);
            Land();
            Game.lockTimer = params.lockDelay;
            return;
        }

        if (ActionCounters[CounterFallAndFix] == 1) {
            if (DropToRest() > 0) Game.fallTimer = 0;
            Land();
            Game.lockTimer = 0;  // locks in the next frame
            return;
        }
    }

    InstantGravity();
}

void UpdateLanded() {
    if (Game.lockTimer < 1) {
        LockPiece();
        CheckErase(AfterLock);
        return;
    }
    Game.lockTimer -= 1;

    if (MoveActs(ActionCounters[CounterRight])) MoveLanded(+1);
    if (MoveActs(ActionCounters[CounterLeft])) MoveLanded(-1);
    if (ActionCounters[CounterRotateRight] == 1) TurnLanded(kTurnRight, kTurnLeft);
    if (ActionCounters[CounterRotateLeft] == 1) TurnLanded(kTurnLeft, kTurnRight);

    // Pressing down on a landed piece fixes it at once; INSTANT FALL has nothing left to drop.
    if (ActionCounters[CounterSpeedyFall] >= 1 || ActionCounters[CounterFallAndFix] >= 1) {
        Game.fallTimer = 0;
        Game.lockTimer = 0;
    }

    InstantGravity();
}
