#pragma once
// The audio boundary: one output device and kPlatformAudioSlots static buffers of PCM
// sound. A buffer is created for a sound's format and length, then filled with its
// samples (the platform converts them to what the device plays). Each buffer plays from
// its start, once or looping; starting it again restarts it, and different buffers are
// mixed together by the platform.
#include <cstdint>

constexpr int32_t kPlatformAudioSlots = 32;

// The PCM layout of a sound as its wave file gives it.
struct PlatformWaveFormat {
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint16_t blockAlign;     // bytes per sample frame
    uint16_t bitsPerSample;  // 8: unsigned samples, 16: signed little-endian samples
};

enum PlatformAudioOpenResult : int32_t {
    AudioOpened = 0,
    AudioNoDevice,  // no output device could be built
    AudioRefused,   // a device exists but would not grant what the sound layer needs
};

enum PlatformAudioResult : int32_t {
    AudioFailed = 0,
    AudioDone = 1,
    AudioBufferLost = 2,  // the device took the buffer's memory; restore it and fill it again
};

int32_t PlatformAudioOpen();  // a PlatformAudioOpenResult
void PlatformAudioClose();    // frees every buffer first

bool PlatformAudioCreateBuffer(int32_t slot, const PlatformWaveFormat& format, uint32_t bytes);
int32_t PlatformAudioFill(int32_t slot, const uint8_t* data,
                          uint32_t bytes);  // a PlatformAudioResult
bool PlatformAudioRestore(int32_t slot);    // after a loss: the memory is back, its samples are not
void PlatformAudioFree(int32_t slot);       // stops and frees; the slot then has no buffer

int32_t PlatformAudioPlay(int32_t slot, bool loop);  // from the start; a PlatformAudioResult
bool PlatformAudioStop(int32_t slot);

// Optional controls; a platform without one answers false.
bool PlatformAudioSetFrequency(int32_t slot, uint32_t hz);  // 0: the sound's own rate
bool PlatformAudioGetFrequency(int32_t slot, uint32_t* hz);
bool PlatformAudioSetPan(int32_t slot,
                         int32_t pan);  // hundredths of a dB, -10000 left .. 10000 right
bool PlatformAudioSetVolume(int32_t slot,
                            int32_t volume);  // attenuation in hundredths of a dB, -10000..0
