#pragma once
// The game's side of the frame's contract: the routines the program hands to the frame loop.
#include <cstdint>

// Once, before the first frame: frame rate, cursor, joysticks, the random seed, the fonts,
// the settings and rankings, then the credits.
void StartupCallback();

// Every frame: clear, latch the buttons, update the current scene, draw the scene current
// after the update, count the frame.
void FrameCallback();

// At every close request: 1 to let the program end (title and credits, after saving), 0 to
// stay (a sub-screen goes one level back instead).
int32_t CloseCallback();
