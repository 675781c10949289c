#include "line_sheets.h"

#include <cmath>

#include "bmp_writer.h"
#include "canvas.h"
#include "synth_math.h"

namespace assetgen {
namespace {

constexpr int kLineColours = kLineHues - 1;
constexpr int kImageLength = 33;
constexpr int kImageThickness = 11;
constexpr int kPitchAlong = 32;
constexpr int kPitchAcross = 10;
constexpr int kSheetColumns = 4;
constexpr int kSheetRows = 9;

// Sheet columns by role.
constexpr int kColumnMoving = 0;   // falling piece, preview, flashing lines; row 0 the grey line
constexpr int kColumnSettled = 2;  // lines at rest in the stack
constexpr int kColumnShadow = 3;   // where the piece would land

// Every segment stops short of the lattice points it joins, so an image is complete on its
// own and the pixels it shares with its neighbours on the sheet stay transparent.
constexpr double kAxisY = 5.5;
constexpr double kHalfThickness = 3.5;
constexpr double kAxisStart = 0.5 + 5.0;
constexpr double kAxisEnd = 32.5 - 5.0;

const Colour kPalette[kLineHues] = {
    {0.27, 0.30, 0.37},  // grey: a dark steel, so that texts over a greyed stack stand out
    {1.00, 0.22, 0.30},  // 1 red
    {1.00, 0.55, 0.10},  // 2 orange
    {1.00, 0.88, 0.14},  // 3 yellow
    {0.22, 0.92, 0.34},  // 4 green
    {0.12, 0.84, 1.00},  // 5 cyan
    {0.30, 0.44, 1.00},  // 6 blue
    {0.72, 0.34, 1.00},  // 7 violet
    {1.00, 0.42, 0.78},  // 8 pink
};

const Colour kWhite{1.0, 1.0, 1.0};
const Colour kInk{0.03, 0.03, 0.06};

// Brightness of the shadow's rim and of its inner screen, as fractions of the hue.
constexpr double kShadowRim = 0.85;
constexpr double kShadowScreen = 0.18;

bool OnSegment(double x, double y, double radius) {
    return DistanceToSegment(x, y, kAxisStart, kAxisY, kAxisEnd, kAxisY) <= radius;
}

// Position across the tube, -1 at the top edge to 1 at the bottom edge.
double Across(double y) { return (y - kAxisY) / (kHalfThickness - 1.0); }

// A lit tube: white-hot core fading to the hue, as a line that is still moving.
Colour MovingShade(Colour hue, double y) {
    const double v = Across(y);
    const double core = Clamp01(1.0 - std::fabs(v + 0.15));
    Colour c = MixColour(hue, kWhite, 0.70 * core * core);
    if (v > 0.55) c = ScaleColour(c, 0.80);
    return c;
}

// A solid bevelled bar: highlight along the top, darker underside.
Colour SettledShade(Colour hue, double y) {
    const double v = Across(y);
    Colour c = ScaleColour(hue, 0.88);
    if (v < -0.45)
        c = MixColour(c, kWhite, 0.42);
    else if (v > 0.45)
        c = ScaleColour(c, 0.62);
    return c;
}

void PaintOutline(Canvas& canvas, int x0, int y0) {
    PaintShape(
        canvas, x0, y0, x0 + kImageLength, y0 + kImageThickness,
        [&](double x, double y) { return OnSegment(x - x0, y - y0, kHalfThickness); },
        [](double, double) { return kInk; });
}

void PaintMoving(Canvas& canvas, int x0, int y0, Colour hue) {
    PaintOutline(canvas, x0, y0);
    PaintShape(
        canvas, x0, y0, x0 + kImageLength, y0 + kImageThickness,
        [&](double x, double y) { return OnSegment(x - x0, y - y0, kHalfThickness - 1.0); },
        [&](double, double y) { return MovingShade(hue, y - y0); });
}

void PaintSettled(Canvas& canvas, int x0, int y0, Colour hue) {
    PaintOutline(canvas, x0, y0);
    PaintShape(
        canvas, x0, y0, x0 + kImageLength, y0 + kImageThickness,
        [&](double x, double y) { return OnSegment(x - x0, y - y0, kHalfThickness - 1.0); },
        [&](double, double y) { return SettledShade(hue, y - y0); });
}

// The shadow: a rim of the hue, nearly as bright as the line itself so that it stands out on
// the dark backgrounds, around a dim screen of every other pixel through which the background
// shows. Hollow and dim inside, it still reads as fainter than any line at rest.
void PaintShadow(Canvas& canvas, int x0, int y0, Colour hue) {
    PaintShape(
        canvas, x0, y0, x0 + kImageLength, y0 + kImageThickness,
        [&](double x, double y) {
            const double lx = x - x0;
            const double ly = y - y0;
            if (!OnSegment(lx, ly, kHalfThickness)) return false;
            if (!OnSegment(lx, ly, kHalfThickness - 1.0)) return true;
            const int px = static_cast<int>(std::floor(lx));
            const int py = static_cast<int>(std::floor(ly));
            return (px + py) % 2 == 0;
        },
        [&](double x, double y) {
            const bool rim = !OnSegment(x - x0, y - y0, kHalfThickness - 1.0);
            return rim ? ScaleColour(hue, kShadowRim) : ScaleColour(hue, kShadowScreen);
        });
}

Picture DrawLineSheetX() {
    Canvas canvas = MakeCanvas(kPitchAlong * kSheetColumns + 1, kPitchAcross * kSheetRows + 1);
    PaintSettled(canvas, kColumnMoving * kPitchAlong, 0, kPalette[0]);
    for (int row = 1; row <= kLineColours; ++row) {
        const Colour hue = kPalette[row];
        PaintMoving(canvas, kColumnMoving * kPitchAlong, row * kPitchAcross, hue);
        PaintSettled(canvas, kColumnSettled * kPitchAlong, row * kPitchAcross, hue);
        PaintShadow(canvas, kColumnShadow * kPitchAlong, row * kPitchAcross, hue);
    }
    return FlattenKeyed(canvas, kInk);
}

Picture TurnSheet(const Picture& sheet) {
    Picture turned = MakePicture(sheet.height, sheet.width, kColourKey);
    for (int y = 0; y < turned.height; ++y) {
        for (int x = 0; x < turned.width; ++x) PixelAt(turned, x, y) = PixelAt(sheet, y, x);
    }
    return turned;
}

}  // namespace

Colour LineHue(int index) { return kPalette[index]; }

int WriteLineSheets(const std::string& outDir) {
    const Picture sheetX = DrawLineSheetX();
    int ok = WriteBmp(outDir + "/bmp/game/line_x.bmp", sheetX);
    ok &= WriteBmp(outDir + "/bmp/game/line_y.bmp", TurnSheet(sheetX));
    return ok;
}

}  // namespace assetgen
