#include "backgrounds.h"

#include <cmath>
#include <cstdio>

#include "bmp_writer.h"
#include "synth_math.h"

namespace assetgen {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum Pattern {
    PatternLattice,
    PatternRails,
    PatternHorizon,
    PatternAurora,
    PatternCircuit,
    PatternRings,
    PatternRays
};

struct Glow {
    Colour colour;
    double x;
    double y;
    double radius;
};

struct Theme {
    Colour top;
    Colour bottom;
    Glow glows[2];
    Pattern pattern;
    Colour patternColour;
    Colour cloudColour;
    double cloudScale;
    double stars;  // share of 8 x 8 blocks holding a star
    uint32_t seed;
};

// back00 (never shown in play) and then the bands from calm to fierce.
const Theme kThemes[kBackgroundCount] = {
    {{0.05, 0.05, 0.06},
     {0.02, 0.02, 0.03},
     {{{0.06, 0.06, 0.08}, 320, 240, 380}, {{0, 0, 0}, 0, 0, 1}},
     PatternLattice,
     {0.16, 0.17, 0.20},
     {0.03, 0.03, 0.04},
     150,
     0.0,
     1},
    {{0.02, 0.04, 0.10},
     {0.01, 0.02, 0.05},
     {{{0.03, 0.07, 0.16}, 320, 520, 420}, {{0, 0, 0}, 0, 0, 1}},
     PatternLattice,
     {0.10, 0.18, 0.32},
     {0.02, 0.04, 0.08},
     160,
     0.02,
     11},
    {{0.01, 0.06, 0.09},
     {0.01, 0.03, 0.05},
     {{{0.02, 0.10, 0.13}, 80, 80, 360}, {{0.02, 0.06, 0.10}, 600, 440, 300}},
     PatternRails,
     {0.08, 0.24, 0.28},
     {0.02, 0.06, 0.08},
     140,
     0.03,
     23},
    {{0.03, 0.02, 0.09},
     {0.02, 0.02, 0.06},
     {{{0.10, 0.05, 0.20}, 320, 300, 300}, {{0.04, 0.02, 0.08}, 320, 0, 300}},
     PatternHorizon,
     {0.20, 0.16, 0.46},
     {0.04, 0.03, 0.09},
     170,
     0.05,
     37},
    {{0.01, 0.05, 0.06},
     {0.01, 0.02, 0.04},
     {{{0.02, 0.12, 0.10}, 160, 120, 320}, {{0.03, 0.06, 0.12}, 500, 360, 300}},
     PatternAurora,
     {0.10, 0.42, 0.34},
     {0.02, 0.07, 0.07},
     150,
     0.06,
     41},
    {{0.03, 0.03, 0.11},
     {0.02, 0.01, 0.06},
     {{{0.08, 0.06, 0.22}, 520, 100, 340}, {{0.03, 0.06, 0.16}, 100, 420, 320}},
     PatternCircuit,
     {0.20, 0.26, 0.62},
     {0.05, 0.04, 0.12},
     130,
     0.04,
     53},
    {{0.01, 0.05, 0.12},
     {0.01, 0.02, 0.07},
     {{{0.02, 0.14, 0.28}, 320, 240, 320}, {{0.02, 0.06, 0.14}, 40, 40, 260}},
     PatternRings,
     {0.10, 0.40, 0.66},
     {0.02, 0.07, 0.13},
     120,
     0.07,
     67},
    {{0.07, 0.02, 0.11},
     {0.03, 0.01, 0.07},
     {{{0.20, 0.05, 0.24}, 480, 140, 330}, {{0.08, 0.03, 0.16}, 120, 380, 300}},
     PatternAurora,
     {0.52, 0.18, 0.60},
     {0.09, 0.03, 0.12},
     140,
     0.09,
     71},
    {{0.09, 0.02, 0.07},
     {0.04, 0.01, 0.04},
     {{{0.30, 0.07, 0.12}, 320, 290, 260}, {{0.12, 0.03, 0.12}, 320, 0, 340}},
     PatternHorizon,
     {0.70, 0.18, 0.40},
     {0.10, 0.03, 0.07},
     160,
     0.08,
     83},
    {{0.09, 0.05, 0.02},
     {0.04, 0.02, 0.01},
     {{{0.32, 0.16, 0.04}, 560, 420, 340}, {{0.16, 0.06, 0.03}, 60, 60, 300}},
     PatternCircuit,
     {0.78, 0.46, 0.14},
     {0.12, 0.06, 0.02},
     120,
     0.06,
     97},
    {{0.10, 0.02, 0.12},
     {0.04, 0.01, 0.07},
     {{{0.28, 0.05, 0.28}, 560, 70, 320}, {{0.10, 0.04, 0.26}, 60, 420, 300}},
     PatternRays,
     {0.62, 0.20, 0.70},
     {0.20, 0.05, 0.22},
     110,
     0.12,
     101},
    {{0.13, 0.03, 0.02},
     {0.05, 0.01, 0.01},
     {{{0.46, 0.13, 0.03}, 320, 520, 380}, {{0.26, 0.05, 0.05}, 600, 40, 260}},
     PatternRays,
     {0.90, 0.34, 0.10},
     {0.18, 0.05, 0.02},
     100,
     0.10,
     113},
    {{0.05, 0.03, 0.12},
     {0.03, 0.01, 0.08},
     {{{0.40, 0.10, 0.46}, 120, 120, 320}, {{0.08, 0.30, 0.46}, 540, 380, 340}},
     PatternRings,
     {0.86, 0.56, 1.00},
     {0.16, 0.07, 0.22},
     100,
     0.14,
     127},
};

// Anti-aliased thin line: 1 on the line, fading out within a pixel.
double LineAt(double distance, double width) {
    return 1.0 - SmoothStep(width * 0.5, width * 0.5 + 1.0, distance);
}

// Distance to the nearest multiple of `step`.
double GridDistance(double v, double step) {
    const double m = v - std::floor(v / step) * step;
    return m < step - m ? m : step - m;
}

// Plus-shaped studs on the 32-pixel lattice of the field, joined by faint lines.
double LatticePattern(double x, double y) {
    const double dx = GridDistance(x - 207.5, 32.0);
    const double dy = GridDistance(y - 447.5, 32.0);
    const double plus = ((dx <= 3.5 && dy <= 0.6) || (dy <= 3.5 && dx <= 0.6)) ? 1.0 : 0.0;
    const double grid = 0.22 * (LineAt(dx, 0.6) + LineAt(dy, 0.6));
    return plus > grid ? plus : grid;
}

// Pairs of rails with sleepers, running diagonally.
double RailsPattern(double x, double y) {
    const double u = (x * 0.8 + y * 0.6);
    const double v = (-x * 0.6 + y * 0.8);
    const double across = u - std::floor(u / 120.0) * 120.0;
    const double rail =
        LineAt(std::fabs(across - 54.0), 1.2) + LineAt(std::fabs(across - 66.0), 1.2);
    const double sleeper =
        (across > 50.0 && across < 70.0 && GridDistance(v, 14.0) < 1.6) ? 0.45 : 0.0;
    return rail > sleeper ? rail : sleeper;
}

// A floor grid in perspective under a glowing horizon; the lines fade into the distance.
double HorizonPattern(double x, double y) {
    const double horizon = 300.0;
    const double glow = 0.45 * Exp(-std::fabs(y - horizon) / 14.0);
    if (y <= horizon + 1.0) return glow;
    const double depth = 1.0 / (y - horizon);
    const double lateral = (x - 320.0) * depth * 16.0;
    const double along = 900.0 * depth;
    const double lateralWidth = depth * 16.0;
    const double alongWidth = 900.0 * depth * depth;
    const double vertical = 1.0 - SmoothStep(0.0, lateralWidth * 1.4, GridDistance(lateral, 1.0));
    const double horizontal =
        1.0 - SmoothStep(0.0, alongWidth * 1.4 + 0.02, GridDistance(along, 1.0));
    const double fade = SmoothStep(horizon + 4.0, horizon + 150.0, y);
    const double line = vertical > horizontal ? vertical : horizontal;
    return line * fade + glow;
}

// Curtains of light with vertical streaks.
double AuroraPattern(double x, double y, uint32_t seed) {
    double sum = 0.0;
    for (int band = 0; band < 3; ++band) {
        const double centre = 130.0 + band * 85.0 +
                              38.0 * Sine(x / (520.0 + band * 90.0) + band * 0.31) +
                              14.0 * Sine(x / 170.0 + band * 0.17);
        const double d = (y - centre) / (26.0 + band * 6.0);
        const double below = d > 0.0 ? Exp(-d * d * 0.6) : Exp(-d * d * 3.0);
        const double streak = 0.55 + 0.45 * ValueNoise(x / 5.0, band * 7.0, seed + band);
        sum += below * streak * (1.0 - band * 0.22);
    }
    return sum;
}

// Traces on a 40-pixel grid with pads where they meet.
double CircuitPattern(double x, double y, uint32_t seed) {
    const int cx = static_cast<int>(std::floor(x / 40.0));
    const int cy = static_cast<int>(std::floor(y / 40.0));
    const double lx = x - cx * 40.0 - 20.0;
    const double ly = y - cy * 40.0 - 20.0;
    const uint32_t h = HashPoint(cx, cy, seed);
    const bool east = (h & 3u) == 0u;
    const bool west = ((h >> 2) & 3u) == 0u;
    const bool north = ((h >> 4) & 3u) == 0u;
    const bool south = ((h >> 6) & 3u) == 0u;
    double v = 0.0;
    if (east && lx >= 0.0) v = LineAt(std::fabs(ly), 1.0);
    if (west && lx <= 0.0 && LineAt(std::fabs(ly), 1.0) > v) v = LineAt(std::fabs(ly), 1.0);
    if (north && ly <= 0.0 && LineAt(std::fabs(lx), 1.0) > v) v = LineAt(std::fabs(lx), 1.0);
    if (south && ly >= 0.0 && LineAt(std::fabs(lx), 1.0) > v) v = LineAt(std::fabs(lx), 1.0);
    const int links = east + west + north + south;
    if (links >= 1) {
        const double r = std::sqrt(lx * lx + ly * ly);
        const double pad = links == 1 ? LineAt(std::fabs(r - 2.5), 1.2) : LineAt(r, 3.0);
        if (pad > v) v = pad;
    }
    return v;
}

// Concentric rings around a point, every fourth one brighter.
double RingsPattern(double x, double y, double cx, double cy) {
    const double r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    const double ring = LineAt(GridDistance(r, 26.0), 0.8);
    const double bright = LineAt(GridDistance(r, 104.0), 1.6);
    return (ring * 0.5 > bright ? ring * 0.5 : bright) * Exp(-r / 420.0);
}

// Soft rays from a point: cos(12 theta) from the twelfth power of (dx + i dy).
double RaysPattern(double x, double y, double cx, double cy) {
    const double dx = x - cx;
    const double dy = y - cy;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r < 1.0) return 1.0;
    double re = 1.0;
    double im = 0.0;
    const double ux = dx / r;
    const double uy = dy / r;
    for (int i = 0; i < 12; ++i) {
        const double nre = re * ux - im * uy;
        im = re * uy + im * ux;
        re = nre;
    }
    double ray = 0.5 + 0.5 * re;
    ray = ray * ray * ray * ray;
    return ray * (0.4 + 0.6 * Exp(-r / 260.0)) + 0.6 * Exp(-r / 40.0);
}

