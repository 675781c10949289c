#pragma once
// Puts every process-wide record back to the state of a process that has just started, the
// headless machine back to new, and the scene table in place, so that many runs can follow
// one another in one test process.
void FreshProcess();
