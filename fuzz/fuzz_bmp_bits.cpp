// Pixel bits under every depth and compression the decoder knows. The first bytes choose a
// header (kind, size, masks), which is built and parsed; the rest are the bits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/bmp_reader.h"

namespace {

struct Kind {
    uint16_t bitCount;
    uint32_t compression;
};
// Plain rows of each depth, masked 16 and 32 bits, RLE8 and RLE4.
constexpr Kind kKinds[] = {{1, 0},  {4, 0},  {8, 0},  {16, 0}, {24, 0},
                           {32, 0}, {16, 3}, {32, 3}, {8, 1},  {4, 2}};
constexpr size_t kKindCount = sizeof kKinds / sizeof kKinds[0];

// kind (its top bit: top-down), width and height less one, the three masks.
constexpr size_t kChoiceBytes = 1 + 1 + 1 + 12;
constexpr size_t kInfoBytes = 40 + 12 + 256 * 4;

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kChoiceBytes) return 0;
    const Kind kind = kKinds[(data[0] & 0x7F) % kKindCount];
    const bool rle = kind.compression == 1 || kind.compression == 2;
    const bool topDown = (data[0] & 0x80) != 0 && !rle;
    const int32_t width = data[1] + 1;
    const int32_t height = data[2] + 1;

    // A full colour table whose entries are their own index, so any index the bits name is in it.
    static uint8_t info[kInfoBytes];
    std::memset(info, 0, 40);
    Put32(info, 40);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(topDown ? -height : height));
    Put32(info + 12, 1u | static_cast<uint32_t>(kind.bitCount) << 16);
    Put32(info + 16, kind.compression);
    std::memcpy(info + 40, data + 3, 12);
    for (uint32_t i = 0; i < 256; ++i) Put32(info + 52 + 4 * i, i * 0x010101u);
    const size_t paletteAt = kind.compression == 3 ? 52 : 40;
    if (paletteAt != 52) std::memmove(info + 40, info + 52, 256 * 4);

    DibHeader header;
    if (!ParseDibHeader(info, kInfoBytes, &header)) __builtin_trap();  // every kind is valid

    DecodedPicture picture;
    const uint8_t* bits = data + kChoiceBytes;
    const size_t bitsSize = size - kChoiceBytes;
    if (!DecodeDibBits(header, bitsSize ? bits : nullptr, bitsSize, &picture)) return 0;
    if (picture.width != width || picture.height != height ||
        picture.pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        __builtin_trap();
    for (uint32_t pixel : picture.pixels)
        if (pixel > 0xFFFFFF) __builtin_trap();
    return 0;
}
