#pragma once
// The points: the score, each erase step's points, and sums held within 32 bits.
#include <cstdint>

void AddScore(int64_t points);  // saturates at the largest score

// Points of one erase step, computed wide and held at the largest signed 32-bit value.
int32_t ErasePoints(int32_t stepLines, int32_t scoreFactor, int32_t chain);

// value + amount, held within the signed 32-bit range instead of wrapping.
int32_t SaturatedAdd(int32_t value, int64_t amount);
