#pragma once
// The twelve logical buttons: each frame's states latched from the keys and joystick 0. What
// the buttons mean in a game (the key layouts, the action counters) is the rules'.
#include <cstdint>

#include "rules/actions.h"

// ButtonLatch: this frame's ButtonState of each logical button, written by LatchButtons.
extern ButtonLatchState ButtonLatch;

extern const char* const GameActionLabel[6];

// Back to the state of a process that has just started: every button idle, counters 0.
void ResetButtons();

void LatchButtons();
