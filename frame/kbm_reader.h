#pragma once
// .kbm pictures: three run-length planes of 24-bit pixels behind a short header.
#include <cstdint>

// Loads a .kbm file into a slot (0..255); 0, with its debug line, when the file is refused.
int32_t LoadKbmFile(uint16_t slot, const char* path, int32_t useColorKey);
