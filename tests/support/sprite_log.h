#pragma once
// Every sprite the program draws, in order, for tests that read the screen back.
#include <cstdint>
#include <vector>

#include "frame/sprite.h"

struct DrawnSprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;  // the source rectangle on the slot's picture
    bool operator==(const DrawnSprite&) const = default;
};
inline std::vector<DrawnSprite> DrawnSprites;

// Starts recording into an empty DrawnSprites; FreshProcess stops it.
inline void RecordSprites() {
    DrawnSprites.clear();
    SetSpriteTrace([](int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top, int32_t right,
                      int32_t bottom) {
        DrawnSprites.push_back({x, y, slot, left, top, right, bottom});
    });
}

// The sprite drawn last at (x, y), or null.
inline const DrawnSprite* SpriteAt(int32_t x, int32_t y) {
    const DrawnSprite* found = nullptr;
    for (const DrawnSprite& s : DrawnSprites)
        if (s.x == x && s.y == y) found = &s;
    return found;
}

// The character a glyph shows, read from its place on a font sheet of 16 glyphs a row.
inline char GlyphChar(const DrawnSprite& s) {
    const int32_t w = s.right - s.left, h = s.bottom - s.top;
    return static_cast<char>(32 + s.left / w + 16 * (s.top / h));
}
