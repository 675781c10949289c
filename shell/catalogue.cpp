#include "shell/catalogue.h"

#include <cstddef>
#include <cstdint>

#include "frame/bitmap_slots.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kColourKey = 1;  // transparent where the picture has its top-left colour
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
    {SlotFontSmall + 0, "bmp/font_1/font_1w.bmp", kColourKey},
    {SlotFontSmall + 1, "bmp/font_1/font_1r.bmp", kColourKey},
    {SlotFontSmall + 2, "bmp/font_1/font_1y.bmp", kColourKey},
    {SlotFontSmall + 3, "bmp/font_1/font_1g.bmp", kColourKey},
    {SlotFontSmall + 4, "bmp/font_1/font_1c.bmp", kColourKey},
    {SlotFontSmall + 5, "bmp/font_1/font_1b.bmp", kColourKey},
    {SlotFontSmall + 6, "bmp/font_1/font_1p.bmp", kColourKey},
    {SlotFontSmall + 7, "bmp/font_2/font_2w.bmp", kColourKey},
    {SlotFontSmall + 8, "bmp/font_2/font_2r.bmp", kColourKey},
    {SlotFontSmall + 9, "bmp/font_2/font_2y.bmp", kColourKey},
    {SlotFontSmall + 10, "bmp/font_2/font_2g.bmp", kColourKey},
    {SlotFontSmall + 11, "bmp/font_2/font_2c.bmp", kColourKey},
    {SlotFontSmall + 12, "bmp/font_2/font_2b.bmp", kColourKey},
    {SlotFontSmall + 13, "bmp/font_2/font_2p.bmp", kColourKey},
    {SlotFontLarge + 0, "bmp/font_1/font_3w.bmp", kColourKey},
    {SlotFontLarge + 1, "bmp/font_1/font_3r.bmp", kColourKey},
    {SlotFontLarge + 2, "bmp/font_1/font_3y.bmp", kColourKey},
    {SlotFontLarge + 3, "bmp/font_1/font_3g.bmp", kColourKey},
    {SlotFontLarge + 4, "bmp/font_1/font_3c.bmp", kColourKey},
    {SlotFontLarge + 5, "bmp/font_1/font_3b.bmp", kColourKey},
    {SlotFontLarge + 6, "bmp/font_1/font_3p.bmp", kColourKey},
    {SlotFontLarge + 7, "bmp/font_2/font_4w.bmp", kColourKey},
    {SlotFontLarge + 8, "bmp/font_2/font_4r.bmp", kColourKey},
    {SlotFontLarge + 9, "bmp/font_2/font_4y.bmp", kColourKey},
    {SlotFontLarge + 10, "bmp/font_2/font_4g.bmp", kColourKey},
    {SlotFontLarge + 11, "bmp/font_2/font_4c.bmp", kColourKey},
    {SlotFontLarge + 12, "bmp/font_2/font_4b.bmp", kColourKey},
    {SlotFontLarge + 13, "bmp/font_2/font_4p.bmp", kColourKey},
};

// The play pictures, then the full-screen backgrounds (drawn opaque). back00 is loaded but
// no scene draws it: the scenes pick SlotBackgroundBase + BackgroundIndex.
constexpr PictureFile kGameFiles[] = {
    {SlotFieldFrame, "bmp/game/frame.bmp", kColourKey},
    {SlotLineX, "bmp/game/line_x.bmp", kColourKey},
    {SlotLineY, "bmp/game/line_y.bmp", kColourKey},
    {SlotMedalBase + 0, "bmp/game/medal_0.bmp", kColourKey},
    {SlotMedalBase + 1, "bmp/game/medal_1.bmp", kColourKey},
    {SlotMedalBase + 2, "bmp/game/medal_2.bmp", kColourKey},
    {SlotMedalBase + 3, "bmp/game/medal_3.bmp", kColourKey},
    {SlotUnusedBackground, "bmp/back/back00.bmp", kOpaque},
    {SlotBackgroundBase + 0, "bmp/back/back01.bmp", kOpaque},
    {SlotBackgroundBase + 1, "bmp/back/back02.bmp", kOpaque},
    {SlotBackgroundBase + 2, "bmp/back/back03.bmp", kOpaque},
    {SlotBackgroundBase + 3, "bmp/back/back04.bmp", kOpaque},
    {SlotBackgroundBase + 4, "bmp/back/back05.bmp", kOpaque},
    {SlotBackgroundBase + 5, "bmp/back/back06.bmp", kOpaque},
    {SlotBackgroundBase + 6, "bmp/back/back07.bmp", kOpaque},
    {SlotBackgroundBase + 7, "bmp/back/back08.bmp", kOpaque},
    {SlotBackgroundBase + 8, "bmp/back/back09.bmp", kOpaque},
    {SlotBackgroundBase + 9, "bmp/back/back10.bmp", kOpaque},
    {SlotBackgroundBase + 10, "bmp/back/back11.bmp", kOpaque},
    {SlotBackgroundBase + 11, "bmp/back/back12.bmp", kOpaque},
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
