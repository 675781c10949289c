#include "hosts/headless/headless_audio.h"

#include <cstring>

#include "platform/platform.h"

namespace {

struct HeadlessAudioDevice {
    bool open;
    int32_t openAnswer;
    HeadlessWaveSlot slots[kPlatformAudioSlots];
    std::vector<HeadlessAudioEvent> events;
    HeadlessAudioTotals reached;
};

HeadlessAudioDevice g_audio;

HeadlessWaveSlot* BufferOf(int32_t slot) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return nullptr;
    HeadlessWaveSlot* wave = &g_audio.slots[slot];
    return wave->hasBuffer ? wave : nullptr;
}

uint32_t PlayingRate(const HeadlessWaveSlot& wave) {
    return wave.frequency ? wave.frequency : wave.format.samplesPerSecond;
}

}  // namespace

void HeadlessAudioReset() { g_audio = HeadlessAudioDevice{}; }

void HeadlessAudioFailOpen(int32_t result) { g_audio.openAnswer = result; }

bool HeadlessAudioIsOpen() { return g_audio.open; }

void HeadlessAudioLoseBuffer(int32_t slot) {
    if (HeadlessWaveSlot* wave = BufferOf(slot)) {
        wave->lost = true;
        wave->started = false;
    }
}

const HeadlessWaveSlot& HeadlessAudioSlot(int32_t slot) {
    static const HeadlessWaveSlot kNone{};
    if (slot < 0 || slot >= kPlatformAudioSlots) return kNone;
    return g_audio.slots[slot];
}

bool HeadlessAudioSounding(int32_t slot) {
    const HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave || !wave->started) return false;
    if (wave->looping) return true;
    const uint64_t bytesPerSecond =
        static_cast<uint64_t>(PlayingRate(*wave)) * wave->format.blockAlign;
    if (bytesPerSecond == 0) return false;
    const uint64_t lengthMs =
        (wave->samples.size() * 1000ull + bytesPerSecond - 1) / bytesPerSecond;
    return PlatformMilliseconds() - wave->startedMs < lengthMs;
}

const std::vector<HeadlessAudioEvent>& HeadlessAudioEvents() { return g_audio.events; }
const HeadlessAudioTotals& HeadlessAudioReached() { return g_audio.reached; }
void HeadlessAudioClearEvents() {
    // Room for far more than one frame plays, so a run that clears every frame records
    // without allocating.
    constexpr size_t kEventsKept = 256;
    g_audio.events.clear();
    g_audio.events.reserve(kEventsKept);
}

int32_t PlatformAudioOpen() {
    if (g_audio.openAnswer != AudioOpened) return g_audio.openAnswer;
    g_audio.open = true;
    ++g_audio.reached.opens;
    return AudioOpened;
}

void PlatformAudioClose() {
    for (int32_t slot = 0; slot < kPlatformAudioSlots; ++slot) PlatformAudioFree(slot);
    g_audio.open = false;
}

bool PlatformAudioCreateBuffer(int32_t slot, const PlatformWaveFormat& format, uint32_t bytes) {
    if (!g_audio.open || slot < 0 || slot >= kPlatformAudioSlots) return false;
    HeadlessWaveSlot& wave = g_audio.slots[slot];
    wave = HeadlessWaveSlot{};
    wave.hasBuffer = true;
    wave.format = format;
    wave.samples.assign(bytes, 0);
    ++g_audio.reached.buffers;
    return true;
}

int32_t PlatformAudioFill(int32_t slot, const uint8_t* data, uint32_t bytes) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave || bytes > wave->samples.size()) return AudioFailed;
    if (wave->lost) return AudioBufferLost;
    std::memcpy(wave->samples.data(), data, bytes);
    ++g_audio.reached.fills;
    return AudioDone;
}

bool PlatformAudioRestore(int32_t slot) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    // The memory comes back; what was in it does not.
    wave->lost = false;
    wave->samples.assign(wave->samples.size(), 0);
    return true;
}

void PlatformAudioFree(int32_t slot) {
    if (slot >= 0 && slot < kPlatformAudioSlots) g_audio.slots[slot] = HeadlessWaveSlot{};
}

int32_t PlatformAudioPlay(int32_t slot, bool loop) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return AudioFailed;
    if (wave->lost) return AudioBufferLost;
    wave->started = true;
    wave->looping = loop;
    wave->startedMs = PlatformMilliseconds();
    ++wave->starts;
    ++g_audio.reached.starts;
    g_audio.events.push_back({HeadlessAudioEvent::Start, slot, loop, wave->startedMs});
    return AudioDone;
}

bool PlatformAudioStop(int32_t slot) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    wave->started = false;
    ++wave->stops;
    g_audio.events.push_back({HeadlessAudioEvent::Stop, slot, false, PlatformMilliseconds()});
    return true;
}

bool PlatformAudioSetFrequency(int32_t slot, uint32_t hz) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    wave->frequency = hz;
    return true;
}

bool PlatformAudioGetFrequency(int32_t slot, uint32_t* hz) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    *hz = PlayingRate(*wave);
    return true;
}

bool PlatformAudioSetPan(int32_t slot, int32_t pan) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    wave->pan = pan;
    return true;
}

bool PlatformAudioSetVolume(int32_t slot, int32_t volume) {
    HeadlessWaveSlot* wave = BufferOf(slot);
    if (!wave) return false;
    wave->volume = volume;
    return true;
}
