#pragma once
// The sound test screen: plays any WaveSlot by number, and makes no sound of its own.
#include <cstdint>

// The WaveSlot chosen on the screen, 0..31; 0 again on every visit.
extern int32_t SoundTestNumber;

// Back to the state of a process that has just started: the first sound chosen.
void ResetSoundTest();

void EnterSoundTest();
void SoundTestUpdate();
void SoundTestDraw();
