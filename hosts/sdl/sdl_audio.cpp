// Audio through SDL_mixer: one mixer channel per slot, so starting a slot again cuts its
// previous sound short, as a single static buffer would. Samples are converted to the
// device format once, when the buffer is filled. Frequency changes are not offered here.
#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "hosts/host_audio.h"
#include "hosts/mix_bus.h"
#include "platform/platform_audio.h"

namespace {

constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;
constexpr int kMixChunkFrames = 1024;

struct SdlWaveSlot {
    bool hasBuffer;
    PlatformWaveFormat format;
    uint32_t bytes;  // the size the buffer was made for
    Uint8* samples;  // converted to the device format; owned here, not by the chunk
    Mix_Chunk* chunk;
};

struct SdlAudioDevice {
    bool open;
    int rate;
    Uint16 format;
    int channels;
    SdlWaveSlot slots[kPlatformAudioSlots];
    MixBus bus;
};

SdlAudioDevice g_audio;

SdlWaveSlot* BufferOf(int32_t slot) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return nullptr;
    SdlWaveSlot* wave = &g_audio.slots[slot];
    return wave->hasBuffer ? wave : nullptr;
}

void DropSamples(SdlWaveSlot* wave) {
    if (wave->chunk) Mix_FreeChunk(wave->chunk);  // halts the channel playing it
    wave->chunk = nullptr;
    SDL_free(wave->samples);
    wave->samples = nullptr;
}

// Runs on the audio thread, on the device's 16-bit stereo mix.
void LastStage(void* bus, Uint8* stream, int bytes) {
    MixBusProcess(static_cast<MixBus*>(bus), reinterpret_cast<int16_t*>(stream),
                  bytes / static_cast<int>(2 * sizeof(int16_t)));
}

}  // namespace

int32_t PlatformAudioOpen() {
    if (g_audio.open) return AudioOpened;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return AudioNoDevice;
    if (Mix_OpenAudio(kDeviceRate, AUDIO_S16SYS, kDeviceChannels, kMixChunkFrames) < 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return AudioNoDevice;
    }
    if (Mix_AllocateChannels(kPlatformAudioSlots) != kPlatformAudioSlots ||
        !Mix_QuerySpec(&g_audio.rate, &g_audio.format, &g_audio.channels)) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return AudioRefused;
    }
    // The mix's last stage: the sounds' level given back, no clipping when many play. It
    // works on 16-bit stereo, which the device nearly always grants.
    MixBusReset(&g_audio.bus);
    if (g_audio.format == AUDIO_S16SYS && g_audio.channels == 2)
        Mix_SetPostMix(LastStage, &g_audio.bus);
    g_audio.open = true;
    return AudioOpened;
}

void PlatformAudioClose() {
    if (!g_audio.open) return;
    for (int32_t slot = 0; slot < kPlatformAudioSlots; ++slot) PlatformAudioFree(slot);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_audio.open = false;
}

bool PlatformAudioCreateBuffer(int32_t slot, const PlatformWaveFormat& format, uint32_t bytes) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return false;
    if (!HostTakesWaveFormat(format)) return false;
    SdlWaveSlot* wave = &g_audio.slots[slot];
    DropSamples(wave);
    *wave = SdlWaveSlot{true, format, bytes, nullptr, nullptr};
    // A new buffer starts at full volume in the centre, whatever the slot's last sound had.
    Mix_Volume(slot, MIX_MAX_VOLUME);
    Mix_SetPanning(slot, 255, 255);
    return true;
}

int32_t PlatformAudioFill(int32_t slot, const uint8_t* data, uint32_t bytes) {
    SdlWaveSlot* wave = BufferOf(slot);
    if (!wave || bytes > wave->bytes || wave->format.blockAlign == 0) return AudioFailed;
    // Only whole sample frames convert; a torn last frame is dropped.
    const uint32_t whole = bytes - bytes % wave->format.blockAlign;
    if (whole == 0) return AudioFailed;

    SDL_AudioCVT cvt;
    const SDL_AudioFormat source = wave->format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    const int built =
        SDL_BuildAudioCVT(&cvt, source, static_cast<Uint8>(wave->format.channels),
                          static_cast<int>(wave->format.samplesPerSecond), g_audio.format,
                          static_cast<Uint8>(g_audio.channels), g_audio.rate);
    if (built < 0) return AudioFailed;
    const uint64_t room = static_cast<uint64_t>(whole) * static_cast<uint64_t>(cvt.len_mult);
    if (room > INT_MAX) return AudioFailed;

    Uint8* samples = static_cast<Uint8*>(SDL_malloc(static_cast<size_t>(room)));
    if (!samples) return AudioFailed;
    std::memcpy(samples, data, whole);
    cvt.buf = samples;
    cvt.len = static_cast<int>(whole);
    int converted = static_cast<int>(whole);
    if (built == 1) {
        if (SDL_ConvertAudio(&cvt) < 0) {
            SDL_free(samples);
            return AudioFailed;
        }
        converted = cvt.len_cvt;
    }
    Mix_Chunk* chunk = Mix_QuickLoad_RAW(samples, static_cast<Uint32>(converted));
    if (!chunk) {
        SDL_free(samples);
        return AudioFailed;
    }
    DropSamples(wave);
    wave->samples = samples;
    wave->chunk = chunk;
    return AudioDone;
}

// The mixer keeps its samples in ordinary memory; nothing is ever taken away.
bool PlatformAudioRestore(int32_t slot) { return BufferOf(slot) != nullptr; }

void PlatformAudioFree(int32_t slot) {
    if (slot < 0 || slot >= kPlatformAudioSlots) return;
    SdlWaveSlot* wave = &g_audio.slots[slot];
    if (!wave->hasBuffer) return;
    if (g_audio.open) Mix_HaltChannel(slot);
    DropSamples(wave);
    *wave = SdlWaveSlot{};
}

int32_t PlatformAudioPlay(int32_t slot, bool loop) {
    SdlWaveSlot* wave = BufferOf(slot);
    if (!wave || !wave->chunk) return AudioFailed;
    return Mix_PlayChannel(slot, wave->chunk, loop ? -1 : 0) == slot ? AudioDone : AudioFailed;
}

bool PlatformAudioStop(int32_t slot) {
    if (!BufferOf(slot)) return false;
    Mix_HaltChannel(slot);
    return true;
}

bool PlatformAudioSetFrequency(int32_t, uint32_t) { return false; }

bool PlatformAudioGetFrequency(int32_t, uint32_t*) { return false; }

bool PlatformAudioSetPan(int32_t slot, int32_t pan) {
    if (!BufferOf(slot)) return false;
    // A positive pan attenuates the left side, a negative one the right.
    const Uint8 left = static_cast<Uint8>(std::lround(255.0 * HostGain(pan > 0 ? -pan : 0)));
    const Uint8 right = static_cast<Uint8>(std::lround(255.0 * HostGain(pan < 0 ? pan : 0)));
    return Mix_SetPanning(slot, left, right) != 0;
}

bool PlatformAudioSetVolume(int32_t slot, int32_t volume) {
    if (!BufferOf(slot)) return false;
    if (volume > 0) volume = 0;
    Mix_Volume(slot, static_cast<int>(std::lround(MIX_MAX_VOLUME * HostGain(volume))));
    return true;
}
