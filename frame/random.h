#pragma once
// Random choices of the screens, drawn from the process's one generator.
#include <cstdint>

#include "rules/random.h"

int32_t RandomUpTo(uint32_t n);  // 0..n, and n + 1 when the draw is 32767
