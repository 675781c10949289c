#pragma once
// The level table, points, medals and the erase rating.
#include <cstdint>

void ApplyLevel(int32_t level);
void AwardMedal(int kind, int32_t tier);
void CheckLineMedals();
void CheckChainMedals();
void CheckStreakMedals();
void CheckCollectionMedal();
int32_t EraseRating();
const char* EraseRatingWord(int32_t rating);   // null below the lowest word
void AddScore(int64_t points);                  // saturates at the largest score
