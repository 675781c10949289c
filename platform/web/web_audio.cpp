// Audio through Web Audio: one decoded buffer per slot, played by a new source node each time
// (starting a slot again cuts its previous sound short, as a single static buffer would),
// through the slot's own volume and pan, then the mix's last stage: the level the sounds'
// headroom left out given back, and a limiter so that several together never clip. Browsers
// keep the audio context suspended until the player presses a key or clicks; the page resumes
// it then. Frequency changes are not offered, as on the desktop.
#include <emscripten/emscripten.h>

#include <cmath>

#include "platform/mix_bus.h"
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

// clang-format off
// 1 when the page has no audio output at all.
EM_JS(int32_t, WebAudioCreateDevice, (int32_t slots, double makeup), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 1;
    let context;
    try {
        context = new Context();
    } catch (e) {
        return 1;
    }
    const level = context.createGain();
    level.gain.value = makeup;
    const limiter = context.createDynamicsCompressor();
    limiter.threshold.value = -1;
    limiter.knee.value = 0;
    limiter.ratio.value = 20;
    limiter.attack.value = 0.0015;
    limiter.release.value = 0.05;
    level.connect(limiter);
    limiter.connect(context.destination);
    const device = {context: context, input: level, slots: []};
    for (let i = 0; i < slots; ++i) device.slots.push({buffer: null, source: null, gain: null, pan: null});
    Module.plusrailAudio = device;
    return 0;
});

EM_JS(void, WebAudioCloseDevice, (), {
    const device = Module.plusrailAudio;
    if (!device) return;
    device.context.close();
    Module.plusrailAudio = null;
});

EM_JS(void, WebAudioStopSlot, (int32_t slot), {
    const s = Module.plusrailAudio.slots[slot];
    if (s.source) {
        try { s.source.stop(); } catch (e) {}
        s.source.disconnect();
        s.source = null;
    }
});

// A new buffer starts at full volume in the centre, whatever the slot's last sound had.
EM_JS(void, WebAudioNewSlot, (int32_t slot), {
    const device = Module.plusrailAudio;
    const s = device.slots[slot];
    if (!s.gain) {
        s.gain = device.context.createGain();
        s.pan = device.context.createStereoPanner();
        s.gain.connect(s.pan);
        s.pan.connect(device.input);
    }
    s.buffer = null;
    s.gain.gain.value = 1;
    s.pan.pan.value = 0;
});

// The samples as the wave file has them (8-bit unsigned or 16-bit signed little-endian,
// interleaved) into a buffer of floats per channel; 0 when the browser refuses the format.
EM_JS(int32_t, WebAudioFillSlot, (int32_t slot, const uint8_t* data, int32_t frames,
                                  int32_t channels, int32_t rate, int32_t bits, int32_t blockAlign), {
    const device = Module.plusrailAudio;
    let buffer;
    try {
        buffer = device.context.createBuffer(channels, frames, rate);
    } catch (e) {
        return 0;
    }
    const bytes = new DataView(HEAPU8.buffer, data, frames * blockAlign);
    const step = bits / 8;
    for (let c = 0; c < channels; ++c) {
        const out = buffer.getChannelData(c);
        for (let i = 0; i < frames; ++i) {
            const at = i * blockAlign + c * step;
            out[i] = bits === 8 ? (bytes.getUint8(at) - 128) / 128 : bytes.getInt16(at, true) / 32768;
        }
    }
    device.slots[slot].buffer = buffer;
    return 1;
});

EM_JS(int32_t, WebAudioPlaySlot, (int32_t slot, int32_t loop), {
    const device = Module.plusrailAudio;
    const s = device.slots[slot];
    if (!s.buffer) return 0;
    const source = device.context.createBufferSource();
    source.buffer = s.buffer;
    source.loop = loop !== 0;
    source.connect(s.gain);
    source.start();
    s.source = source;
    return 1;
});

EM_JS(void, WebAudioSetGain, (int32_t slot, double gain), {
    Module.plusrailAudio.slots[slot].gain.gain.value = gain;
});

EM_JS(void, WebAudioSetPan, (int32_t slot, double pan), {
    Module.plusrailAudio.slots[slot].pan.pan.value = pan;
});
// clang-format on

// Hundredths of a decibel of attenuation to a linear factor 0..1.
double Gain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

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
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.channels == 0 || format.blockAlign < format.channels * format.bitsPerSample / 8)
        return false;
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
    const double quieter = Gain(pan > 0 ? -pan : pan);
    WebAudioSetPan(slot, pan > 0 ? 1.0 - quieter : -(1.0 - quieter));
    return true;
}

bool PlatformAudioSetVolume(int32_t slot, int32_t volume) {
    if (!BufferOf(slot)) return false;
    if (volume > 0) volume = 0;
    WebAudioSetGain(slot, Gain(volume));
    return true;
}
