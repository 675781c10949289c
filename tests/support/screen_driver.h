#pragma once
// Runs the real FrameCallback frame by frame with keys on the headless machine, and reads back
// the text drawn (glyphs of either size, from their place on the font sheet) and the sounds
// played: what a player sees and hears of the menus, the option screens and the ranking.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/window_procedure.h"
#include "hosts/headless/headless.h"
#include "scenes/callbacks.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/fresh.h"
#include "support/sprite_log.h"

namespace screen_driver {

constexpr int kKey1 = 'Z', kKey2 = 'S', kKey3 = 'X', kKey4 = 'C';

inline std::vector<uint16_t> Played;  // the sounds since Start

// A fresh process that records what is drawn and played.
inline void Start() {
    FreshProcess();
    RecordSprites();
    Played.clear();
    SetWaveTrace([](WaveOp op, uint16_t slot, int32_t, int32_t) {
        if (op == WaveOpPlay) Played.push_back(slot);
    });
}

inline int CountPlays(uint16_t slot) {
    return static_cast<int>(std::count(Played.begin(), Played.end(), slot));
}

// One frame as the loop runs it: the joysticks, then the game.
inline void RunFrames(int n = 1) {
    for (int i = 0; i < n; ++i) {
        DrawnSprites.clear();
        PollInput();
        FrameCallback();
    }
}

// Down in the frame of the press, then let go; a tap adds the two frames until it reads idle.
inline void Press(int key) {
    HeadlessSetKey(key, true);
    RunFrames();
    HeadlessSetKey(key, false);
}
inline void Tap(int key) {
    Press(key);
    RunFrames(2);
}

// The 16-pixel font sheets are slots 1 to 14, the 32-pixel ones 31 to 44.
inline bool IsSmallGlyph(uint32_t slot) { return slot >= 1 && slot <= 14; }
inline bool IsGlyph(uint32_t slot) { return IsSmallGlyph(slot) || (slot >= 31 && slot <= 44); }

// The glyphs of the last frame on pixel row y from fromX on, by x; a later draw at the same
// place covers an earlier one.
inline std::map<int32_t, DrawnSprite> GlyphsAt(int32_t y, int32_t fromX = INT32_MIN,
                                               bool (*isGlyph)(uint32_t) = IsGlyph) {
    std::map<int32_t, DrawnSprite> cells;
    for (const DrawnSprite& s : DrawnSprites) {
        if (s.y == y && s.x >= fromX && isGlyph(s.slot)) cells[s.x] = s;
    }
    return cells;
}

// The glyphs of one pixel row in x order.
struct Row {
    std::string text;             // a gap of a glyph's width reads as a space
    int32_t x = 9999;             // of the first glyph
    std::vector<uint32_t> slots;  // one per character, 0 for a gap
};
inline Row RowAt(int32_t y, int32_t fromX = INT32_MIN, bool (*isGlyph)(uint32_t) = IsGlyph) {
    const std::map<int32_t, DrawnSprite> cells = GlyphsAt(y, fromX, isGlyph);
    Row row;
    if (!cells.empty()) row.x = cells.begin()->first;
    for (int32_t next = row.x; const auto& [x, s] : cells) {
        row.text.append((x - next) / (s.right - s.left), ' ');
        row.slots.resize(row.text.size());
        row.text += GlyphChar(s);
        row.slots.push_back(s.slot);
        next = x + s.right - s.left;
    }
    return row;
}

// A highlight colour of the frame just run (SceneFrame has counted it already): the six fonts
// after `font` in turn, a new one every `frames` frames, `phase` frames ahead.
inline uint32_t Cycle(uint32_t font, int32_t frames = 1, int32_t phase = 0) {
    return font + 1 + static_cast<uint32_t>((Scene.frame - 1 + phase) / frames % 6);
}

}  // namespace screen_driver
