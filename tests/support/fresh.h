#pragma once
// Puts every process-wide record back to the state of a process that has just started,
// and the headless machine back to new, so that many runs can follow one another in one
// test process. Each subsystem's state is listed in fresh.cpp.
void FreshProcess();
