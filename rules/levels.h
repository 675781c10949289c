#pragma once
// The level table: each level's speeds, score factor and background.
#include <cstdint>

// Puts the level's params in force; in play (not during READY) the level has risen.
void ApplyLevel(int32_t level);
