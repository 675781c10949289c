#include "fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

#include "bmp_writer.h"
#include "canvas.h"
#include "synth_math.h"

namespace assetgen {
namespace {

struct Typeface {
    const char* file;
    double stretch;  // horizontal widening of every glyph
};

// font_1/font_3: a bold sans for labels and menus. font_2/font_4: a bold serif, a little
// widened, for the figures and the big words of the play screen.
const Typeface kLabelFace{"DejaVuSans-Bold.ttf", 1.0};
const Typeface kFigureFace{"DejaVuSerif-Bold.ttf", 1.05};

struct FontSheet {
    const char* folder;
    const char* stem;
    const Typeface* face;
    int cell;
};

const FontSheet kSheets[] = {
    {"font_1", "font_1", &kLabelFace, 16},
    {"font_2", "font_2", &kFigureFace, 16},
    {"font_1", "font_3", &kLabelFace, 32},
    {"font_2", "font_4", &kFigureFace, 32},
};

struct TextColour {
    char suffix;
    Colour top;
    Colour bottom;
};

// In file order w, r, y, g, c, b, p: a pale top fading into the full hue at the baseline.
const TextColour kTextColours[] = {
    {'w', {1.00, 1.00, 1.00}, {0.76, 0.82, 0.92}}, {'r', {1.00, 0.70, 0.68}, {0.95, 0.20, 0.24}},
    {'y', {1.00, 0.98, 0.72}, {0.98, 0.78, 0.10}}, {'g', {0.80, 1.00, 0.78}, {0.22, 0.84, 0.32}},
    {'c', {0.80, 0.98, 1.00}, {0.14, 0.78, 0.96}}, {'b', {0.78, 0.84, 1.00}, {0.34, 0.50, 1.00}},
    {'p', {0.96, 0.80, 1.00}, {0.74, 0.38, 0.98}},
};

constexpr int kGlyphColumns = 16;
constexpr int kGlyphRows = 6;
constexpr int kFirstCode = 32;
constexpr int kLastCode = 127;

// Coverage levels: solid ink, a half-tone rim, and the outline threshold.
constexpr int kSolidCoverage = 144;
constexpr int kRimCoverage = 64;

struct Margins {
    int left;
    int top;
    int right;
    int bottom;
};

struct LoadedGlyph {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    std::vector<uint8_t> bits;
};

FT_Fixed ToFixed(double v) { return static_cast<FT_Fixed>(std::floor(v * 65536.0 + 0.5)); }

int LoadGlyph(FT_Face face, unsigned long code, double sx, double sy, LoadedGlyph& out) {
    FT_Matrix matrix;
    matrix.xx = ToFixed(sx);
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = ToFixed(sy);
    FT_Set_Transform(face, &matrix, nullptr);
    if (FT_Load_Char(face, code, FT_LOAD_DEFAULT) != 0) return 0;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return 0;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.left = face->glyph->bitmap_left;
    out.top = face->glyph->bitmap_top;
    out.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    out.bits.assign(static_cast<size_t>(out.width) * out.rows, 0);
    for (int y = 0; y < out.rows; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.bits[y * out.width + x] = bitmap.buffer[y * bitmap.pitch + x];
        }
    }
    return 1;
}

// Largest pixel size at which capitals and digits, with half the depth of the descenders,
// fit the cell; the game's texts are in capitals, so they get the room, and the few
// lower-case letters that reach lower are lifted or squeezed into the cell. Returns the
// size and the baseline row.
int ChooseSize(FT_Face face, const Typeface& typeface, int cell, const Margins& margins,
               int& baseline) {
    const char* ascenders = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZbdfhklt";
    const char* descenders = "gjpqy";
    const int available = cell - margins.top - margins.bottom;
    for (int size = cell; size > 4; --size) {
        FT_Set_Pixel_Sizes(face, 0, size);
        int top = 0;
        int bottom = 0;
        LoadedGlyph glyph;
        for (const char* c = ascenders; *c != 0; ++c) {
            if (LoadGlyph(face, static_cast<unsigned char>(*c), typeface.stretch, 1.0, glyph) &&
                glyph.top > top) {
                top = glyph.top;
            }
        }
        for (const char* c = descenders; *c != 0; ++c) {
            if (LoadGlyph(face, static_cast<unsigned char>(*c), typeface.stretch, 1.0, glyph) &&
                glyph.rows - glyph.top > bottom) {
                bottom = glyph.rows - glyph.top;
            }
        }
        const int depth = (bottom + 1) / 2;
        if (top + depth <= available) {
            baseline = margins.top + top + (available - top - depth) / 2;
            return size;
        }
    }
    baseline = cell - margins.bottom;
    return 4;
}

// Renders one glyph into a cell-sized coverage grid, squeezing it where it would not fit.
void RenderCell(FT_Face face, const Typeface& typeface, int code, int cell, const Margins& margins,
                int baseline, std::vector<uint8_t>& coverage) {
    coverage.assign(static_cast<size_t>(cell) * cell, 0);
    if (code <= kFirstCode || code >= kLastCode) return;  // space and DEL stay empty
    const int availableWidth = cell - margins.left - margins.right;
    const int availableHeight = cell - margins.top - margins.bottom;
    double sx = typeface.stretch;
    double sy = 1.0;
    LoadedGlyph glyph;
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (!LoadGlyph(face, static_cast<unsigned long>(code), sx, sy, glyph)) return;
        const bool tooWide = glyph.width > availableWidth;
        const bool tooTall = glyph.rows > availableHeight;
        if (!tooWide && !tooTall) break;
        if (tooWide) sx *= 0.97 * availableWidth / glyph.width;
        if (tooTall) sy *= 0.97 * availableHeight / glyph.rows;
    }
    int x0 = margins.left + (availableWidth - glyph.width) / 2;
    int y0 = baseline - glyph.top;
    if (y0 < margins.top) y0 = margins.top;
    if (y0 + glyph.rows > cell - margins.bottom) y0 = cell - margins.bottom - glyph.rows;
    for (int y = 0; y < glyph.rows; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const int cx = x0 + x;
            const int cy = y0 + y;
            if (cx < 0 || cy < 0 || cx >= cell || cy >= cell) continue;
            coverage[cy * cell + cx] = glyph.bits[y * glyph.width + x];
        }
    }
}

