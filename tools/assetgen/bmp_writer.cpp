#include "bmp_writer.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace assetgen {

static void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

static void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int WriteBmp(const std::string& path, const Picture& picture) {
    constexpr uint32_t kHeaderBytes = 14 + 40;
    constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);

    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, kHeaderBytes + imageBytes);
    Put32(out, 0);
    Put32(out, kHeaderBytes);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(picture.width));
    Put32(out, static_cast<uint32_t>(picture.height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // uncompressed
    Put32(out, imageBytes);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb c = PixelAt(picture, x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }

    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    const size_t written = std::fwrite(out.data(), 1, out.size(), file);
    const int closed = std::fclose(file);
    return written == out.size() && closed == 0 ? 1 : 0;
}

}  // namespace assetgen
