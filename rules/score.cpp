#include "rules/score.h"

#include <limits>

#include "rules/field.h"

int32_t SaturatedAdd(int32_t value, int64_t amount) {
    int64_t sum = static_cast<int64_t>(value) + amount;
    if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}

// A long game or a big chain must not wrap the ten-digit score into negative numbers.
void AddScore(int64_t points) { Game.score = SaturatedAdd(Game.score, points); }

int32_t ErasePoints(int32_t stepLines, int32_t scoreFactor, int32_t chain) {
    int64_t points = static_cast<int64_t>(stepLines) * (stepLines - 3) * 5 * scoreFactor;
    points *= static_cast<int64_t>(chain) * chain;
    return SaturatedAdd(0, points);
}
