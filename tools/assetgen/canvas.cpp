#include "canvas.h"

#include <cmath>

#include "synth_math.h"

namespace assetgen {

Picture MakePicture(int width, int height, Rgb fill) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, fill);
    return picture;
}

bool LooksLikeKey(Rgb c) {
    const bool as565 = (c.r >> 3) == 31 && (c.g >> 2) == 0 && (c.b >> 3) == 31;
    const bool as555 = (c.r >> 3) == 31 && (c.g >> 3) == 0 && (c.b >> 3) == 31;
    return c == kColourKey || as565 || as555;
}

Colour MixColour(Colour a, Colour b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

Colour ScaleColour(Colour c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Colour ColourFromBytes(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

double Luminance(Colour c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

static uint8_t ToByte(double v) {
    return static_cast<uint8_t>(std::floor(Clamp01(v) * 255.0 + 0.5));
}

Rgb ToRgb(Colour c) { return {ToByte(c.r), ToByte(c.g), ToByte(c.b)}; }

static const int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

static uint8_t DitherChannel(double v, int bits, double threshold) {
    const int levels = (1 << bits) - 1;
    int level = static_cast<int>(std::floor(Clamp01(v) * levels + threshold));
    if (level > levels) level = levels;
    if (level < 0) level = 0;
    // Spread the level over 8 bits so that truncating to `bits` gives it back.
    const int value = (level << (8 - bits)) | (level >> (2 * bits - 8));
    return static_cast<uint8_t>(value);
}

Rgb DitherTo16Bit(Colour c, int x, int y) {
    const double threshold = (kBayer4[y & 3][x & 3] + 0.5) / 16.0;
    return {DitherChannel(c.r, 5, threshold), DitherChannel(c.g, 6, threshold),
            DitherChannel(c.b, 5, threshold)};
}

Canvas MakeCanvas(int width, int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.colour.assign(static_cast<size_t>(width) * height, Colour{0, 0, 0});
    canvas.alpha.assign(static_cast<size_t>(width) * height, 0.0);
    return canvas;
}

void BlendPixel(Canvas& canvas, int x, int y, Colour c, double coverage) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || coverage <= 0.0) return;
    const size_t at = static_cast<size_t>(y) * canvas.width + x;
    const double below = canvas.alpha[at];
    const double out = coverage + below * (1.0 - coverage);
    const Colour under = canvas.colour[at];
    const double keep = below * (1.0 - coverage);
    canvas.colour[at] = {(c.r * coverage + under.r * keep) / out,
                         (c.g * coverage + under.g * keep) / out,
                         (c.b * coverage + under.b * keep) / out};
    canvas.alpha[at] = out;
}

void PaintShape(Canvas& canvas, int x0, int y0, int x1, int y1, const Inside& inside,
                const Shade& shade, double opacity) {
    constexpr int kSamples = 4;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int covered = 0;
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSamples;
                    const double py = y + (sy + 0.5) / kSamples;
                    if (!inside(px, py)) continue;
                    const Colour c = shade(px, py);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                    ++covered;
                }
            }
            if (covered == 0) continue;
            const Colour mean = ScaleColour(sum, 1.0 / covered);
            BlendPixel(canvas, x, y, mean, opacity * covered / (kSamples * kSamples));
        }
    }
}

Picture FlattenKeyed(const Canvas& canvas, Colour edge) {
    Picture picture = MakePicture(canvas.width, canvas.height, kColourKey);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const size_t at = static_cast<size_t>(y) * canvas.width + x;
            const double a = canvas.alpha[at];
            if (a < 0.5) continue;
            Rgb c = ToRgb(MixColour(edge, canvas.colour[at], a));
            if (LooksLikeKey(c)) c.g = 40;
            PixelAt(picture, x, y) = c;
        }
    }
    return picture;
}

bool InsideRoundedBox(double x, double y, double x0, double y0, double x1, double y1,
                      double radius) {
    if (x < x0 || x > x1 || y < y0 || y > y1) return false;
    const double cx = x < x0 + radius ? x0 + radius : (x > x1 - radius ? x1 - radius : x);
    const double cy = y < y0 + radius ? y0 + radius : (y > y1 - radius ? y1 - radius : y);
    const double dx = x - cx;
    const double dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool InsideCircle(double x, double y, double cx, double cy, double radius) {
    const double dx = x - cx;
    const double dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool InsidePolygon(double x, double y, const double* points, int count) {
    bool inside = false;
    for (int i = 0, j = count - 1; i < count; j = i++) {
        const double xi = points[2 * i], yi = points[2 * i + 1];
        const double xj = points[2 * j], yj = points[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

double DistanceToSegment(double x, double y, double ax, double ay, double bx, double by) {
    const double vx = bx - ax;
    const double vy = by - ay;
    const double length2 = vx * vx + vy * vy;
    double t = length2 > 0.0 ? ((x - ax) * vx + (y - ay) * vy) / length2 : 0.0;
    t = Clamp01(t);
    const double dx = x - (ax + t * vx);
    const double dy = y - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace assetgen
