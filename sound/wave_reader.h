#pragma once
// Reading RIFF WAVE files: the 18-byte format record and the "data" chunk.
#include <cstddef>
#include <cstdint>
#include <vector>

// The format record as it lies at the start of the "fmt " chunk, little-endian.
struct WaveFormatRecord {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t avgBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};

constexpr size_t kWaveFormatRecordBytes = 18;
constexpr uint16_t kWaveFormatPcm = 1;

enum WaveReadResult : int32_t {
    WaveRead = 0,
    WaveOpenFailed,  // no such file, or not a file
    WaveNotPcm,      // a well-formed header whose format tag is not PCM
    WaveMalformed,   // missing or lying chunks, short reads, a file too large to hold
};

// Where the sound lies inside a wave image.
struct WaveLayout {
    WaveFormatRecord format;
    size_t dataOffset;
    uint32_t dataBytes;
};

// Walks the chunks the way the multimedia RIFF reader descends them: the first RIFF chunk
// of form "WAVE", its first chunk taken as the format chunk whatever its name, then the
// first "data" chunk after it. Every size is checked against the bytes really present.
int32_t ParseWave(const uint8_t* bytes, size_t length, WaveLayout* layout);

// A whole wave file in memory with the layout of its sound.
struct WaveFile {
    std::vector<uint8_t> bytes;
    WaveLayout layout;
};

int32_t ReadWaveFile(const char* path, WaveFile* file);
