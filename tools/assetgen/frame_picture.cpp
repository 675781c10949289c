#include "frame_picture.h"

#include <algorithm>
#include <cmath>

#include "bmp_writer.h"
#include "fonts.h"
#include "synth_math.h"

namespace assetgen {
namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// The lattice of the field as the game draws it: x-lines from x 207, y-lines from x 202,
// lattice points 32 pixels apart, the floor's points on row 447.
constexpr int kLatticeLeft = 207;
constexpr int kLatticeFloor = 447;
constexpr int kLatticeStep = 32;
constexpr int kLatticeColumns = 8;  // points per row
constexpr int kFieldRows = 12;      // floor and eleven rows above it
constexpr int kPreviewRows[] = {13, 14};
constexpr int kPreviewFirstColumn = 2;
constexpr int kPreviewLastColumn = 5;

// The open well over the field and the preview, and the panels around it.
constexpr double kWellLeft = 192;
constexpr double kWellRight = 446;
constexpr double kWellTop = 12;
constexpr double kWellBottom = 462;
constexpr double kDividerY = 79;

const Colour kInk{0.02, 0.02, 0.05};
const Colour kNeon{0.26, 0.80, 1.00};
const Colour kNeonDeep{0.10, 0.30, 0.55};
const Colour kAccent{1.00, 0.36, 0.74};
const Colour kPanelTop{0.05, 0.07, 0.15};
const Colour kPanelBottom{0.03, 0.04, 0.09};
const Colour kSlot{0.015, 0.02, 0.05};
const Colour kLabel{0.55, 0.78, 0.95};
const Colour kNode{0.22, 0.30, 0.44};

// Paints a text mask at (x, top) over a dark outline one pixel wide.
void PaintTextMask(Canvas& canvas, const TextMask& mask, int x, int top, const Shade& shade,
                   Colour outline) {
    auto at = [&](int mx, int my) {
        if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) return 0;
        return static_cast<int>(mask.coverage[my * mask.width + mx]);
    };
    for (int my = -1; my <= mask.height; ++my) {
        for (int mx = -1; mx <= mask.width; ++mx) {
            int around = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) around = std::max(around, at(mx + dx, my + dy));
            }
            if (around >= 96) BlendPixel(canvas, x + mx, top + my, outline, 1.0);
        }
    }
    for (int my = 0; my < mask.height; ++my) {
        for (int mx = 0; mx < mask.width; ++mx) {
            const int a = at(mx, my);
            if (a == 0) continue;
            BlendPixel(canvas, x + mx, top + my, shade(x + mx, top + my), a / 255.0);
        }
    }
}

Shade Flat(Colour c) {
    return [c](double, double) { return c; };
}

void PaintBox(Canvas& canvas, double x0, double y0, double x1, double y1, double radius,
              const Shade& shade) {
    PaintShape(
        canvas, static_cast<int>(std::floor(x0)), static_cast<int>(std::floor(y0)),
        static_cast<int>(std::ceil(x1)), static_cast<int>(std::ceil(y1)),
        [=](double x, double y) { return InsideRoundedBox(x, y, x0, y0, x1, y1, radius); }, shade);
}

// A panel: dark outline, neon border, dark blue body shaded from top to bottom.
void PaintPanel(Canvas& canvas, double x0, double y0, double x1, double y1, double radius) {
    PaintBox(canvas, x0, y0, x1, y1, radius, Flat(kInk));
    PaintBox(canvas, x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1, Flat(kNeon));
    PaintBox(canvas, x0 + 2.5, y0 + 2.5, x1 - 2.5, y1 - 2.5, radius - 2.5, Flat(kNeonDeep));
    PaintBox(canvas, x0 + 3.5, y0 + 3.5, x1 - 3.5, y1 - 3.5, radius - 3.5, [=](double, double y) {
        return MixColour(kPanelTop, kPanelBottom, Clamp01((y - y0) / (y1 - y0)));
    });
}

// A recessed slot for a row of figures.
void PaintSlot(Canvas& canvas, double x0, double y0, double x1, double y1) {
    PaintBox(canvas, x0, y0, x1, y1, 3, Flat(ScaleColour(kNeonDeep, 0.7)));
    PaintBox(canvas, x0 + 1, y0 + 1, x1, y1, 2, Flat(kSlot));
}

void PaintHorizontalRail(Canvas& canvas, double x0, double x1, double y, Colour colour) {
    PaintBox(canvas, x0, y - 2.5, x1, y + 2.5, 2.5, Flat(kInk));
    PaintBox(canvas, x0 + 1, y - 1, x1 - 1, y + 1, 1, Flat(colour));
}

void PaintLabel(Canvas& canvas, const std::string& fontDir, int size, const char* text, int x,
                int top, Colour colour, bool centred) {
    TextMask mask;
    if (!RenderTextMask(fontDir + "/DejaVuSans-Bold.ttf", size, 1.0, 1, text, mask)) return;
    const int left = centred ? x - mask.width / 2 : x;
    PaintTextMask(canvas, mask, left, top, Flat(colour), kInk);
}

// The title lettering: a cyan-to-violet gradient with a pink plus sign.
void PaintLogo(Canvas& canvas, const std::string& fontDir) {
    TextMask plus;
    TextMask word;
    if (!RenderTextMask(fontDir + "/DejaVuSans-Bold.ttf", 46, 1.0, 0, "+", plus)) return;
    if (!RenderTextMask(fontDir + "/DejaVuSans-Bold.ttf", 46, 1.08, 1, "RAIL", word)) return;
    const int top = 26;
    const int left = 458;
    PaintTextMask(canvas, plus, left, top, Flat(kAccent), kInk);
    const int wordLeft = left + plus.width - 4;
    PaintTextMask(
        canvas, word, wordLeft, top,
        [=](double, double y) {
            const double t = Clamp01((y - top - 8) / 34.0);
            return MixColour(Colour{0.70, 0.96, 1.00}, Colour{0.55, 0.42, 1.00}, t);
        },
        kInk);
    PaintHorizontalRail(canvas, left + 4, 628, 86, kNeonDeep);
    PaintHorizontalRail(canvas, left + 4, 540, 86, kNeon);
}

