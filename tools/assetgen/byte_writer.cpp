#include "byte_writer.h"

#include <cstdio>

namespace assetgen {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

int WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    // A short write or a failed close both leave a file the game would refuse.
    const int closed = std::fclose(file);
    return written == bytes.size() && closed == 0 ? 1 : 0;
}

}  // namespace assetgen
