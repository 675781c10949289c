#include "rules/dealing.h"

#include <climits>

#include "rules/actions.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/random.h"

namespace {

constexpr int32_t kEntryRotation = 1;
constexpr int32_t kEntryColumn = 3;
constexpr int32_t kGameOverFrames = 200;
constexpr int32_t kTurnRight = 1;
constexpr int32_t kTurnLeft = 3;  // three quarter turns clockwise

// dealt only ever picks a place in the sequence; before it could overflow it steps back by
// a whole number of sequences, which leaves that place unchanged.
constexpr int32_t kDealtRewind = kSequenceLength * 1000000;

// A rotate button held while the piece enters turns it before its first frame. Returns
// whether this turn stayed; a refused turn also takes back the mark of an earlier one.
bool PreRotate(int32_t step, int32_t undo) {
    Piece& p = Game.piece;
    p.rotation = (p.rotation + step) % kRotations;
    LoadShape();
    bool turned = true;
    const int32_t fit = TestFit();
    if (fit == FitResting) {
        Game.phase = PhaseLanded;
        EmitPlayEvent(PlayLanded);
    } else if (fit == FitBlocked) {
        p.rotation = (p.rotation + undo) % kRotations;
        LoadShape();
        turned = false;
    }
    return turned;
}

}  // namespace

int32_t NextPieceKind() {
    int32_t index = Game.dealt % kSequenceLength;
    if (index < 0) index += kSequenceLength;
    const int32_t kind = Game.sequence[index];
    // Only DealSequence writes the sequence; anything else there must not index the tables.
    return kind >= 0 && kind < kPieceKinds ? kind : 0;
}

void DealSequence(int32_t seed) {
    SeedRandom(static_cast<uint32_t>(seed));
    for (int i = 0; i < kSequenceLength; ++i) {
        const int32_t r = DrawRandom();
        int32_t kind = r * 7 / 32767;
        // Only the top draw reaches 7, the square that is never dealt.
        if (kind == 7) kind = 0;
        Game.sequence[i] = static_cast<int8_t>(kind);
    }
}

void SpawnPiece() {
    Piece& p = Game.piece;

    p.kind = NextPieceKind();
    p.rotation = kEntryRotation;
    p.x = kEntryColumn;
    p.y = SpawnRowTable[p.kind];
    LoadShape();

    const int32_t fit = TestFit();
    if (fit == FitFree) {
        Game.phase = PhaseFalling;
    } else if (fit == FitResting) {
        Game.phase = PhaseLanded;
        EmitPlayEvent(PlayLanded);
    } else {
        // The stack reaches the entry: the piece stays visible where it could not enter.
        Game.phase = PhaseTopOut;
        Game.overTimer = kGameOverFrames;
        EmitPlayEvent(PlayToppedOut);
        LockPiece();
        return;
    }

    Game.fallTimer = Game.params.fallDelay;
    Game.lockTimer = Game.params.lockDelay;
    if (Game.dealt >= INT32_MAX - 1) Game.dealt -= kDealtRewind;
    Game.dealt = Game.dealt + 1;

    bool turned = false;
    if (ActionCounters[CounterRotateRight] >= 1) turned = PreRotate(kTurnRight, kTurnLeft);
    if (ActionCounters[CounterRotateLeft] >= 1) turned = PreRotate(kTurnLeft, kTurnRight);

    EmitPlayEvent(PlayEntered, NextPieceKind());

    if (turned) EmitPlayEvent(PlayPreRotated);
}

void InstantGravityAfterEntry() {
    if (Game.params.instantGravity == 0) return;
    // No check for a top-out: a piece that could not enter is left in phase "landed".
    if (DropToRest() > 0) Game.fallTimer = Game.params.fallDelay;
    Game.phase = PhaseLanded;
    Game.lockTimer = Game.params.lockDelay;
}
