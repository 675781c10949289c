#pragma once
// The one process-wide random generator: a linear congruential generator whose draws are
// 15-bit values. Piece dealing, background choice and RandomUpTo all draw from it.
#include <cstdint>

void SeedRandom(uint32_t seed);
int32_t DrawRandom();            // next value 0..32767
int32_t RandomUpTo(uint32_t n);  // 0..n, and n + 1 when the draw is 32767

// Back to the state of a process that has just started (state 0).
void ResetRandom();
