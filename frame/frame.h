#pragma once
// The application frame's settings and state, and the close protocol between the frame and
// the game: what the game may set and ask of the frame while it runs.
#include <cstdint>

using FrameRoutine = void (*)();
using CloseRoutine = int32_t (*)();

struct FrameRect {
    int32_t left, top, right, bottom;
};

// The frame's process-wide settings and state; zeroed at start-up.
struct FrameState {
    int32_t window;           // 1 while the window exists (stands in for its handle)
    FrameRect clientRect;     // the window's client area on the screen
    int32_t active;           // 1 while frames run
    int32_t closing;          // set by RequestClose, never cleared
    uint16_t quitKey;         // key-down of this key requests a close
    int32_t targetFrameRate;  // 2..100
    float measuredFrameRate;
    FrameRoutine frameCallback;
    CloseRoutine closeCallback;
    int32_t messageBoxShowing;  // 1 while an error or confirmation box is open
    int32_t mouseMoved;
    int32_t firstMouseX, firstMouseY;
    int32_t joystickPolling;
    int32_t cursorTracking;
};
extern FrameState Frame;

void SetFrameRate(int32_t fps);
int32_t SetFrameCallback(FrameRoutine routine);
void SetCloseCallback(CloseRoutine routine);
// Asks the game's close routine, as every close request does, for a request the game makes
// itself (the abort combination): the routine acts, and its answer closes nothing. 0 when no
// routine is set.
int32_t AskCloseCallback();
int32_t SetQuitKey(int32_t key);

// Back to the state of a process that has just started: every field zero.
void ResetFrame();
