#pragma once
// The game's run, kept apart from the Win32 headers: they declare names (FrameRect among
// them) that the frame's own headers use for other things.

// Finds the game's folder, runs the program to its end and releases the frame's sound and
// display records.
void Win32RunGame();
