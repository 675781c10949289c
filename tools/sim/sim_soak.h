#pragma once
// The soak: the whole program driven for many frames by random but valid presses that know
// which screen they are on, with the program's invariants checked after every frame.
#include <cstdint>

// Runs `frames` frames in the current directory (its bmp/ and wave/ in place) with input
// drawn from `seed`; prints a summary to stdout. 0 when every frame kept every invariant;
// 1 after printing the frame and the broken invariant of the first violation.
int RunSoak(int64_t frames, uint32_t seed);

// operator new calls of the whole process so far.
uint64_t SimAllocations();
