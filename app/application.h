#pragma once
// The frame's message handling and per-frame steps, shared by the loop in RunApplication
// and by whatever drives it (tests, the simulator).
#include <cstdint>

#include "frame/frame.h"
#include "platform/platform_window.h"

// The game's routines the loop calls: startup once, after the frame's own set-up; frame
// every frame while the window is active.
struct GameRoutines {
    FrameRoutine startup;
    FrameRoutine frame;
};

// The process entry: brings the system up, hands the game its start, runs the loop, returns
// 0 in every case.
int32_t RunApplication(const GameRoutines& game);

// Takes every queued message and hands it to the window procedure; 0 once the quit message
// came (the loop ends), 1 when the queue is empty.
int32_t PumpMessages();

// The window procedure: one message, handled as the frame's window handles it.
int32_t WindowProcedure(const PlatformMessage& message);

// The per-frame input step before the FrameCallback: the joysticks, when polling is on.
void PollInput();

// Called right after every FrameCallback, before the presentation (the simulator counts
// frames, feeds its script and takes pictures here). Null removes it.
using FrameTraceFn = void (*)();
void SetFrameTrace(FrameTraceFn fn);

// Back to the state of a process that has just started: no frame trace.
void ResetApplication();
