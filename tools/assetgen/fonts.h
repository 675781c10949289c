#pragma once
// The bitmap fonts: two typefaces, 16 and 32 pixels, seven colours, glyphs 32..127 on a grid of
// 16 per row. Also a general text rasteriser for the lettering painted into other pictures.
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Grey coverage of a run of text, one byte per pixel; `baseline` is the row of the baseline.
struct TextMask {
    int width = 0;
    int height = 0;
    int baseline = 0;
    std::vector<uint8_t> coverage;
};

// Renders `text` with the font file at `pixelSize`, widened by `stretch` and spaced by
// `tracking` extra pixels per letter. Returns 1 on success, 0 on failure.
int RenderTextMask(const std::string& fontFile, int pixelSize, double stretch, int tracking,
                   const char* text, TextMask& mask);

// Writes the 28 font bitmaps under outDir/bmp/font_1 and outDir/bmp/font_2.
int WriteFonts(const std::string& outDir, const std::string& fontDir);

}  // namespace assetgen
