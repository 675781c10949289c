// Bitmap headers with their colour tables or masks, apart from any pixel bits.
#include <cstddef>
#include <cstdint>

#include "frame/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DibHeader header;
    if (!ParseDibHeader(data, size, &header)) return 0;
    // What the bits decoder relies on: a size the display can hold, a depth it knows, a colour
    // table no longer than the depth allows.
    if (header.width < 1 || header.height < 1 || header.width > kMaxPictureSide ||
        header.height > kMaxPictureSide ||
        static_cast<int64_t>(header.width) * header.height > kMaxPicturePixels)
        __builtin_trap();
    switch (header.bitCount) {
        case 1:
        case 4:
        case 8:
            if (header.paletteSize < 1 || header.paletteSize > (1u << header.bitCount))
                __builtin_trap();
            break;
        case 16:
        case 24:
        case 32:
            if (header.paletteSize != 0) __builtin_trap();
            break;
        default: __builtin_trap();
    }
    // No bits at all: plain rows are refused before any pixel memory is taken. (Run-length
    // bits may be empty: the picture is then colour 0 throughout.)
    const bool rle = header.compression == 1 || header.compression == 2;
    DecodedPicture picture;
    if (!rle && DecodeDibBits(header, nullptr, 0, &picture)) __builtin_trap();
    return 0;
}
