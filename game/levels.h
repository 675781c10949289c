#pragma once
// The level table, points, medals and the erase rating.
#include <cstdint>

struct LevelParams;

void ApplyLevel(int32_t level);
void AwardMedal(int kind, int32_t tier);
void CheckLineMedals();
void CheckChainMedals();
void CheckStreakMedals();
void CheckCollectionMedal();
int32_t EraseRating();
const char* EraseRatingWord(int32_t rating);   // null below the lowest word
void AddScore(int64_t points);                  // saturates at the largest score

// The two medals a level change can win, in the order ApplyLevel checks them.
void CheckTimeMedal(int32_t level);
void CheckLevelMedal(int32_t level);

// The LevelParams row in force at a level.
const LevelParams& LevelParamsFor(int32_t level);

// Points of one erase step, computed wide and held at the largest signed 32-bit value.
int32_t ErasePoints(int32_t stepLines, int32_t scoreFactor, int32_t chain);

// value + amount, held within the signed 32-bit range instead of wrapping.
int32_t SaturatedAdd(int32_t value, int64_t amount);
