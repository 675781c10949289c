#pragma once
// The one process-wide random generator: a linear congruential generator whose draws are
// 15-bit values. Piece dealing draws from it, and so do the screens' random choices
// (RandomUpTo): one sequence for both, so that a game and the pictures around it are dealt
// from the same state.
#include <cstdint>

void SeedRandom(uint32_t seed);
int32_t DrawRandom();  // next value 0..32767

// Back to the state of a process that has just started (state 0).
void ResetRandom();
