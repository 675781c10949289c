#pragma once
// The six medals and the erase rating.
#include <cstdint>

void AwardMedal(int kind, int32_t tier);
void CheckLineMedals();
void CheckChainMedals();
void CheckStreakMedals();
void CheckCollectionMedal();
int32_t EraseRating();
const char* EraseRatingWord(int32_t rating);  // null below the lowest word

// The two medals a level change can win, in the order ApplyLevel checks them.
void CheckTimeMedal(int32_t level);
void CheckLevelMedal(int32_t level);
