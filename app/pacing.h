#pragma once
// Frame pacing: each frame lasts 1000 / fps milliseconds, with the remainder spread over
// every (fps / 10)th frame, measured on the millisecond clock. Also keeps the measured
// frame rate in Frame.measuredFrameRate, refreshed twice a second.

// Called once per frame after the presentation; sleeps for what is left of the frame.
void PaceFrame();

// Back to a process that has just started: the next call is the first one again.
void ResetPacing();