// Small plus-shaped studs on the lattice points, dim enough to sit behind the lines.
void PaintLatticeNode(Canvas& canvas, int x, int y) {
    PaintShape(
        canvas, x - 2, y - 2, x + 3, y + 3,
        [=](double px, double py) {
            const double dx = std::fabs(px - (x + 0.5));
            const double dy = std::fabs(py - (y + 0.5));
            return (dx <= 1.5 && dy <= 0.5) || (dy <= 1.5 && dx <= 0.5);
        },
        Flat(kNode));
}

void PaintWell(Canvas& canvas, const std::string& fontDir) {
    // Border of the well: the inside stays transparent.
    PaintShape(
        canvas, static_cast<int>(kWellLeft), static_cast<int>(kWellTop),
        static_cast<int>(kWellRight), static_cast<int>(kWellBottom),
        [](double x, double y) {
            const bool outer =
                InsideRoundedBox(x, y, kWellLeft, kWellTop, kWellRight, kWellBottom, 9);
            const bool inner = InsideRoundedBox(x, y, kWellLeft + 5, kWellTop + 5, kWellRight - 5,
                                                kWellBottom - 5, 5);
            return outer && !inner;
        },
        [](double x, double y) {
            const bool edge = !InsideRoundedBox(x, y, kWellLeft + 1, kWellTop + 1, kWellRight - 1,
                                                kWellBottom - 1, 8) ||
                              InsideRoundedBox(x, y, kWellLeft + 4, kWellTop + 4, kWellRight - 4,
                                               kWellBottom - 4, 6);
            if (edge) return kInk;
            const bool core = !InsideRoundedBox(x, y, kWellLeft + 2.5, kWellTop + 2.5,
                                                kWellRight - 2.5, kWellBottom - 2.5, 7);
            return core ? kNeon : kNeonDeep;
        });
    // The preview sits above a dashed divider.
    for (double x = kWellLeft + 10; x + 8 <= kWellRight - 10; x += 14) {
        PaintBox(canvas, x, kDividerY - 1, x + 8, kDividerY + 1, 1, Flat(kNeonDeep));
    }
    PaintLabel(canvas, fontDir, 12, "NEXT", 204, 40, kLabel, false);
    for (int row = 0; row < kFieldRows; ++row) {
        for (int column = 0; column < kLatticeColumns; ++column) {
            PaintLatticeNode(canvas, kLatticeLeft + column * kLatticeStep,
                             kLatticeFloor - row * kLatticeStep);
        }
    }
    for (int row : kPreviewRows) {
        for (int column = kPreviewFirstColumn; column <= kPreviewLastColumn; ++column) {
            PaintLatticeNode(canvas, kLatticeLeft + column * kLatticeStep,
                             kLatticeFloor - (row - 1) * kLatticeStep);
        }
    }
}

// SCORE, LINES and LEVEL: labels at cell column 1 of rows 7, 12, 17 and ten figures at
// columns 0..9 of rows 9, 14, 19 (16-pixel cells).
void PaintScorePanel(Canvas& canvas) {
    PaintPanel(canvas, -12, 98, 178, 334, 12);
    for (int section = 0; section < 3; ++section) {
        const double labelTop = 112 + section * 80;
        const double figuresTop = 144 + section * 80;
        PaintBox(canvas, 4, labelTop + 3, 10, labelTop + 13, 2, Flat(kAccent));
        PaintSlot(canvas, 2, figuresTop - 5, 166, figuresTop + 20);
        if (section < 2) PaintHorizontalRail(canvas, 12, 160, figuresTop + 34, kNeonDeep);
    }
    PaintHorizontalRail(canvas, 174, kWellLeft + 3, 216, kNeon);
}

// The medal block: six medals in two columns from (448, 160) to (512, 256).
void PaintMedalPanel(Canvas& canvas, const std::string& fontDir) {
    PaintPanel(canvas, 438, 122, 528, 268, 10);
    PaintLabel(canvas, fontDir, 11, "MEDALS", 482, 131, kLabel, true);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 2; ++column) {
            const double x = 448 + column * 32;
            const double y = 160 + row * 32;
            PaintShape(
                canvas, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + 32,
                static_cast<int>(y) + 32,
                [=](double px, double py) { return InsideCircle(px, py, x + 16, y + 16, 15.5); },
                Flat(kSlot));
        }
    }
}

// The time: cells 16..23 of row 29, under the well.
void PaintTimePanel(Canvas& canvas, const std::string& fontDir) {
    PaintPanel(canvas, 198, 455, 410, 492, 8);
    PaintSlot(canvas, 250, 462, 390, 482);
    PaintLabel(canvas, fontDir, 11, "TIME", 207, 465, kLabel, false);
}

}  // namespace

Picture DrawFramePicture(const std::string& fontDir) {
    Canvas canvas = MakeCanvas(kScreenWidth, kScreenHeight);
    PaintWell(canvas, fontDir);
    PaintScorePanel(canvas);
    PaintMedalPanel(canvas, fontDir);
    PaintTimePanel(canvas, fontDir);
    PaintLogo(canvas, fontDir);
    return FlattenKeyed(canvas, kInk);
}

int WriteFramePicture(const std::string& outDir, const std::string& fontDir) {
    return WriteBmp(outDir + "/bmp/game/frame.bmp", DrawFramePicture(fontDir));
}

}  // namespace assetgen
