#include "frame/random.h"

namespace {
uint32_t g_randomState = 0;
}

void SeedRandom(uint32_t seed) { g_randomState = seed; }

int32_t DrawRandom() {
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<int32_t>((g_randomState >> 16) & 0x7FFF);
}

int32_t RandomUpTo(uint32_t n) {
    // Signed 32-bit arithmetic as callers expect; the one top draw gives n + 1.
    int32_t r = DrawRandom();
    return static_cast<int32_t>(static_cast<int64_t>(r) * static_cast<int32_t>(n + 1) / 32767);
}

void ResetRandom() { SeedRandom(0); }