double PatternAt(const Theme& theme, double x, double y) {
    switch (theme.pattern) {
        case PatternLattice: return LatticePattern(x, y);
        case PatternRails: return RailsPattern(x, y);
        case PatternHorizon: return HorizonPattern(x, y);
        case PatternAurora: return AuroraPattern(x, y, theme.seed);
        case PatternCircuit: return CircuitPattern(x, y, theme.seed);
        case PatternRings: return RingsPattern(x, y, theme.glows[0].x, theme.glows[0].y);
        case PatternRays: return RaysPattern(x, y, theme.glows[0].x, theme.glows[0].y);
    }
    return 0.0;
}

double StarAt(const Theme& theme, int x, int y) {
    const int bx = x >> 3;
    const int by = y >> 3;
    const uint32_t h = HashPoint(bx, by, theme.seed * 7u + 3u);
    if ((h & 0xFFFF) >= static_cast<uint32_t>(theme.stars * 65536.0)) return 0.0;
    const int sx = (bx << 3) + static_cast<int>((h >> 16) & 7u);
    const int sy = (by << 3) + static_cast<int>((h >> 19) & 7u);
    const double brightness = 0.25 + 0.75 * ((h >> 22) & 255u) / 255.0;
    if (x == sx && y == sy) return brightness;
    const bool arm = (std::abs(x - sx) + std::abs(y - sy)) == 1;
    return arm && brightness > 0.8 ? brightness * 0.35 : 0.0;
}

