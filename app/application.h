#pragma once
// The process entry and the loop in RunApplication, with the hooks whatever drives the loop
// (tests, the simulator) uses; the message handling is in app/window_procedure.h.
#include <cstdint>

#include "frame/frame.h"

// The game's routines the loop calls: startup once, after the frame's own set-up; frame
// every frame while the window is active.
struct GameRoutines {
    FrameRoutine startup;
    FrameRoutine frame;
};

// The process entry: brings the system up, hands the game its start, runs the loop, returns
// 0 in every case.
int32_t RunApplication(const GameRoutines& game);

// Called right after every FrameCallback, before the presentation (the simulator counts
// frames, feeds its script and takes pictures here). Null removes it.
using FrameTraceFn = void (*)();
void SetFrameTrace(FrameTraceFn fn);

// Back to the state of a process that has just started: no frame trace.
void ResetApplication();
