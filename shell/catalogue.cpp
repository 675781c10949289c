#include "shell/catalogue.h"

#include <cstddef>
#include <cstdint>

#include "frame/bitmap_slots.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kColourKey = 1;   // transparent where the picture has its top-left colour
constexpr int32_t kOpaque = 0;

struct PictureFile {
    uint16_t slot;
    const char* path;
    int32_t colourKey;
};

struct WaveFile {
    uint16_t slot;
    const char* path;
};

// Fonts: four glyph sets in seven colours (w, r, y, g, c, b, p), in ascending slot order.
constexpr PictureFile kFontFiles[] = {
    {1, "bmp/font_1/font_1w.bmp", kColourKey},
    {2, "bmp/font_1/font_1r.bmp", kColourKey},
    {3, "bmp/font_1/font_1y.bmp", kColourKey},
    {4, "bmp/font_1/font_1g.bmp", kColourKey},
    {5, "bmp/font_1/font_1c.bmp", kColourKey},
    {6, "bmp/font_1/font_1b.bmp", kColourKey},
    {7, "bmp/font_1/font_1p.bmp", kColourKey},
    {8, "bmp/font_2/font_2w.bmp", kColourKey},
    {9, "bmp/font_2/font_2r.bmp", kColourKey},
    {10, "bmp/font_2/font_2y.bmp", kColourKey},
    {11, "bmp/font_2/font_2g.bmp", kColourKey},
    {12, "bmp/font_2/font_2c.bmp", kColourKey},
    {13, "bmp/font_2/font_2b.bmp", kColourKey},
    {14, "bmp/font_2/font_2p.bmp", kColourKey},
    {31, "bmp/font_1/font_3w.bmp", kColourKey},
    {32, "bmp/font_1/font_3r.bmp", kColourKey},
    {33, "bmp/font_1/font_3y.bmp", kColourKey},
    {34, "bmp/font_1/font_3g.bmp", kColourKey},
    {35, "bmp/font_1/font_3c.bmp", kColourKey},
    {36, "bmp/font_1/font_3b.bmp", kColourKey},
    {37, "bmp/font_1/font_3p.bmp", kColourKey},
    {38, "bmp/font_2/font_4w.bmp", kColourKey},
    {39, "bmp/font_2/font_4r.bmp", kColourKey},
    {40, "bmp/font_2/font_4y.bmp", kColourKey},
    {41, "bmp/font_2/font_4g.bmp", kColourKey},
    {42, "bmp/font_2/font_4c.bmp", kColourKey},
    {43, "bmp/font_2/font_4b.bmp", kColourKey},
    {44, "bmp/font_2/font_4p.bmp", kColourKey},
};

// The play pictures, then the full-screen backgrounds (drawn opaque). back00 is loaded but
// no scene draws it: the scenes pick 241 + BackgroundIndex.
constexpr PictureFile kGameFiles[] = {
    {15, "bmp/game/frame.bmp", kColourKey},
    {16, "bmp/game/line_x.bmp", kColourKey},
    {17, "bmp/game/line_y.bmp", kColourKey},
    {18, "bmp/game/medal_0.bmp", kColourKey},
    {19, "bmp/game/medal_1.bmp", kColourKey},
    {20, "bmp/game/medal_2.bmp", kColourKey},
    {21, "bmp/game/medal_3.bmp", kColourKey},
    {240, "bmp/back/back00.bmp", kOpaque},
    {241, "bmp/back/back01.bmp", kOpaque},
    {242, "bmp/back/back02.bmp", kOpaque},
    {243, "bmp/back/back03.bmp", kOpaque},
    {244, "bmp/back/back04.bmp", kOpaque},
    {245, "bmp/back/back05.bmp", kOpaque},
    {246, "bmp/back/back06.bmp", kOpaque},
    {247, "bmp/back/back07.bmp", kOpaque},
    {248, "bmp/back/back08.bmp", kOpaque},
    {249, "bmp/back/back09.bmp", kOpaque},
    {250, "bmp/back/back10.bmp", kOpaque},
    {251, "bmp/back/back11.bmp", kOpaque},
    {252, "bmp/back/back12.bmp", kOpaque},
};

constexpr WaveFile kWaveFiles[] = {
    {WaveSlotErasing, "wave/erasing.wav"},
    {WaveSlotLineFall, "wave/linefall.wav"},
    {WaveSlotLineSet, "wave/lineset.wav"},
    {WaveSlotNewLine1, "wave/newline1.wav"},
    {WaveSlotNewLine26, "wave/newline26.wav"},
    {WaveSlotNewLine3, "wave/newline3.wav"},
    {WaveSlotNewLine47, "wave/newline47.wav"},
    {WaveSlotNewLine5, "wave/newline5.wav"},
    {WaveSlotPreRotate, "wave/prerotate.wav"},
    {WaveSlotChissoku, "wave/chissoku.wav"},
    {WaveSlotLevelChange, "wave/levelchange.wav"},
    {WaveSlotChoice, "wave/choice.wav"},
    {WaveSlotSelect, "wave/select.wav"},
    {WaveSlotPinch, "wave/pinch.wav"},
    {WaveSlotMedal, "wave/medal.wav"},
};

// A file that does not load leaves its slot empty; the frame reports it, the game goes on.
template <std::size_t N>
void LoadPictures(const PictureFile (&files)[N]) {
    for (const PictureFile& file : files) LoadBitmapFile(file.slot, file.path, file.colourKey);
}

}  // namespace

void LoadFonts() { LoadPictures(kFontFiles); }

void LoadGameBitmaps() { LoadPictures(kGameFiles); }

void LoadWaves() {
    for (const WaveFile& file : kWaveFiles) LoadWave(file.slot, file.path);
}
