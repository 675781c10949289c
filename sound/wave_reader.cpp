#include "sound/wave_reader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr size_t kChunkHeaderBytes = 8;
// No sound buffer holds more than 256 MiB; a file far beyond that is not an effect.
constexpr long kMaxWaveFileBytes = 0x20000000;

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IdIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct Chunk {
    const uint8_t* id;
    size_t body;  // offset of the first byte after the header
    uint32_t size;
};

// The chunk header at pos, inside a parent that ends at end. False when the header or
// the body it announces does not fit: a chunk never reaches past its parent.
bool ReadChunk(const uint8_t* bytes, size_t pos, size_t end, Chunk* chunk) {
    if (pos > end || end - pos < kChunkHeaderBytes) return false;
    chunk->id = bytes + pos;
    chunk->size = ReadLe32(bytes + pos + 4);
    chunk->body = pos + kChunkHeaderBytes;
    return chunk->size <= end - chunk->body;
}

// Chunks are padded to an even length; the pad may be missing after the last one.
size_t NextChunk(const Chunk& chunk) { return chunk.body + chunk.size + (chunk.size & 1u); }

void DecodeFormat(const uint8_t* p, WaveFormatRecord* format) {
    format->formatTag = ReadLe16(p);
    format->channels = ReadLe16(p + 2);
    format->samplesPerSecond = ReadLe32(p + 4);
    format->avgBytesPerSecond = ReadLe32(p + 8);
    format->blockAlign = ReadLe16(p + 12);
    format->bitsPerSample = ReadLe16(p + 14);
    format->extraSize = ReadLe16(p + 16);
}

}  // namespace

int32_t ParseWave(const uint8_t* bytes, size_t length, WaveLayout* layout) {
    // The RIFF chunk of form "WAVE", searched among the top-level chunks.
    Chunk riff{};
    size_t pos = 0;
    for (;;) {
        if (!ReadChunk(bytes, pos, length, &riff)) return WaveMalformed;
        if (IdIs(riff.id, "RIFF") && riff.size >= 4 && IdIs(bytes + riff.body, "WAVE")) break;
        pos = NextChunk(riff);
    }
    const size_t riffEnd = riff.body + riff.size;

    // The first chunk inside is the format chunk, whatever it is called.
    Chunk fmt{};
    if (!ReadChunk(bytes, riff.body + 4, riffEnd, &fmt)) return WaveMalformed;
    if (fmt.size < kWaveFormatRecordBytes - 2) return WaveMalformed;

    // Eighteen bytes even from a 16-byte chunk: the extra size then comes from what follows.
    if (length - fmt.body < kWaveFormatRecordBytes) return WaveMalformed;
    DecodeFormat(bytes + fmt.body, &layout->format);
    if (layout->format.formatTag != kWaveFormatPcm) return WaveNotPcm;

    // The first "data" chunk after the format chunk, still inside the RIFF chunk.
    Chunk data{};
    pos = NextChunk(fmt);
    for (;;) {
        if (!ReadChunk(bytes, pos, riffEnd, &data)) return WaveMalformed;
        if (IdIs(data.id, "data")) break;
        pos = NextChunk(data);
    }
    layout->dataOffset = data.body;
    layout->dataBytes = data.size;
    return WaveRead;
}

int32_t ReadWaveFile(const char* path, WaveFile* file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return WaveOpenFailed;
    std::FILE* stream = std::fopen(path, "rb");
    if (!stream) return WaveOpenFailed;

    int32_t result = WaveMalformed;
    long length = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0) length = std::ftell(stream);
    if (length >= 0 && length <= kMaxWaveFileBytes && std::fseek(stream, 0, SEEK_SET) == 0) {
        file->bytes.resize(static_cast<size_t>(length));
        const size_t got = std::fread(file->bytes.data(), 1, file->bytes.size(), stream);
        if (got == file->bytes.size())
            result = ParseWave(file->bytes.data(), file->bytes.size(), &file->layout);
    }
    std::fclose(stream);
    return result;
}
