#pragma once
// The title menu (GAME START, RANKING, OPTION, EXIT) and the mode select that GAME START
// leads to, where the buttons held while confirming choose the StartLevel.
#include <cstdint>

void TitleUpdate();
void TitleDraw();

// The mode select is entered only from the title; the argument of other entries is not needed.
void EnterModeSelect();
void ModeSelectUpdate();
void ModeSelectDraw();
