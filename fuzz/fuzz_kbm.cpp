// Whole .kbm files from memory, as LoadKbmFile decodes them after reading the file.
#include <cstddef>
#include <cstdint>

#include "frame/kbm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedPicture picture;
    const int32_t result = DecodeKbmFile(data, size, &picture);
    if (result == KbmNotKbm && size >= 4 && data[0] == 'K' && data[1] == 'B' && data[2] == 'M' &&
        data[3] == 0 && size >= 24)
        __builtin_trap();  // the magic and a whole header are a .kbm, good or broken
    if (result != KbmDecoded) return 0;
    if (picture.width < 1 || picture.height < 1 ||
        picture.pixels.size() !=
            static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        __builtin_trap();
    // Every plane value keeps only its top five bits.
    for (uint32_t pixel : picture.pixels)
        if ((pixel & 0x070707) != 0 || pixel > 0xFFFFFF) __builtin_trap();
    return 0;
}
