#pragma once
// What the rules want done outside them: the happenings of one update (or of a game's start),
// in the order they happened. The game scene hears them (sounds), shows them (the background)
// and hands over on them; a verifier only watches for the end. The rules themselves play no
// sound, read or write no file and enter no scene.
#include <cstdint>

enum PlayEventKind : int32_t {
    PlayLanded,        // a piece came to rest; it may still slide or turn before it locks
    PlayLocked,        // a piece locked without closing a rectangle
    PlayEntered,       // a piece entered; value: the kind dealt next
    PlayPreRotated,    // the entering piece was turned by a rotate button held
    PlayToppedOut,     // a piece could not enter: the game-over timeline starts
    PlayEraseBegan,    // an erase step (value 0) or a level clear (value 1) began
    PlayEraseEnded,    // its animation ended
    PlayLinesDropped,  // the lines above the erased rectangles dropped
    PlayLevelSet,      // value: the level now in force; detail: its background picture
    PlayLevelRose,     // the level rose during play (the start level does not count)
    PlayMedalWon,      // value: the MedalKind; detail: the tier won
    PlayDanger,        // the stack reaches the entry's zone: a warning now; value: how close
    PlayRankDue,       // the game-over timeline asks for the game's place in the ranking
    PlayOver,          // the game-over timeline ran out: the game hands over
    PlayAborted,       // RIGHT + KEY 1 + KEY 7 + KEY 8 held in play: the player leaves
};

struct PlayEvent {
    PlayEventKind kind;
    int32_t value;
    int32_t detail;
};

// Room for twice the most one update gives: an erase step with nine medal tiers (or a level
// rise with its four), then the warning, three collection tiers and the abort.
constexpr int kPlayEventCapacity = 32;

// The events of the last BeginPlay or StepPlay.
struct PlayEventList {
    PlayEvent events[kPlayEventCapacity];
    int32_t count;
};
extern PlayEventList PlayEvents;

void ClearPlayEvents();
void EmitPlayEvent(PlayEventKind kind, int32_t value = 0, int32_t detail = 0);
