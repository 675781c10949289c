#include "frame/random.h"

int32_t RandomUpTo(uint32_t n) {
    // Signed 32-bit arithmetic as callers expect; the one top draw gives n + 1.
    int32_t r = DrawRandom();
    return static_cast<int32_t>(static_cast<int64_t>(r) * static_cast<int32_t>(n + 1) / 32767);
}
