#include "medals.h"

#include <cmath>

#include "bmp_writer.h"
#include "synth_math.h"

namespace assetgen {
namespace {

// Rows in ranking order.
enum MedalRow { RowLevel, RowTime, RowLines, RowChain, RowStreak, RowCollection };

// `flash` is the light tint the metal brightens towards as it flashes: the ranking page
// shows every medal in its brightest stage, so that stage must keep the metal's hue.
struct Metal {
    Colour light;
    Colour mid;
    Colour dark;
    Colour flash;
};

const Metal kMetals[kMedalTiers] = {
    {{0.30, 0.33, 0.42},
     {0.17, 0.19, 0.25},
     {0.07, 0.08, 0.11},
     {0.30, 0.33, 0.42}},  // empty socket
    {{1.00, 0.76, 0.52}, {0.80, 0.48, 0.24}, {0.38, 0.20, 0.08}, {1.00, 0.68, 0.38}},  // bronze
    {{1.00, 1.00, 1.00}, {0.74, 0.78, 0.86}, {0.36, 0.40, 0.48}, {0.86, 0.92, 1.00}},  // silver
    {{1.00, 0.96, 0.62}, {0.98, 0.74, 0.12}, {0.50, 0.32, 0.04}, {1.00, 0.90, 0.30}},  // gold
};

const Colour kWhite{1.0, 1.0, 1.0};
const Colour kInk{0.03, 0.03, 0.05};

constexpr double kCentre = 16.0;
constexpr double kOuterRadius = 14.6;
constexpr double kRimRadius = 13.6;
constexpr double kInnerRadius = 10.4;

// Light falls from the top left: `light` runs from -1 (shadowed) to 1 (lit).
Colour MetalShade(const Metal& metal, double light) {
    light = light < -1.0 ? -1.0 : (light > 1.0 ? 1.0 : light);
    if (light < 0.0) return MixColour(metal.mid, metal.dark, -light);
    return MixColour(metal.mid, metal.light, light);
}

// Flash stage 0 (brightest) .. 3 (at rest). The colour is brightened without letting any
// channel clip on its own (which would bleach bronze and gold towards yellow and white),
// then drawn towards the metal's own light tint; `depth` below 1 lets recessed parts take
// less of the tint so that the emblem still stands out. The empty socket never flashes.
Colour Flash(int tier, Colour c, int frame, double depth = 1.0) {
    static const double kGain[kMedalFrames] = {1.30, 1.20, 1.10, 1.0};
    static const double kTint[kMedalFrames] = {0.40, 0.26, 0.12, 0.0};
    if (tier == 0) return c;
    c = ScaleColour(c, kGain[frame]);
    const double peak = c.r > c.g ? (c.r > c.b ? c.r : c.b) : (c.g > c.b ? c.g : c.b);
    if (peak > 1.0) c = ScaleColour(c, 1.0 / peak);
    return MixColour(c, kMetals[tier].flash, kTint[frame] * depth);
}

bool Ring(double x, double y, double cx, double cy, double radius, double half) {
    const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    return std::fabs(d - radius) <= half;
}

// The emblem of each kind, drawn in a 32 x 32 cell around its centre.
bool InEmblem(int kind, double x, double y) {
    switch (kind) {
        case RowLevel: {  // an arrow pointing up
            static const double arrow[] = {16, 7.5, 23.5, 15, 19, 15,  19,
                                           24, 13,  24,   13, 15, 8.5, 15};
            return InsidePolygon(x, y, arrow, 7);
        }
        case RowTime:  // a clock face
            return Ring(x, y, 16, 16, 7.0, 1.1) ||
                   DistanceToSegment(x, y, 16, 16, 16, 10.5) <= 1.1 ||
                   DistanceToSegment(x, y, 16, 16, 20, 18) <= 1.1;
        case RowLines:  // three rails
            return DistanceToSegment(x, y, 10, 11, 22, 11) <= 1.4 ||
                   DistanceToSegment(x, y, 10, 16, 22, 16) <= 1.4 ||
                   DistanceToSegment(x, y, 10, 21, 22, 21) <= 1.4;
        case RowChain:  // two links
            return Ring(x, y, 12.8, 16, 4.3, 1.15) || Ring(x, y, 19.2, 16, 4.3, 1.15);
        case RowStreak: {  // a lightning bolt
            static const double bolt[] = {18.5, 6.5,  9.5,  17.5, 15,   17.5, 12.5,
                                          25.5, 22.5, 13.5, 17,   13.5, 20.5, 6.5};
            return InsidePolygon(x, y, bolt, 7);
        }
        default: {  // a star
            struct Star {
                double points[20];
            };
            static const Star star = [] {
                Star made{};
                for (int i = 0; i < 10; ++i) {
                    const double radius = i % 2 == 0 ? 8.6 : 3.7;
                    made.points[2 * i] = 16 + radius * Sine(i / 10.0);
                    made.points[2 * i + 1] = 16.6 - radius * Cosine(i / 10.0);
                }
                return made;
            }();
            return InsidePolygon(x, y, star.points, 10);
        }
    }
}

// A four-pointed glint of light centred at (cx, cy).
bool InGlint(double x, double y, double cx, double cy, double reach) {
    const double dx = std::fabs(x - cx);
    const double dy = std::fabs(y - cy);
    return dx * 4.5 + dy <= reach || dy * 4.5 + dx <= reach;
}

void PaintMedal(Canvas& canvas, int tier, int kind, int frame) {
    const int x0 = frame * kMedalSize;
    const int y0 = kind * kMedalSize;
    const Metal& metal = kMetals[tier];
    auto local = [&](double& x, double& y) {
        x -= x0;
        y -= y0;
    };
    auto paint = [&](const Inside& inside, const Shade& shade) {
        PaintShape(canvas, x0, y0, x0 + kMedalSize, y0 + kMedalSize, inside, shade);
    };

    paint(
        [&](double x, double y) {
            local(x, y);
            return InsideCircle(x, y, kCentre, kCentre, kOuterRadius);
        },
        [&](double, double) { return kInk; });
    // The rim, lit from the top left.
    paint(
        [&](double x, double y) {
            local(x, y);
            return InsideCircle(x, y, kCentre, kCentre, kRimRadius);
        },
        [&](double x, double y) {
            local(x, y);
            const double light = -((x - kCentre) + (y - kCentre)) / (kRimRadius * 1.1);
            return Flash(tier, MetalShade(metal, light), frame);
        });
    // The recessed face: lit from the other side, and a little darker.
    paint(
        [&](double x, double y) {
            local(x, y);
            return InsideCircle(x, y, kCentre, kCentre, kInnerRadius);
        },
        [&](double x, double y) {
            local(x, y);
            const double light = ((x - kCentre) + (y - kCentre)) / (kInnerRadius * 1.6) - 0.35;
            return Flash(tier, ScaleColour(MetalShade(metal, light), 0.66), frame, 0.55);
        });
    // The emblem, raised: a dark drop to the lower right, then the bright face.
    const Colour emblemShadow =
        tier == 0 ? Colour{0.03, 0.03, 0.05} : ScaleColour(metal.dark, 0.55);
    paint(
        [&](double x, double y) {
            local(x, y);
            return InEmblem(kind, x - 0.8, y - 0.8);
        },
        [&](double, double) { return Flash(tier, emblemShadow, frame, 0.2); });
    paint(
        [&](double x, double y) {
            local(x, y);
            return InEmblem(kind, x, y);
        },
        [&](double x, double y) {
            local(x, y);
            const double light = 0.9 - (y - 8.0) / 18.0;
            const Colour face = tier == 0 ? ScaleColour(metal.light, 0.9)
                                          : MixColour(MetalShade(metal, light), kWhite, 0.25);
            return Flash(tier, face, frame);
        });

    // The empty socket only catches a faint glimmer on its rim while the others flash, so that
    // it never reads as a coin.
    if (tier == 0) {
        if (frame < kMedalFrames - 1) {
            paint(
                [&](double x, double y) {
                    local(x, y);
                    return InGlint(x, y, 22.5, 7.0, 3.0);
                },
                [&](double, double) { return metal.flash; });
        }
        return;
    }
    // Flashing frames throw glints, white at the heart and the metal's tint at the tips; the
    // brightest stage a large star of light.
    const auto glint = [&](double cx, double cy, double reach) {
        paint(
            [&](double x, double y) {
                local(x, y);
                return InGlint(x, y, cx, cy, reach);
            },
            [&](double x, double y) {
                local(x, y);
                const double d = (std::fabs(x - cx) + std::fabs(y - cy)) / reach;
                return MixColour(kWhite, metal.flash, Clamp01(d * 1.4));
            });
    };
    if (frame <= 1) glint(23.5, 8.5, frame == 0 ? 7.5 : 5.0);
    if (frame == 0) glint(9.0, 23.0, 5.0);
}

}  // namespace

Picture DrawMedalSheet(int tier) {
    Canvas canvas = MakeCanvas(kMedalSize * kMedalFrames, kMedalSize * kMedalKinds);
    for (int kind = 0; kind < kMedalKinds; ++kind) {
        for (int frame = 0; frame < kMedalFrames; ++frame) PaintMedal(canvas, tier, kind, frame);
    }
    return FlattenKeyed(canvas, kInk);
}

int WriteMedals(const std::string& outDir) {
    int ok = 1;
    for (int tier = 0; tier < kMedalTiers; ++tier) {
        ok &= WriteBmp(outDir + "/bmp/game/medal_" + std::to_string(tier) + ".bmp",
                       DrawMedalSheet(tier));
    }
    return ok;
}

}  // namespace assetgen
