// DirectSound: one static secondary buffer per slot, each holding its sound whole, with
// frequency, pan and volume controls. Buffers live where the driver puts them and may be
// taken (DSERR_BUFFERLOST); the sound layer then restores and fills them again.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <mmsystem.h>
// mmsystem.h first: the wave format comes from there.
#include <dsound.h>

#include <cstring>

#include "hosts/host_audio.h"
#include "platform/platform_audio.h"

namespace {

struct Win32Audio {
    IDirectSound8* device;
    IDirectSoundBuffer* slots[kPlatformAudioSlots];
};

Win32Audio g_audio;

IDirectSoundBuffer* BufferOf(int32_t slot) {
    if (!g_audio.device || slot < 0 || slot >= kPlatformAudioSlots) return nullptr;
    return g_audio.slots[slot];
}

int32_t Answer(HRESULT result) {
    if (result == DSERR_BUFFERLOST) return AudioBufferLost;
    return SUCCEEDED(result) ? AudioDone : AudioFailed;
}

}  // namespace

int32_t PlatformAudioOpen() {
    if (g_audio.device) return AudioOpened;
    if (FAILED(DirectSoundCreate8(nullptr, &g_audio.device, nullptr))) {
        g_audio.device = nullptr;
        return AudioNoDevice;
    }
    HWND window = Win32MainWindow();
    if (!window) window = GetDesktopWindow();
    if (FAILED(g_audio.device->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        g_audio.device->Release();
        g_audio.device = nullptr;
        return AudioRefused;
    }
    return AudioOpened;
}

void PlatformAudioClose() {
    if (!g_audio.device) return;
    for (int32_t slot = 0; slot < kPlatformAudioSlots; ++slot) PlatformAudioFree(slot);
    g_audio.device->Release();
    g_audio = Win32Audio{};
}

bool PlatformAudioCreateBuffer(int32_t slot, const PlatformWaveFormat& format, uint32_t bytes) {
    if (!g_audio.device || slot < 0 || slot >= kPlatformAudioSlots) return false;
    if (!HostTakesWaveFormat(format)) return false;
    PlatformAudioFree(slot);
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSecond;
    wave.nBlockAlign = format.blockAlign;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.nAvgBytesPerSec = format.samplesPerSecond * format.blockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &wave;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(g_audio.device->CreateSoundBuffer(&desc, &buffer, nullptr))) return false;
    g_audio.slots[slot] = buffer;
    return true;
}

int32_t PlatformAudioFill(int32_t slot, const uint8_t* data, uint32_t bytes) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    if (!buffer) return AudioFailed;
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    const HRESULT locked = buffer->Lock(0, bytes, &first, &firstBytes, &second, &secondBytes, 0);
    if (FAILED(locked)) return Answer(locked);
    // A lock from the start never wraps; the second part stays empty.
    std::memcpy(first, data, firstBytes < bytes ? firstBytes : bytes);
    return Answer(buffer->Unlock(first, firstBytes, second, secondBytes));
}

bool PlatformAudioRestore(int32_t slot) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    return buffer && SUCCEEDED(buffer->Restore());
}

void PlatformAudioFree(int32_t slot) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    if (!buffer) return;
    buffer->Stop();
    buffer->Release();
    g_audio.slots[slot] = nullptr;
}

int32_t PlatformAudioPlay(int32_t slot, bool loop) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    if (!buffer) return AudioFailed;
    // Starting again restarts: the play cursor goes back to the beginning first.
    const HRESULT rewound = buffer->SetCurrentPosition(0);
    if (FAILED(rewound)) return Answer(rewound);
    return Answer(buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0));
}

bool PlatformAudioStop(int32_t slot) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    return buffer && SUCCEEDED(buffer->Stop());
}

bool PlatformAudioSetFrequency(int32_t slot, uint32_t hz) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    // 0 is DSBFREQUENCY_ORIGINAL: the sound's own rate.
    return buffer && SUCCEEDED(buffer->SetFrequency(hz));
}

bool PlatformAudioGetFrequency(int32_t slot, uint32_t* hz) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    DWORD frequency = 0;
    if (!buffer || FAILED(buffer->GetFrequency(&frequency))) return false;
    *hz = static_cast<uint32_t>(frequency);
    return true;
}

bool PlatformAudioSetPan(int32_t slot, int32_t pan) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    return buffer && SUCCEEDED(buffer->SetPan(pan));
}

bool PlatformAudioSetVolume(int32_t slot, int32_t volume) {
    IDirectSoundBuffer* buffer = BufferOf(slot);
    return buffer && SUCCEEDED(buffer->SetVolume(volume));
}

void Win32ReleaseAudio() { PlatformAudioClose(); }
