#pragma once
// The sound device and its 32 numbered effect slots.
#include <cstdint>

constexpr int kWaveSlots = 32;

// Opens the device; when the player chose to play without sound, opens nothing and every slot
// takes its sound and plays in silence, answering as a device would.
int32_t CreateSound();
int32_t LoadWave(uint16_t slot, const char* name);
int32_t PlayWave(uint16_t slot, int32_t loop);
int32_t StopWave(uint16_t slot);
int32_t SetWaveFrequency(uint16_t slot, uint32_t hz);
int32_t ShiftWaveFrequency(uint16_t slot, int32_t hz);
int32_t SetWavePan(uint16_t slot, int32_t pan);
int32_t SetWaveVolume(uint16_t slot, int32_t volume);
void ReleaseWave(uint16_t slot);
void ReloadWave(uint16_t slot);
void ReleaseSound();  // process exit: every buffer and the device
void ResetSound();    // as a process that has just started: no device, no trace

// Every PlayWave and StopWave reports here with its result (tests, simulator events).
enum WaveOp { WaveOpPlay, WaveOpStop };
using WaveTraceFn = void (*)(WaveOp op, uint16_t slot, int32_t loop, int32_t result);
void SetWaveTrace(WaveTraceFn fn);
