#include "icon.h"

#include <filesystem>
#include <system_error>

#include "canvas.h"
#include "line_sheets.h"
#include "png_writer.h"
#include "synth_math.h"

namespace assetgen {
namespace {

// Every length is a fraction of the icon's side, so that each size is drawn, not scaled.
constexpr double kTileInset = 0.04;
constexpr double kTileRadius = 0.18;
constexpr double kRimWidth = 0.022;

// Four by four lattice points; the rectangle takes the lower three rows, a falling piece the
// top one.
constexpr int kLatticePoints = 4;
constexpr double kLatticeFirst = 0.17;
constexpr double kLatticeStep = 0.22;
constexpr double kNodeRadius = 0.024;

// As on the field, a line stops short of the points it joins; it is drawn thicker than there
// so that it still reads at 48 pixels.
constexpr double kLineGap = 0.036;
constexpr double kLineHalf = 0.040;
constexpr double kInkWidth = 0.016;

const Colour kTileTop{0.08, 0.10, 0.21};
const Colour kTileBottom{0.02, 0.03, 0.08};
const Colour kRim{0.10, 0.30, 0.55};
const Colour kNode{0.22, 0.30, 0.44};
const Colour kInk{0.03, 0.03, 0.06};
const Colour kWhite{1.0, 1.0, 1.0};

enum Hue { Red = 1, Orange, Yellow, Green, Cyan, Blue, Violet, Pink };

// One unit line from lattice point (column, row) one step right (x-line) or down (y-line).
struct UnitLine {
    int column;
    int row;
    bool across;
    int hue;
    bool falling;
};

// The closed outline, three cells by two, built of what is left of a few pieces, and the
// next piece coming down onto it.
const UnitLine kLines[] = {
    {0, 1, true, Yellow, false}, {1, 1, true, Yellow, false}, {2, 1, true, Yellow, false},
    {0, 1, false, Red, false},   {0, 2, false, Red, false},   {0, 3, true, Red, false},
    {3, 1, false, Cyan, false},  {3, 2, false, Cyan, false},  {2, 3, true, Cyan, false},
    {1, 3, true, Green, false},  {0, 0, true, Violet, true},  {1, 0, true, Violet, true},
    {2, 0, false, Violet, true},
};

double LatticeAt(int index) { return kLatticeFirst + kLatticeStep * index; }

struct Segment {
    double ax, ay, bx, by;
};

Segment SegmentOf(const UnitLine& line) {
    const double x = LatticeAt(line.column);
    const double y = LatticeAt(line.row);
    if (line.across) return {x + kLineGap, y, x + kLatticeStep - kLineGap, y};
    return {x, y + kLineGap, x, y + kLatticeStep - kLineGap};
}

// Position across the line, -1 at its top (or left) edge to 1 at the other.
double Across(const UnitLine& line, const Segment& s, double x, double y) {
    return line.across ? (y - s.ay) / kLineHalf : (x - s.ax) / kLineHalf;
}

// The settled bar of the field, lit from the top left, and the lit tube of a moving line.
Colour LineShade(const UnitLine& line, double v) {
    const Colour hue = LineHue(line.hue);
    if (line.falling) {
        const double core = Clamp01(1.0 - v * v * 1.3);
        return MixColour(hue, kWhite, 0.75 * core * core);
    }
    Colour c = ScaleColour(hue, 0.90);
    if (v < -0.40) return MixColour(c, kWhite, 0.45);
    if (v > 0.40) return ScaleColour(c, 0.62);
    return c;
}

void PaintTile(Canvas& canvas, double size) {
    const double lo = kTileInset * size;
    const double hi = (1.0 - kTileInset) * size;
    const double radius = kTileRadius * size;
    const int all = static_cast<int>(size);
    PaintShape(
        canvas, 0, 0, all, all,
        [=](double x, double y) { return InsideRoundedBox(x, y, lo, lo, hi, hi, radius); },
        [=](double x, double y) {
            const double inner = kRimWidth * size;
            if (!InsideRoundedBox(x, y, lo + inner, lo + inner, hi - inner, hi - inner,
                                  radius - inner))
                return kRim;
            return MixColour(kTileTop, kTileBottom, (y - lo) / (hi - lo));
        });
}

void PaintNodes(Canvas& canvas, double size) {
    const double radius = kNodeRadius * size;
    for (int row = 0; row < kLatticePoints; ++row) {
        for (int column = 0; column < kLatticePoints; ++column) {
            const double cx = LatticeAt(column) * size;
            const double cy = LatticeAt(row) * size;
            PaintShape(
                canvas, static_cast<int>(cx - radius) - 1, static_cast<int>(cy - radius) - 1,
                static_cast<int>(cx + radius) + 2, static_cast<int>(cy + radius) + 2,
                [=](double x, double y) { return InsideCircle(x, y, cx, cy, radius); },
                [](double, double) { return kNode; });
        }
    }
}

void PaintLine(Canvas& canvas, double size, const UnitLine& line) {
    const Segment s = SegmentOf(line);
    const double reach = kLineHalf + kInkWidth;
    const int x0 = static_cast<int>((s.ax - reach) * size) - 1;
    const int y0 = static_cast<int>((s.ay - reach) * size) - 1;
    const int x1 = static_cast<int>((s.bx + reach) * size) + 2;
    const int y1 = static_cast<int>((s.by + reach) * size) + 2;
    const auto within = [=](double x, double y, double half) {
        return DistanceToSegment(x / size, y / size, s.ax, s.ay, s.bx, s.by) <= half;
    };
    PaintShape(
        canvas, x0, y0, x1, y1, [=](double x, double y) { return within(x, y, reach); },
        [](double, double) { return kInk; });
    PaintShape(
        canvas, x0, y0, x1, y1, [=](double x, double y) { return within(x, y, kLineHalf); },
        [=](double x, double y) { return LineShade(line, Across(line, s, x / size, y / size)); });
}

}  // namespace

Canvas DrawIcon(int side) {
    Canvas canvas = MakeCanvas(side, side);
    const double size = side;
    PaintTile(canvas, size);
    PaintNodes(canvas, size);
    for (const UnitLine& line : kLines) PaintLine(canvas, size, line);
    return canvas;
}

int WriteIcons(const std::string& iconDir) {
    int ok = 1;
    for (const int side : {16, 32, 48, 64, 128, 256}) {
        const std::string folder =
            iconDir + "/" + std::to_string(side) + "x" + std::to_string(side);
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) return 0;
        ok &= WritePng(folder + "/plusrail.png", DrawIcon(side));
    }
    return ok;
}

}  // namespace assetgen
