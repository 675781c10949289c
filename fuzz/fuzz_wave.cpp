// Wave files through a sound slot of the headless device: the parse from memory on every
// input, then for each file the parse accepts, the load, a play, a lost buffer and the plays
// that reload it from the file again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "sound/sound.h"
#include "sound/wave_reader.h"

namespace {

constexpr uint16_t kSlot = 7;
std::string WavePath;

bool WriteFile(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(WavePath.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// The slot's buffer holds exactly the file's sound.
bool SlotHoldsSound(const uint8_t* data, const WaveLayout& layout) {
    const HeadlessWaveSlot& wave = HeadlessAudioSlot(kSlot);
    return wave.hasBuffer && wave.samples.size() == layout.dataBytes &&
           std::memcmp(wave.samples.data(), data + layout.dataOffset, layout.dataBytes) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Memory-backed where there is such a place: the reload reads the file every time.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    WavePath = std::string(dir) + "/plusrail-fuzz-wave-" + std::to_string(getpid()) + ".wav";
    std::atexit([] { std::remove(WavePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveLayout layout{};
    const int32_t parsed = ParseWave(data, size, &layout);
    if (parsed != WaveRead) return 0;
    if (layout.dataOffset > size || layout.dataBytes > size - layout.dataOffset) __builtin_trap();
    if (!WriteFile(data, size)) __builtin_trap();

    HeadlessReset();
    HeadlessAudioReset();
    ResetSound();
    if (!CreateSound()) __builtin_trap();

    const int32_t loaded = LoadWave(kSlot, WavePath.c_str());
    if (loaded && !SlotHoldsSound(data, layout)) __builtin_trap();
    if (PlayWave(kSlot, 0) != loaded) __builtin_trap();
    if (loaded && !HeadlessAudioSounding(kSlot)) __builtin_trap();

    // The lost buffer is not heard on the next play, which reloads it; the one after plays it.
    HeadlessAudioLoseBuffer(kSlot);
    if (PlayWave(kSlot, 1) != loaded) __builtin_trap();
    if (loaded && !SlotHoldsSound(data, layout)) __builtin_trap();
    if (PlayWave(kSlot, 1) != loaded) __builtin_trap();
    if (loaded && !HeadlessAudioSlot(kSlot).looping) __builtin_trap();
    StopWave(kSlot);
    ReleaseWave(kSlot);
    return 0;
}
