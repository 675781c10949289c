#pragma once
// The screen driver as the option screens use it: 16-pixel text read by text row, and a
// fixture that opens a screen from the live option menu with the close path in place.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "app/application.h"
#include "app/window_procedure.h"
#include "frame/frame.h"
#include "options/option_menu.h"
#include "platform/keys.h"
#include "shell/settings.h"
#include "support/screen_driver.h"

namespace option_driver {

using namespace screen_driver;

constexpr int32_t kWhite = 1;  // the BitmapSlot of FontId 0; FontId n is in slot n + 1

// The 16-pixel glyphs of a text row from fromX on, by x.
inline std::map<int32_t, DrawnSprite> GlyphsOn(int32_t row, int32_t fromX = -1000) {
    return GlyphsAt(row * 16, fromX, IsSmallGlyph);
}

// The text of a row from a pixel position on; a missing glyph reads as a space.
inline std::string TextOf(int32_t row, int32_t fromX = -1000) {
    return RowAt(row * 16, fromX, IsSmallGlyph).text;
}

inline int32_t FirstX(int32_t r) { return RowAt(r * 16, -1000, IsSmallGlyph).x; }
inline int32_t LastX(int32_t r) {
    const auto glyphs = GlyphsOn(r);
    return glyphs.empty() ? -9999 : glyphs.rbegin()->first;
}

// The slot of the glyph drawn last at x (-1: nothing there).
inline int32_t SlotAt(int32_t row, int32_t x) {
    const auto glyphs = GlyphsOn(row);
    const auto it = glyphs.find(x);
    return it == glyphs.end() ? -1 : static_cast<int32_t>(it->second.slot);
}

// A 16-pixel text centred at halfGlyphs from the screen centre: its first glyph's pixel x.
inline int32_t CentredX(int32_t halfGlyphs, const std::string& text) {
    return 320 + halfGlyphs * 8 - static_cast<int32_t>(text.size()) * 8;
}

// The highlight colour of the frame just run: a new one every fourth frame.
inline int32_t BlinkSlot() { return static_cast<int32_t>(Cycle(kWhite, 4)); }

class OptionScreens : public testing::Test {
protected:
    void SetUp() override {
        Start();
        // The close path as the process entry sets it up.
        Frame.window = 1;
        Frame.quitKey = VkEscape;
        SetCloseCallback(CloseCallback);
    }
    // Choose `item` on the live menu, then run the leave phase and the screen's slide-in.
    void OpenScreen(int32_t item, int32_t scene) {
        EnterOptionMenu(SceneKeyConfig);
        for (int32_t i = 0; i < item; ++i) Tap(VkDown);
        Press(kKey1);
        RunFrames(20);
        ASSERT_EQ(Scene.id, scene);
        RunFrames(20);
        ASSERT_EQ(Scene.enterTimer, 0);
        Played.clear();
    }
    void Escape() {
        WindowProcedure(PlatformMessage{MsgKeyDown, VkEscape, 0, 0});
        RunFrames();
    }
};

}  // namespace option_driver
