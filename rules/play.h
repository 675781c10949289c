#pragma once
// A game from its start to its hand-over, one update at a time: the READY countdown, the play
// phases, the time, the danger warning, the medals' flashes, the abort combination and the
// game-over timeline. The game scene and a replay verifier drive a game through these
// routines alone; what the game needs done outside comes back in PlayEvents.
#include <cstdint>

#include "rules/actions.h"

// A new game: the deal from seed, the empty field, the start level in force, READY.
void BeginPlay(int32_t seed, int32_t startLevel);

// What one update reads from outside the rules.
struct PlayInput {
    ButtonLatchState buttons;  // this update's twelve buttons
    int32_t keyConfig;         // the key layout in force (any number)
    int32_t frame;             // the scene's frame count, by which the danger warning keeps time
};
void StepPlay(const PlayInput& input);

// 0, 1 or 2: how close the settled lines come to the entry of the pieces.
int32_t DangerLevel();
