#pragma once
// Little-endian building blocks shared by the picture and sound writers.
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

void Put16(std::vector<uint8_t>& out, uint32_t v);
void Put32(std::vector<uint8_t>& out, uint32_t v);
// A four-character chunk name, as RIFF files have them.
void PutTag(std::vector<uint8_t>& out, const char* tag);

// Writes the bytes as the whole file. Returns 1 on success, 0 on failure.
int WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace assetgen
