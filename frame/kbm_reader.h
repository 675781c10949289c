#pragma once
// .kbm pictures: three run-length planes of 24-bit pixels behind a short header.
#include <cstddef>
#include <cstdint>

#include "frame/bmp_reader.h"

enum KbmDecodeResult : int32_t {
    KbmDecoded = 0,
    KbmNotKbm,  // too short for the header, or another magic
    KbmBroken,  // a header or planes that do not make a picture
};

// A whole .kbm file in memory to a picture, as LoadKbmFile reads it.
int32_t DecodeKbmFile(const uint8_t* data, size_t size, DecodedPicture* picture);

// Loads a .kbm file into a slot (0..255); 0, with its debug line, when the file is refused.
int32_t LoadKbmFile(uint16_t slot, const char* path, int32_t useColorKey);
