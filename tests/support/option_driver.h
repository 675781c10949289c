#pragma once
// Drives the option screens frame by frame through the real FrameCallback with keys on the
// headless machine, and reads back what a player sees and hears: the 16-pixel glyphs drawn
// (from their source rectangles) and the sounds played.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "frame/application.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "options/option_menu.h"
#include "platform/headless/headless.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace option_driver {

namespace fs = std::filesystem;


constexpr int kUp = 38, kDown = 40, kLeft = 37, kRight = 39;
constexpr int kKey1 = 'Z', kKey2 = 'S', kKey3 = 'X', kKey4 = 'C';
constexpr int kEscape = 27;

constexpr uint32_t kWhite = 1;   // BitmapSlot of FontId 0; FontId n is in slot n + 1

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top;
};
inline std::vector<Sprite> g_sprites;   // the frame just run

struct Played {
    uint16_t slot;
    int32_t loop;
    int32_t result;
};
inline std::vector<Played> g_played;    // since the test started

inline void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                         int32_t, int32_t) {
    g_sprites.push_back({x, y, slot, left, top});
}

inline void RecordWave(WaveOp op, uint16_t slot, int32_t loop, int32_t result) {
    if (op == WaveOpPlay) g_played.push_back({slot, loop, result});
}

// One frame as the loop runs it: the joysticks, then the game.
inline void RunFrame() {
    g_sprites.clear();
    PollInput();
    FrameCallback();
}

inline void RunFrames(int n) {
    for (int i = 0; i < n; ++i) RunFrame();
}

// The key goes down for one frame (the frame of the press) and is let go.
inline void Press(int key) {
    HeadlessSetKey(key, true);
    RunFrame();
    HeadlessSetKey(key, false);
}

// A press followed by the two frames after which the key reads idle again.
inline void Tap(int key) {
    Press(key);
    RunFrames(2);
}

// A 16-pixel glyph of the frame just run, at half-glyph position x of the text row.
struct Glyph {
    char ch;
    uint32_t slot;
};
inline std::map<int32_t, Glyph> RowGlyphs(int32_t row) {
    std::map<int32_t, Glyph> glyphs;
    for (const Sprite& s : g_sprites) {
        if (s.y != row * 16 || s.slot < 1 || s.slot > 14) continue;
        // Later draws cover earlier ones at the same place.
        glyphs[s.x] = {static_cast<char>(32 + s.left / 16 + 16 * (s.top / 16)), s.slot};
    }
    return glyphs;
}

// The text of a row between two pixel positions; a missing glyph reads as a space.
inline std::string TextOf(int32_t row, int32_t fromX = -1000, int32_t toX = 2000) {
    std::string text;
    int32_t last = 0;
    for (const auto& [x, g] : RowGlyphs(row)) {
        if (x < fromX || x >= toX) continue;
        if (!text.empty()) text.append(std::max(0, (x - last) / 16 - 1), ' ');
        text += g.ch;
        last = x;
    }
    return text;
}

inline int32_t FirstX(int32_t row) {
    const auto glyphs = RowGlyphs(row);
    return glyphs.empty() ? 9999 : glyphs.begin()->first;
}

// The slot of the glyph drawn last at the first position of a row (-1: nothing there).
inline int32_t SlotAt(int32_t row, int32_t x) {
    const auto glyphs = RowGlyphs(row);
    auto it = glyphs.find(x);
    return it == glyphs.end() ? -1 : static_cast<int32_t>(it->second.slot);
}

inline int32_t FirstSlot(int32_t row) { return SlotAt(row, FirstX(row)); }

// Placement 4 of a 16-pixel text: its first glyph's pixel x.
inline int32_t CentredX(int32_t halfGlyphs, const std::string& text) {
    return 320 + halfGlyphs * 8 - static_cast<int32_t>(text.size()) * 8;
}

// The highlight colours of the frame just run (SceneFrame has counted it already).
inline int32_t BlinkSlot() { return static_cast<int32_t>(kWhite) + 1 + (SceneFrame - 1) / 4 % 6; }
inline int32_t FlashSlot() { return static_cast<int32_t>(kWhite) + 1 + (SceneFrame - 1) % 6; }

inline int CountPlays(uint16_t slot) {
    return static_cast<int>(std::count_if(g_played.begin(), g_played.end(),
                                          [slot](const Played& p) { return p.slot == slot; }));
}

class OptionScreens : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        static std::atomic<int> counter{0};
        dir_ = fs::path(testing::TempDir()) / ("plusrail_options_" + std::to_string(counter++));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        oldDir_ = fs::current_path();
        fs::current_path(dir_);
        g_sprites.clear();
        g_played.clear();
        SetSpriteTrace(RecordSprite);
        SetWaveTrace(RecordWave);
        // The frame's close path as the process entry sets it up.
        Frame.window = 1;
        Frame.quitKey = kEscape;
        SetCloseCallback(CloseCallback);
    }
    void TearDown() override {
        SetSpriteTrace(nullptr);
        SetWaveTrace(nullptr);
        fs::current_path(oldDir_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // The option menu, live, with the cursor on `item`.
    void LiveMenuAt(int32_t item) {
        EnterOptionMenu(SceneKeyConfig);
        for (int32_t i = 0; i < item; ++i) Tap(kDown);
        ASSERT_EQ(MenuCursor, item);
        g_played.clear();
    }
    // Choose `item` and run the leave phase into its screen; then past the screen's slide-in.
    void OpenScreen(int32_t item, int32_t scene) {
        LiveMenuAt(item);
        Press(kKey1);
        RunFrames(20);
        ASSERT_EQ(SceneId, scene);
        ASSERT_EQ(SceneEnterTimer, 20);
        RunFrames(20);
        ASSERT_EQ(SceneEnterTimer, 0);
        g_played.clear();
    }
    void Escape() {
        WindowProcedure(PlatformMessage{MsgKeyDown, kEscape, 0, 0});
        RunFrame();
    }
    fs::path dir_;
    fs::path oldDir_;
};

}  // namespace option_driver
