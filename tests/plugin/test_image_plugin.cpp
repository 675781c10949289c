// An image plug-in for the loader's tests: it takes BMP files and hands over their bitmap
// header (with its colour table) and their pixel bits as they are, checking only that both
// lie inside the file.
#include "frame/plugin_image.h"

#include <cstdlib>
#include <cstring>

static void* Block(const uint8_t* bytes, uint32_t size) {
    auto* block = static_cast<uint8_t*>(std::malloc(sizeof(PluginBlockHeader) + size));
    const PluginBlockHeader header{size, 0};
    std::memcpy(block, &header, sizeof header);
    std::memcpy(block + sizeof header, bytes, size);
    return block;
}

extern "C" int32_t IsSupported(const char*, const uint8_t* head) {
    return head[0] == 'B' && head[1] == 'M';
}

extern "C" int32_t GetPicture(const uint8_t* buffer, int32_t length, uint32_t flag, void** info,
                              void** bits, void*, int32_t) {
    uint32_t bitsAt = 0;
    if (flag != kPluginFromMemory || length < 14) return 1;
    std::memcpy(&bitsAt, buffer + 10, 4);
    if (bitsAt < 14 || bitsAt > static_cast<uint32_t>(length)) return 2;
    *info = Block(buffer + 14, bitsAt - 14);
    *bits = Block(buffer + bitsAt, static_cast<uint32_t>(length) - bitsAt);
    return 0;
}
