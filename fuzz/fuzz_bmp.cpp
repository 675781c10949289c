// Whole BMP files from memory, as the bitmap slots decode them after reading the file.
#include <cstddef>
#include <cstdint>

#include "frame/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedPicture picture;
    if (!DecodeBmpFile(data, size, &picture)) return 0;
    // An accepted picture is one the display can hold, with a pixel for every place.
    if (picture.width < 1 || picture.height < 1 || picture.width > kMaxPictureSide ||
        picture.height > kMaxPictureSide ||
        picture.pixels.size() !=
            static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        __builtin_trap();
    for (uint32_t pixel : picture.pixels)
        if (pixel > 0xFFFFFF) __builtin_trap();
    return 0;
}
