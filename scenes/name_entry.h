#pragma once
// The name-entry scene: three NameLetters for a result that reaches the normal ranking.
#include <cstdint>

extern int32_t NameLetters[3];  // 0..41 each; 0 is the blank letter
extern int8_t NextRepeat;       // auto-repeat of DOWN/RIGHT
extern int8_t PrevRepeat;       // auto-repeat of UP/LEFT

void EnterNameEntry();
void NameEntryUpdate();
void NameEntryDraw();

// Puts the letters, the game's score, lines and medals into the normal RankingTable at
// NewRank, moving the entries below it down one place.
void CommitName();

// Back to the state of a process that has just started (tests).
void ResetNameEntry();
