#include "rules/levels.h"

#include "rules/events.h"
#include "rules/field.h"
#include "rules/medals.h"

namespace {

// One row per level from firstLevel up to the next row's firstLevel; the last row has no end.
struct LevelRow {
    int32_t firstLevel;
    LevelParams params;  // fallDelay, lockDelay, eraseDelay, nextDelay, scoreFactor, instantGravity
    int32_t backgroundIndex;
};

constexpr LevelRow kLevelTable[] = {
    {0, {60, 60, 60, 20, 5, 0}, 0},   {1, {40, 60, 60, 20, 6, 0}, 0},
    {2, {20, 60, 60, 20, 7, 0}, 0},   {3, {15, 40, 60, 20, 8, 0}, 1},
    {4, {10, 40, 60, 20, 9, 0}, 1},   {5, {8, 40, 40, 20, 10, 0}, 1},
    {6, {6, 40, 40, 20, 11, 0}, 2},   {7, {5, 40, 40, 20, 12, 0}, 2},
    {8, {4, 40, 40, 20, 13, 0}, 2},   {9, {3, 40, 40, 20, 14, 0}, 3},
    {10, {60, 40, 30, 20, 10, 0}, 4}, {11, {20, 40, 30, 20, 11, 0}, 4},
    {12, {10, 40, 30, 20, 12, 0}, 5}, {13, {5, 40, 30, 20, 13, 0}, 5},
    {14, {3, 40, 30, 20, 14, 0}, 5},  {15, {1, 40, 30, 20, 20, 0}, 6},
    {25, {0, 40, 30, 20, 30, 0}, 7},  {35, {0, 40, 20, 20, 40, 1}, 8},
    {50, {0, 33, 20, 12, 60, 1}, 9},  {70, {0, 27, 10, 5, 80, 1}, 10},
    {100, {0, 24, 5, 0, 100, 1}, 11},
};
constexpr int kLevelRows = sizeof(kLevelTable) / sizeof(kLevelTable[0]);

const LevelRow& RowForLevel(int32_t level) {
    int row = 0;
    while (row + 1 < kLevelRows && kLevelTable[row + 1].firstLevel <= level) ++row;
    return kLevelTable[row];
}

}  // namespace

void ApplyLevel(int32_t level) {
    const LevelRow& row = RowForLevel(level);
    Game.params = row.params;
    EmitPlayEvent(PlayLevelSet, level, row.backgroundIndex);
    CheckTimeMedal(level);
    CheckLevelMedal(level);
    // The game's first level is set during READY and is not a level change.
    if (Game.phase != PhaseReady) EmitPlayEvent(PlayLevelRose, level);
}
