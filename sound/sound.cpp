#include "sound/sound.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/diagnostics.h"
#include "frame/start_choice.h"
#include "platform/platform_audio.h"
#include "sound/wave_reader.h"

static_assert(kWaveSlots == kPlatformAudioSlots);

namespace {

constexpr size_t kWaveNameBytes = 260;
// The sizes a static buffer may have.
constexpr uint32_t kMinBufferBytes = 4;
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 100000;
constexpr int32_t kPanFullRight = 10000;
constexpr int32_t kPanFullLeft = -10000;
constexpr int32_t kVolumeSilent = -10000;
constexpr int32_t kVolumeFull = 0;

// The one sound object of the process: whether the device is open (or the player chose to
// play without one), and per slot whether it holds a buffer and the name it was loaded from.
struct SoundDeviceRecord {
    bool open;
    bool silent;  // no device was asked for: slots take their sounds and play nothing
    bool buffers[kWaveSlots];
    char names[kWaveSlots][kWaveNameBytes];
};

SoundDeviceRecord SoundDevice;
WaveTraceFn WaveTrace;

bool SlotHoldsBuffer(uint16_t slot) { return slot < kWaveSlots && SoundDevice.buffers[slot]; }
// A silent slot has no frequency, pan or volume to set.
bool AudibleSlot(uint16_t slot) { return SlotHoldsBuffer(slot) && !SoundDevice.silent; }

int32_t Traced(WaveOp op, uint16_t slot, int32_t loop, int32_t result) {
    if (WaveTrace) WaveTrace(op, slot, loop, result);
    return result;
}

// A static buffer holds 8- or 16-bit PCM in one or two channels at a rate the device can
// play; anything else is refused as the buffer is created.
bool BufferCanHold(const WaveFormatRecord& format, uint32_t bytes) {
    if (bytes < kMinBufferBytes || bytes > kMaxBufferBytes) return false;
    if (format.channels < 1 || format.channels > 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8) return false;
    return format.samplesPerSecond >= kMinFrequency && format.samplesPerSecond <= kMaxFrequency;
}

int32_t CreateSlotBuffer(uint16_t slot, const WaveFormatRecord& format, uint32_t bytes) {
    if (!SoundDevice.open && !SoundDevice.silent) return 0;  // no device, no buffers
    if (!BufferCanHold(format, bytes)) return 0;
    // A silent slot accepts what a device would, so the game runs as it does with sound.
    if (SoundDevice.silent) {
        SoundDevice.buffers[slot] = true;
        return 1;
    }
    const PlatformWaveFormat pcm{format.channels, format.samplesPerSecond, format.blockAlign,
                                 format.bitsPerSample};
    if (!PlatformAudioCreateBuffer(slot, pcm, bytes)) return 0;
    SoundDevice.buffers[slot] = true;
    return 1;
}

int32_t FillSlotBuffer(uint16_t slot, const uint8_t* data, uint32_t bytes) {
    if (SoundDevice.silent) return 1;
    int32_t result = PlatformAudioFill(slot, data, bytes);
    if (result == AudioBufferLost) {
        // A lost buffer gets its memory back and is filled once more.
        if (!PlatformAudioRestore(slot)) return 0;
        result = PlatformAudioFill(slot, data, bytes);
    }
    return result == AudioDone ? 1 : 0;
}

int32_t LoadWaveFile(uint16_t slot, const char* name) {
    WaveFile file;
    const int32_t read = ReadWaveFile(name, &file);
    if (read == WaveOpenFailed) {
        DebugLine("WAVE[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    if (read == WaveNotPcm) {
        DebugLine("WAVE[%s]はPCMフォーマットではありません。\n", name);
        return 0;
    }
    if (read != WaveRead) return 0;

    const WaveLayout& layout = file.layout;
    if (!CreateSlotBuffer(slot, layout.format, layout.dataBytes)) return 0;
    return FillSlotBuffer(slot, file.bytes.data() + layout.dataOffset, layout.dataBytes);
}

// Power of ten law shared by pan and volume: 100^log10(n), truncated toward zero, which
// is n squared or one less.
int32_t SquareLaw(int32_t n) {
    return static_cast<int32_t>(std::pow(100.0, std::log10(static_cast<double>(n))));
}

uint32_t ClampFrequency(int64_t hz) {
    if (hz == 0) return 0;  // the sound's own rate
    if (hz < kMinFrequency) return kMinFrequency;
    if (hz > kMaxFrequency) return kMaxFrequency;
    return static_cast<uint32_t>(hz);
}

}  // namespace

void SetWaveTrace(WaveTraceFn fn) { WaveTrace = fn; }

int32_t CreateSound() {
    static bool releaseAtExit = false;
    // Playing without sound: the device is never opened, so a machine without one plays too.
    if (StartChoice.silent) {
        SoundDevice.silent = true;
        return 1;
    }
    const int32_t opened = PlatformAudioOpen();
    if (opened == AudioNoDevice) {
        ErrorBoxAdvised(PlatformTrouble::NoSoundDevice, "DirectSoundの構築に失敗しました。");
        return 0;
    }
    if (opened != AudioOpened) {
        ErrorBoxAdvised(PlatformTrouble::SoundRefused,
                        "DirectSoundの協調レベル設定が拒否されました。");
        return 0;
    }
    SoundDevice.open = true;
    if (!releaseAtExit) {
        // Registered after every static record exists, so it runs before they are torn down.
        releaseAtExit = true;
        std::atexit(ReleaseSound);
    }
    return 1;
}

int32_t LoadWave(uint16_t slot, const char* name) {
    if (slot >= kWaveSlots || !name) return 0;
    ReleaseWave(slot);
    // A name too long to keep could not be reloaded later; it is refused like a missing file.
    const int stored = std::snprintf(SoundDevice.names[slot], kWaveNameBytes, "%s", name);
    if (stored < 0 || static_cast<size_t>(stored) >= kWaveNameBytes) {
        SoundDevice.names[slot][0] = '\0';
        DebugLine("WAVE[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    // A name without a dot is a resource of the program; no platform of ours carries any.
    if (!std::strchr(name, '.')) {
        DebugLine("WAVE[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    return LoadWaveFile(slot, name);
}

int32_t PlayWave(uint16_t slot, int32_t loop) {
    if (!SlotHoldsBuffer(slot)) return Traced(WaveOpPlay, slot, loop, 0);
    if (SoundDevice.silent) return Traced(WaveOpPlay, slot, loop, 1);
    // Starting from the beginning also cuts the sound short if it is still playing.
    const int32_t played = PlatformAudioPlay(slot, loop == 1);
    if (played == AudioBufferLost) {
        // The sound is not heard this time; the next play finds it reloaded.
        PlatformAudioRestore(slot);
        ReloadWave(slot);
        return Traced(WaveOpPlay, slot, loop, 1);
    }
    return Traced(WaveOpPlay, slot, loop, played == AudioDone ? 1 : 0);
}

int32_t StopWave(uint16_t slot) {
    if (!SlotHoldsBuffer(slot)) return Traced(WaveOpStop, slot, 0, 0);
    if (SoundDevice.silent) return Traced(WaveOpStop, slot, 0, 1);
    return Traced(WaveOpStop, slot, 0, PlatformAudioStop(slot) ? 1 : 0);
}

void ReleaseWave(uint16_t slot) {
    if (slot >= kWaveSlots) return;
    SoundDevice.names[slot][0] = '\0';
    if (SoundDevice.buffers[slot]) {
        if (!SoundDevice.silent) PlatformAudioFree(slot);
        SoundDevice.buffers[slot] = false;
    }
}

void ReloadWave(uint16_t slot) {
    if (slot >= kWaveSlots) return;
    char name[kWaveNameBytes];
    std::memcpy(name, SoundDevice.names[slot], kWaveNameBytes);
    if (LoadWave(slot, name))
        DebugLine("WAVE[%s]をリロードしました\n", name);
    else
        DebugLine("WAVE[%s]のリロードに失敗しました\n", name);
}

int32_t SetWaveFrequency(uint16_t slot, uint32_t hz) {
    if (!AudibleSlot(slot)) return 0;
    return PlatformAudioSetFrequency(slot, ClampFrequency(hz)) ? 1 : 0;
}

int32_t ShiftWaveFrequency(uint16_t slot, int32_t hz) {
    if (!AudibleSlot(slot)) return 0;
    uint32_t current = 0;
    if (!PlatformAudioGetFrequency(slot, &current)) return 0;
    // Summed wide, so a large shift cannot wrap around into a valid rate.
    const int64_t shifted = static_cast<int64_t>(current) + hz;
    return PlatformAudioSetFrequency(slot, ClampFrequency(shifted)) ? 1 : 0;
}

int32_t SetWavePan(uint16_t slot, int32_t pan) {
    if (!AudibleSlot(slot)) return 0;
    int32_t value = 0;
    if (pan > 100)
        value = kPanFullRight;
    else if (pan < -100)
        value = kPanFullLeft;
    else if (pan > 0)
        value = SquareLaw(pan);
    else if (pan < 0)
        value = -SquareLaw(-pan);
    return PlatformAudioSetPan(slot, value) ? 1 : 0;
}

int32_t SetWaveVolume(uint16_t slot, int32_t volume) {
    if (!AudibleSlot(slot)) return 0;
    int32_t value;
    if (volume > 100)
        value = kVolumeFull;
    else if (volume < 0)
        value = kVolumeSilent;
    else if (volume == 100)
        value = kVolumeFull;  // log10(0) is minus infinity: no attenuation
    else
        value = -SquareLaw(100 - volume);
    return PlatformAudioSetVolume(slot, value) ? 1 : 0;
}

void ReleaseSound() {
    for (uint16_t slot = 0; slot < kWaveSlots; ++slot) ReleaseWave(slot);
    if (SoundDevice.open) {
        PlatformAudioClose();
        SoundDevice.open = false;
    }
    SoundDevice.silent = false;
}

void ResetSound() {
    ReleaseSound();
    SoundDevice = SoundDeviceRecord{};
    WaveTrace = nullptr;
}
