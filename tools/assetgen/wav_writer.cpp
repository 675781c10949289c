#include "wav_writer.h"

#include <cmath>
#include <cstdint>

#include "byte_writer.h"

namespace assetgen {

int WriteWave(const std::string& path, const std::vector<double>& samples) {
    constexpr uint32_t kChannels = 1;
    constexpr uint32_t kBytesPerSample = 2;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * kBytesPerSample;

    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, kChannels);
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * kChannels * kBytesPerSample);
    Put16(out, kChannels * kBytesPerSample);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (double s : samples) {
        double scaled = std::floor(s * 32767.0 + 0.5);
        if (scaled > 32767.0) scaled = 32767.0;
        if (scaled < -32767.0) scaled = -32767.0;
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(scaled)));
    }

    return WriteBytes(path, out);
}

}  // namespace assetgen
