#pragma once
// Controls of the headless audio device, for tests and the simulator. Nothing is heard:
// each buffer keeps the samples it was filled with, and every start and stop is recorded
// with the virtual clock's time. A sound played once counts as sounding until its length
// has passed on that clock; a looping one until it is stopped.
#include <cstdint>
#include <vector>

#include "platform/platform_audio.h"

struct HeadlessWaveSlot {
    bool hasBuffer;
    PlatformWaveFormat format;
    std::vector<uint8_t> samples;  // as last filled
    bool lost;                     // the next fill and play answer AudioBufferLost
    bool started;                  // started and not stopped since
    bool looping;
    uint32_t startedMs;
    int32_t starts;  // times played from the beginning since the buffer was made
    int32_t stops;
    int32_t pan;  // hundredths of a dB as last set
    int32_t volume;
    uint32_t frequency;  // 0: the sound's own rate
};

struct HeadlessAudioEvent {
    enum Kind : int32_t { Start, Stop } kind;
    int32_t slot;
    bool loop;
    uint32_t ms;
};

// Back to a device never opened, with nothing recorded and no failure planned.
void HeadlessAudioReset();

// How the next PlatformAudioOpen answers: AudioOpened (the default), AudioNoDevice or AudioRefused.
void HeadlessAudioFailOpen(int32_t result);
bool HeadlessAudioIsOpen();

// The device takes this slot's buffer, as a display switch may do.
void HeadlessAudioLoseBuffer(int32_t slot);

const HeadlessWaveSlot& HeadlessAudioSlot(int32_t slot);
bool HeadlessAudioSounding(int32_t slot);
const std::vector<HeadlessAudioEvent>& HeadlessAudioEvents();
// What reached the device since the reset, whatever was cleared or freed since: its opens,
// the buffers made and filled, the sounds started.
struct HeadlessAudioTotals {
    int32_t opens, buffers, fills, starts;
};
const HeadlessAudioTotals& HeadlessAudioReached();

// Forgets the recorded starts and stops and keeps room for many more: a long run that clears
// them every frame records without allocating.
void HeadlessAudioClearEvents();
