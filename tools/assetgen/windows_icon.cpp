#include "windows_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "byte_writer.h"
#include "canvas.h"
#include "icon.h"

namespace assetgen {
namespace {

constexpr int kSizes[] = {16, 32, 48};
constexpr int kImages = 3;

uint8_t Byte(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

// One image as an icon holds it: a bitmap header of twice the height (colour and mask), the
// BGRA rows bottom up, then the 1-bit AND mask (all clear: the alpha decides).
std::vector<uint8_t> IconImage(const Canvas& canvas) {
    const int size = canvas.width;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // uncompressed
    const int maskRow = ((size + 31) / 32) * 4;
    Put32(out, static_cast<uint32_t>(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const size_t at = static_cast<size_t>(y * size + x);
            const double a = canvas.alpha[at];
            const Colour c = canvas.colour[at];
            // Straight alpha, as icons take it.
            out.push_back(Byte(c.b));
            out.push_back(Byte(c.g));
            out.push_back(Byte(c.r));
            out.push_back(Byte(a));
        }
    }
    out.insert(out.end(), static_cast<size_t>(maskRow * size), 0);
    return out;
}

}  // namespace

int WriteWindowsIcon(const std::string& path) {
    std::vector<uint8_t> images[kImages];
    for (int i = 0; i < kImages; ++i) images[i] = IconImage(DrawIcon(kSizes[i]));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, kImages);
    uint32_t offset = 6 + 16 * kImages;
    for (int i = 0; i < kImages; ++i) {
        out.push_back(static_cast<uint8_t>(kSizes[i]));
        out.push_back(static_cast<uint8_t>(kSizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return WriteBytes(path, out);
}

}  // namespace assetgen
