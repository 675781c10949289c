#pragma once
// The frame's message handling and its per-frame input step, shared by the loop in
// RunApplication and by whatever drives it (tests, the simulator).
#include <cstdint>

#include "platform/platform_window.h"

// Takes every queued message and hands it to the window procedure; 0 once the quit message
// came (the loop ends), 1 when the queue is empty.
int32_t PumpMessages();

// The window procedure: one message, handled as the frame's window handles it.
int32_t WindowProcedure(const PlatformMessage& message);

// The per-frame input step before the FrameCallback: the joysticks, when polling is on.
void PollInput();

// A close request, as Escape or the window's close command makes it: the window procedure
// asks the game's close routine and ends the program when it agrees. 0 once the window is
// gone.
int32_t RequestClose();
