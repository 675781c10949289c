#pragma once
// Drives the option screens frame by frame through the real FrameCallback with keys on the
// headless machine, and reads back what a player sees and hears: the 16-pixel glyphs drawn
// (from their source rectangles) and the sounds played.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "frame/application.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "options/option_menu.h"
#include "platform/headless/headless.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace option_driver {

constexpr int kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEscape = 27;
constexpr int kKey1 = 'Z', kKey3 = 'X', kKey4 = 'C';
constexpr int32_t kWhite = 1;   // the BitmapSlot of FontId 0; FontId n is in slot n + 1

struct Glyph { char ch; int32_t slot; };
inline std::map<int32_t, std::map<int32_t, Glyph>> g_rows;   // the frame just run: row, x
inline std::vector<uint16_t> g_played;                        // since the test started

// A glyph of the 16-pixel fonts, told by its place in the font sheet; a later draw at the
// same place covers an earlier one.
inline void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                         int32_t, int32_t) {
    if (slot >= 1 && slot <= 14 && y % 16 == 0)
        g_rows[y / 16][x] = {static_cast<char>(32 + left / 16 + 16 * (top / 16)), int32_t(slot)};
}

// One frame as the loop runs it: the joysticks, then the game.
inline void RunFrames(int n = 1) {
    for (int i = 0; i < n; ++i) {
        g_rows.clear();
        PollInput();
        FrameCallback();
    }
}

// The key is down for one frame, then let go; a tap adds the two frames until it reads idle.
inline void Press(int key) {
    HeadlessSetKey(key, true);
    RunFrames();
    HeadlessSetKey(key, false);
}
inline void Tap(int key) {
    Press(key);
    RunFrames(2);
}

// The text of a row between two pixel positions; a missing glyph reads as a space.
inline std::string TextOf(int32_t row, int32_t fromX = -1000) {
    std::string text;
    int32_t last = 0;
    for (const auto& [x, g] : g_rows[row]) {
        if (x < fromX) continue;
        if (!text.empty()) text.append(std::max(0, (x - last) / 16 - 1), ' ');
        text += g.ch;
        last = x;
    }
    return text;
}

inline int32_t FirstX(int32_t r) { return g_rows[r].empty() ? 9999 : g_rows[r].begin()->first; }

// The slot of the glyph drawn last at x (-1: nothing there).
inline int32_t SlotAt(int32_t row, int32_t x) {
    const auto it = g_rows[row].find(x);
    return it == g_rows[row].end() ? -1 : it->second.slot;
}

// A 16-pixel text centred at halfGlyphs from the screen centre: its first glyph's pixel x.
inline int32_t CentredX(int32_t halfGlyphs, const std::string& text) {
    return 320 + halfGlyphs * 8 - static_cast<int32_t>(text.size()) * 8;
}

// The highlight colour of the frame just run (SceneFrame has counted it already).
inline int32_t BlinkSlot() { return kWhite + 1 + (SceneFrame - 1) / 4 % 6; }

inline int CountPlays(uint16_t slot) { return std::count(g_played.begin(), g_played.end(), slot); }

class OptionScreens : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        g_played.clear();
        SetSpriteTrace(RecordSprite);
        SetWaveTrace([](WaveOp op, uint16_t slot, int32_t, int32_t) {
            if (op == WaveOpPlay) g_played.push_back(slot);
        });
        // The close path as the process entry sets it up.
        Frame.window = 1;
        Frame.quitKey = kEscape;
        SetCloseCallback(CloseCallback);
    }
    // Choose `item` on the live menu, then run the leave phase and the screen's slide-in.
    void OpenScreen(int32_t item, int32_t scene) {
        EnterOptionMenu(SceneKeyConfig);
        for (int32_t i = 0; i < item; ++i) Tap(kDown);
        Press(kKey1);
        RunFrames(20);
        ASSERT_EQ(SceneId, scene);
        RunFrames(20);
        ASSERT_EQ(SceneEnterTimer, 0);
        g_played.clear();
    }
    void Escape() { WindowProcedure(PlatformMessage{MsgKeyDown, kEscape, 0, 0}); RunFrames(); }
};

}  // namespace option_driver