Colour AddColour(Colour a, Colour b, double k) {
    return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k};
}

}  // namespace

Picture DrawBackground(int index) {
    const Theme& theme = kThemes[index];
    Picture picture = MakePicture(kWidth, kHeight, Rgb{0, 0, 0});
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            Colour c = MixColour(theme.top, theme.bottom, py / kHeight);
            for (const Glow& glow : theme.glows) {
                const double dx = (px - glow.x) / glow.radius;
                const double dy = (py - glow.y) / glow.radius;
                c = AddColour(c, glow.colour, Exp(-(dx * dx + dy * dy) * 2.0));
            }
            const double cloud =
                CloudNoise(px / theme.cloudScale, py / theme.cloudScale, theme.seed);
            c = AddColour(c, theme.cloudColour, SmoothStep(0.35, 0.85, cloud) * 1.6);
            // The pattern keeps quiet in the middle, where the menus put their texts.
            const double mx = (px - 320.0) / 320.0;
            const double my = (py - 240.0) / 240.0;
            const double calm = 0.55 + 0.45 * SmoothStep(0.15, 0.9, mx * mx + my * my);
            c = AddColour(c, theme.patternColour, PatternAt(theme, px, py) * calm * 0.5);
            const double star = StarAt(theme, x, y);
            if (star > 0.0) c = AddColour(c, Colour{0.75, 0.80, 0.95}, star * 0.6);
            const double vignette = 1.0 - 0.45 * SmoothStep(0.4, 1.6, mx * mx + my * my);
            // A soft darker column down the middle, behind the field and the menu texts.
            const double column = 1.0 - 0.32 * Exp(-mx * mx * 7.0);
            picture.pixels[y * kWidth + x] = DitherTo16Bit(ScaleColour(c, vignette * column), x, y);
        }
    }
    return picture;
}

int WriteBackgrounds(const std::string& outDir) {
    int ok = 1;
    for (int index = 0; index < kBackgroundCount; ++index) {
        char name[32];
        std::snprintf(name, sizeof name, "/bmp/back/back%02d.bmp", index);
        ok &= WriteBmp(outDir + name, DrawBackground(index));
    }
    return ok;
}

}  // namespace assetgen
