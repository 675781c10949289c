// Whole .kbm files from memory, as LoadKbmFile decodes them after reading the file.
#include <cstddef>
#include <cstdint>

#include "frame/kbm_reader.h"

namespace {

// Pictures the reader takes, larger than this, are skipped: their pixel memory (up to 112 MB
// for a 24-byte file) would hold the run to a few inputs a second, and their decode is the
// same as a small one's. Sizes the reader refuses still go through.
constexpr int64_t kLargestFuzzedPixels = int64_t{1} << 16;

bool InRangeButLarge(const uint8_t* data, size_t size) {
    if (size < 12) return false;
    const int64_t width = ReadI32(data + 4), height = ReadI32(data + 8);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    const int64_t pixels = width * height;
    return pixels <= kMaxPicturePixels && pixels > kLargestFuzzedPixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (InRangeButLarge(data, size)) return 0;
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
