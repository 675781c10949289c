#include "windows_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "byte_writer.h"
#include "canvas.h"

namespace assetgen {
namespace {

constexpr int kSizes[] = {16, 32, 48};
constexpr int kImages = 3;

// Hues of the line sheets: red, yellow, cyan, green.
const Colour kSides[4] = {
    {1.00, 0.22, 0.30},
    {1.00, 0.88, 0.14},
    {0.12, 0.84, 1.00},
    {0.22, 0.92, 0.34},
};
const Colour kTile{0.07, 0.08, 0.13};
const Colour kTileEdge{0.22, 0.25, 0.36};

// The motif on a unit square, scaled to each size, so every size shows the same picture.
Canvas DrawIcon(int size) {
    Canvas canvas = MakeCanvas(size, size);
    const double s = size;
    const double corner = s * 0.18;
    PaintShape(
        canvas, 0, 0, size, size,
        [&](double x, double y) { return InsideRoundedBox(x, y, 0, 0, s, s, corner); },
        [&](double x, double y) {
            // A faint light from the top left, so the tile reads as a tile.
            const double t = std::clamp((x + y) / (2.0 * s), 0.0, 1.0);
            return MixColour(kTileEdge, kTile, t);
        });
    // Four lines on the sides of a square, each stopping short of the corners as the game's
    // unit lines stop short of the lattice points.
    const double lo = s * 0.24, hi = s * 0.76, gap = s * 0.07;
    const double half = std::max(1.0, s * 0.075);
    const double ends[4][4] = {
        {lo + gap, lo, hi - gap, lo},  // top
        {hi, lo + gap, hi, hi - gap},  // right
        {hi - gap, hi, lo + gap, hi},  // bottom
        {lo, hi - gap, lo, lo + gap},  // left
    };
    for (int side = 0; side < 4; ++side) {
        const double* e = ends[side];
        const Colour hue = kSides[side];
        PaintShape(
            canvas, 0, 0, size, size,
            [&](double x, double y) {
                return DistanceToSegment(x, y, e[0], e[1], e[2], e[3]) <= half;
            },
            [&](double x, double y) {
                // A lit core fading to the hue towards the edges of the line.
                const double d = DistanceToSegment(x, y, e[0], e[1], e[2], e[3]) / half;
                return MixColour(MixColour(hue, Colour{1.0, 1.0, 1.0}, 0.55), hue, d);
            });
    }
    return canvas;
}

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
