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

// How a start went.
enum class StartResult : int32_t {
    Started,      // the game ran (RunApplication: and its loop has ended)
    AnotherRuns,  // a copy of the game runs already; it was asked to come to the front
    Failed,       // start-up ended the program: no window, display mode or sound device;
                  // its message has been shown
};

// The process entry: brings the system up, hands the game its start, runs the loop. The
// display and sound stay until StopApplication.
StartResult RunApplication(const GameRoutines& game);

// The same in pieces, for a host that drives the loop itself.
// Brings the system up and hands the game its start.
StartResult StartApplication(const GameRoutines& game);
// One pass of the desktop loop: the messages, then one frame paced by sleeping, or a wait
// for a message while inactive. False once the loop has ended.
bool StepApplication();
// One pass for a host that calls back at its display's rate and must never wait (a browser):
// the messages, then every frame the clock says is due, none while inactive. The game runs
// at its own frame rate whatever the display's. False once the loop has ended.
bool RunDueFrames();
// Process exit, after the loop: the sound, then the display.
void StopApplication();

// Called right after every FrameCallback, before the presentation (the simulator counts
// frames, feeds its script and takes pictures here). Null removes it.
using FrameTraceFn = void (*)();
void SetFrameTrace(FrameTraceFn fn);

// Back to the state of a process that has just started: no frame trace.
void ResetApplication();
