// An image plug-in for the loader's tests. Its format: "TIMG", width and height as 16-bit
// little-endian numbers, then width x height pixels of three bytes (red, green, blue), top
// row first. A file starting "TLIE" decodes to a header that claims more rows than its bits
// hold, as a faulty plug-in might.
#include "frame/plugin_image.h"

#include <cstdlib>
#include <cstring>

namespace {

void* Block(uint32_t size) {
    auto* block = static_cast<uint8_t*>(std::calloc(1, sizeof(PluginBlockHeader) + size));
    const PluginBlockHeader header{size, 0};
    std::memcpy(block, &header, sizeof header);
    return block;
}

uint8_t* Bytes(void* block) { return static_cast<uint8_t*>(block) + sizeof(PluginBlockHeader); }

void Put32(uint8_t* p, uint32_t v) {
    for (int b = 0; b < 4; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
}

}  // namespace

extern "C" int32_t IsSupported(const char*, const uint8_t* head) {
    return std::memcmp(head, "TIMG", 4) == 0 || std::memcmp(head, "TLIE", 4) == 0;
}

extern "C" int32_t GetPicture(const uint8_t* buffer, int32_t length, uint32_t flag, void** info,
                              void** bits, void*, int32_t) {
    if (flag != kPluginFromMemory || length < 8) return 1;
    const bool lying = std::memcmp(buffer, "TLIE", 4) == 0;
    const uint32_t width = buffer[4] | (buffer[5] << 8);
    const uint32_t height = buffer[6] | (buffer[7] << 8);
    if (width == 0 || height == 0 || static_cast<uint32_t>(length) < 8 + width * height * 3)
        return 2;
    const uint32_t stride = (width * 3 + 3) & ~3u;
    *info = Block(40);
    uint8_t* header = Bytes(*info);
    Put32(header, 40);
    Put32(header + 4, width);
    Put32(header + 8, static_cast<uint32_t>(-static_cast<int32_t>(lying ? height * 100 : height)));
    header[12] = 1;
    header[14] = 24;
    *bits = Block(stride * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* from = buffer + 8 + (y * width + x) * 3;
            uint8_t* to = Bytes(*bits) + y * stride + x * 3;
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    return 0;
}
