// Audio through Web Audio: one decoded buffer per slot, played by a new source node each time
// (starting a slot again cuts its previous sound short, as a single static buffer would),
// through the slot's own volume and pan, then the mix's last stage: the level the sounds'
// headroom left out given back, and a limiter so that several together never clip. Browsers
// keep the audio context suspended until the player presses a key or clicks; the page resumes
// it then. Frequency changes are not offered, as on the desktop.

#include <cmath>

#include "hosts/host_audio.h"
#include "hosts/mix_bus.h"
#include "hosts/web/web_glue.h"
#include "platform/platform_audio.h"

namespace {

struct WebWaveSlot {
    bool hasBuffer;
    bool filled;
    PlatformWaveFormat format;
    uint32_t bytes;  // the size the buffer was made for
};

struct WebAudioDevice {
    bool open;
    WebWaveSlot slots[kPlatformAudioSlots];
};

WebAudioDevice g_audio;

WebWaveSlot* BufferOf(int32_t slot) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return nullptr;
    WebWaveSlot* wave = &g_audio.slots[slot];
    return wave->hasBuffer ? wave : nullptr;
}

}  // namespace

int32_t PlatformAudioOpen() {
    if (g_audio.open) return AudioOpened;
    if (WebAudioCreateDevice(kPlatformAudioSlots, kSoundMakeup) != 0) return AudioNoDevice;
    g_audio.open = true;
    return AudioOpened;
}

void PlatformAudioClose() {
    if (!g_audio.open) return;
    for (int32_t slot = 0; slot < kPlatformAudioSlots; ++slot) PlatformAudioFree(slot);
    WebAudioCloseDevice();
    g_audio.open = false;
}

bool PlatformAudioCreateBuffer(int32_t slot, const PlatformWaveFormat& format, uint32_t bytes) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return false;
    if (!HostTakesWaveFormat(format)) return false;
    WebAudioStopSlot(slot);
    WebAudioNewSlot(slot);
    g_audio.slots[slot] = WebWaveSlot{true, false, format, bytes};
    return true;
}

int32_t PlatformAudioFill(int32_t slot, const uint8_t* data, uint32_t bytes) {
    WebWaveSlot* wave = BufferOf(slot);
    if (!wave || bytes > wave->bytes || wave->format.blockAlign == 0) return AudioFailed;
    // Only whole sample frames are played; a torn last frame is dropped.
    const uint32_t frames = bytes / wave->format.blockAlign;
    if (frames == 0) return AudioFailed;
    const PlatformWaveFormat& f = wave->format;
    if (!WebAudioFillSlot(slot, data, static_cast<int32_t>(frames), f.channels,
                          static_cast<int32_t>(f.samplesPerSecond), f.bitsPerSample, f.blockAlign))
        return AudioFailed;
    wave->filled = true;
    return AudioDone;
}

// The browser keeps the samples; nothing is ever taken away.
bool PlatformAudioRestore(int32_t slot) { return BufferOf(slot) != nullptr; }

void PlatformAudioFree(int32_t slot) {
    if (slot < 0 || slot >= kPlatformAudioSlots) return;
    WebWaveSlot* wave = &g_audio.slots[slot];
    if (!wave->hasBuffer) return;
    if (g_audio.open) {
        WebAudioStopSlot(slot);
        WebAudioNewSlot(slot);
    }
    *wave = WebWaveSlot{};
}

int32_t PlatformAudioPlay(int32_t slot, bool loop) {
    WebWaveSlot* wave = BufferOf(slot);
    if (!wave || !wave->filled) return AudioFailed;
    WebAudioStopSlot(slot);
    return WebAudioPlaySlot(slot, loop ? 1 : 0) ? AudioDone : AudioFailed;
}

bool PlatformAudioStop(int32_t slot) {
    if (!BufferOf(slot)) return false;
    WebAudioStopSlot(slot);
    return true;
}

bool PlatformAudioSetFrequency(int32_t, uint32_t) { return false; }

bool PlatformAudioGetFrequency(int32_t, uint32_t*) { return false; }

bool PlatformAudioSetPan(int32_t slot, int32_t pan) {
    if (!BufferOf(slot)) return false;
    // A positive pan attenuates the left side, a negative one the right: the panner's
    // position is how far the quieter side has gone down.
    const double quieter = HostGain(pan > 0 ? -pan : pan);
    WebAudioSetPan(slot, pan > 0 ? 1.0 - quieter : -(1.0 - quieter));
    return true;
}

bool PlatformAudioSetVolume(int32_t slot, int32_t volume) {
    if (!BufferOf(slot)) return false;
    if (volume > 0) volume = 0;
    WebAudioSetGain(slot, HostGain(volume));
    return true;
}
