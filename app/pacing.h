#pragma once
// Frame pacing: each frame lasts 1000 / fps milliseconds, with the remainder spread over
// every (fps / 10)th frame, measured on the millisecond clock. Also keeps the measured
// frame rate in Frame.measuredFrameRate, refreshed twice a second.
#include <cstdint>

// Called once per frame after the presentation; sleeps for what is left of the frame.
void PaceFrame();

// For a loop that must never wait (a browser's display callback, at whatever rate the
// display runs): how many frames are due by the clock now, each counted as run. The same
// frame lengths as PaceFrame's, so that the frames keep the same rate on any display; a
// backlog of more than a few frames is dropped.
int32_t FramesDue();

// Back to a process that has just started: the next call is the first one again.
void ResetPacing();