int CoverageAt(const std::vector<uint8_t>& coverage, int cell, int x, int y) {
    if (x < 0 || y < 0 || x >= cell || y >= cell) return 0;
    return coverage[y * cell + x];
}

// Paints one glyph cell of one colour: solid ink with a vertical gradient, a half-tone rim,
// a dark outline one pixel wide all round, and on the large size a bevel and a drop shadow.
void PaintCell(Picture& sheet, int originX, int originY, int cell,
               const std::vector<uint8_t>& coverage, const TextColour& colour, int inkTop,
               int baseline) {
    const bool large = cell >= 32;
    const Colour outline = MixColour(Colour{0.02, 0.02, 0.05}, colour.bottom, 0.10);
    for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < cell; ++x) {
            const int a = CoverageAt(coverage, cell, x, y);
            const double t = Clamp01(static_cast<double>(y - inkTop) / (baseline - inkTop));
            const Colour fill = MixColour(colour.top, colour.bottom, t * t * 0.6 + t * 0.4);
            Colour c;
            if (a >= kSolidCoverage) {
                c = fill;
                if (large && CoverageAt(coverage, cell, x, y - 1) < kSolidCoverage)
                    c = MixColour(fill, {1, 1, 1}, 0.45);
            } else if (a >= kRimCoverage) {
                c = MixColour(outline, fill, 0.55);
            } else {
                bool nearInk = false;
                for (int dy = -1; dy <= 1 && !nearInk; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (CoverageAt(coverage, cell, x + dx, y + dy) >= kRimCoverage)
                            nearInk = true;
                    }
                }
                bool shadow = false;
                if (large && !nearInk) {
                    for (int dy = -2; dy <= 0 && !shadow; ++dy) {
                        for (int dx = -2; dx <= 0; ++dx) {
                            if (CoverageAt(coverage, cell, x + dx, y + dy) >= kRimCoverage)
                                shadow = true;
                        }
                    }
                }
                if (!nearInk && !shadow) continue;
                c = nearInk ? outline : ScaleColour(outline, 0.6);
            }
            Rgb pixel = ToRgb(c);
            if (LooksLikeKey(pixel)) pixel.g = 40;
            PixelAt(sheet, originX + x, originY + y) = pixel;
        }
    }
}

