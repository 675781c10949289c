#pragma once
// The mode select that GAME START leads to, where the buttons held while confirming choose
// the StartLevel.

// The mode select is entered only from the title; the argument of other entries is not needed.
void EnterModeSelect();
void ModeSelectUpdate();
void ModeSelectDraw();
