#include "bmp_writer.h"

#include <cstdint>
#include <vector>

#include "byte_writer.h"

namespace assetgen {

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
        for (uint32_t pad = static_cast<uint32_t>(picture.width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }

    return WriteBytes(path, out);
}

}  // namespace assetgen