int WriteSheet(FT_Library library, const std::string& outDir, const std::string& fontDir,
               const FontSheet& sheet) {
    FT_Face face = nullptr;
    const std::string fontPath = fontDir + "/" + sheet.face->file;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0) return 0;
    const int cell = sheet.cell;
    const Margins margins = cell >= 32 ? Margins{1, 1, 3, 3} : Margins{1, 1, 1, 1};
    int baseline = 0;
    const int size = ChooseSize(face, *sheet.face, cell, margins, baseline);
    FT_Set_Pixel_Sizes(face, 0, size);

    std::vector<std::vector<uint8_t>> cells(kLastCode - kFirstCode + 1);
    int inkTop = cell;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        RenderCell(face, *sheet.face, code, cell, margins, baseline, cells[code - kFirstCode]);
        if (code >= 'A' && code <= 'Z') {
            for (int i = 0; i < cell * cell; ++i) {
                if (cells[code - kFirstCode][i] >= kRimCoverage && i / cell < inkTop)
                    inkTop = i / cell;
            }
        }
    }
    FT_Done_Face(face);

    int ok = 1;
    for (const TextColour& colour : kTextColours) {
        Picture picture = MakePicture(kGlyphColumns * cell, kGlyphRows * cell, kColourKey);
        for (int code = kFirstCode; code <= kLastCode; ++code) {
            const int g = code - kFirstCode;
            PaintCell(picture, (g % kGlyphColumns) * cell, (g / kGlyphColumns) * cell, cell,
                      cells[g], colour, inkTop, baseline);
        }
        const std::string path = outDir + "/bmp/" + sheet.folder + "/" + sheet.stem +
                                 std::string(1, colour.suffix) + ".bmp";
        ok &= WriteBmp(path, picture);
    }
    return ok;
}

}  // namespace

int RenderTextMask(const std::string& fontFile, int pixelSize, double stretch, int tracking,
                   const char* text, TextMask& mask) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return 0;
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontFile.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return 0;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    std::vector<LoadedGlyph> glyphs;
    int width = 0;
    int above = 0;
    int below = 0;
    for (const char* c = text; *c != 0; ++c) {
        LoadedGlyph glyph;
        if (!LoadGlyph(face, static_cast<unsigned char>(*c), stretch, 1.0, glyph)) continue;
        if (glyph.top > above) above = glyph.top;
        if (glyph.rows - glyph.top > below) below = glyph.rows - glyph.top;
        width += glyph.advance + tracking;
        glyphs.push_back(glyph);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    mask.width = width + 2;
    mask.height = above + below;
    mask.baseline = above;
    mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0);
    int penX = 1;
    for (const LoadedGlyph& glyph : glyphs) {
        for (int y = 0; y < glyph.rows; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const int mx = penX + glyph.left + x;
                const int my = above - glyph.top + y;
                if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height) continue;
                uint8_t& target = mask.coverage[my * mask.width + mx];
                const uint8_t v = glyph.bits[y * glyph.width + x];
                if (v > target) target = v;
            }
        }
        penX += glyph.advance + tracking;
    }
    return 1;
}

int WriteFonts(const std::string& outDir, const std::string& fontDir) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return 0;
    int ok = 1;
    for (const FontSheet& sheet : kSheets) ok &= WriteSheet(library, outDir, fontDir, sheet);
    FT_Done_FreeType(library);
    return ok;
}

}  // namespace assetgen
