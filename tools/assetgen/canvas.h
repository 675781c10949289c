#pragma once
// Pictures as the files hold them (8-bit RGB) and a soft-edged painting surface used to
// draw them: shapes are sampled 4 x 4 per pixel and blended, then the result is either
// flattened onto the colour key (sprites) or kept opaque (backgrounds).
#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// Components 0..1.
struct Colour {
    double r;
    double g;
    double b;
};

// Pure magenta: no drawing of ours comes near it, also after reduction to 16 bits.
constexpr Rgb kColourKey{255, 0, 255};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

Picture MakePicture(int width, int height, Rgb fill);
inline Rgb& PixelAt(Picture& picture, int x, int y) {
    return picture.pixels[y * picture.width + x];
}
inline Rgb PixelAt(const Picture& picture, int x, int y) {
    return picture.pixels[y * picture.width + x];
}

// True when a 16-bit display would see this colour as the key (5-6-5 or 5-5-5).
bool LooksLikeKey(Rgb c);

Colour MixColour(Colour a, Colour b, double t);
Colour ScaleColour(Colour c, double k);
Colour ColourFromBytes(int r, int g, int b);
double Luminance(Colour c);
Rgb ToRgb(Colour c);

// Rounds to what a 5-6-5 display can show, with an ordered dither, so that gradients do
// not band when the game runs at 16 bits per pixel.
Rgb DitherTo16Bit(Colour c, int x, int y);

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> colour;
    std::vector<double> alpha;
};

Canvas MakeCanvas(int width, int height);

using Inside = std::function<bool(double x, double y)>;
using Shade = std::function<Colour(double x, double y)>;

// Blends the shape over the canvas within the pixel box [x0, x1) x [y0, y1).
void PaintShape(Canvas& canvas, int x0, int y0, int x1, int y1, const Inside& inside,
                const Shade& shade, double opacity = 1.0);

// Blends one pixel of given coverage (0..1) over the canvas.
void BlendPixel(Canvas& canvas, int x, int y, Colour c, double coverage);

// Pixels at least half covered keep their colour, darkened towards `edge` by what they lack
// of full coverage; the rest become the colour key.
Picture FlattenKeyed(const Canvas& canvas, Colour edge);

// Shape tests in pixel coordinates.
bool InsideRoundedBox(double x, double y, double x0, double y0, double x1, double y1,
                      double radius);
bool InsideCircle(double x, double y, double cx, double cy, double radius);
bool InsidePolygon(double x, double y, const double* points, int count);
double DistanceToSegment(double x, double y, double ax, double ay, double bx, double by);

}  // namespace assetgen
