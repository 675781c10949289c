// The title menu and the mode select, driven frame by frame through the real FrameCallback
// with headless keys: what the player sees (glyph positions and colours), hears (the choice
// and select sounds) and where each choice leads.
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
#include "game/field.h"
#include "options/buttons.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "shell/scene.h"
#include "shell/title.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace fs = std::filesystem;

namespace {

constexpr int kUp = 38;
constexpr int kDown = 40;
constexpr int kKey1 = 'Z';
constexpr int kKey4 = 'C';
constexpr int kKey5 = 'W';
constexpr int kKey6 = 'E';
constexpr int kKey7 = 'Q';
constexpr int kKey8 = 'R';

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
};
std::vector<Sprite> g_sprites;
std::vector<uint16_t> g_waves;

void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                  int32_t right, int32_t bottom) {
    g_sprites.push_back({x, y, slot, left, top, right, bottom});
}

void RecordWave(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay) g_waves.push_back(slot);
}

bool IsFontSlot(uint32_t slot) { return (slot >= 1 && slot <= 14) || (slot >= 31 && slot <= 44); }
int32_t GlyphSize(uint32_t slot) { return slot <= 14 ? 16 : 32; }

// One text row as drawn: the characters in x order, the first x and the font slots used.
struct Row {
    std::string text;
    int32_t firstX = 9999;
    std::vector<uint32_t> slots;
};

Row RowAt(int32_t y) {
    std::vector<Sprite> glyphs;
    for (const Sprite& s : g_sprites) {
        if (s.y == y && IsFontSlot(s.slot)) glyphs.push_back(s);
    }
    std::stable_sort(glyphs.begin(), glyphs.end(),
                     [](const Sprite& a, const Sprite& b) { return a.x < b.x; });
    Row row;
    for (const Sprite& g : glyphs) {
        const int32_t w = GlyphSize(g.slot);
        row.text += static_cast<char>(32 + g.left / w + 16 * (g.top / w));
        row.firstX = std::min(row.firstX, g.x);
        if (std::find(row.slots.begin(), row.slots.end(), g.slot) == row.slots.end())
            row.slots.push_back(g.slot);
    }
    return row;
}

// x of a centred 16-pixel text `offset` half-glyphs off the middle.
int32_t CentredX(const std::string& text, int32_t offset) {
    return offset * 8 + 320 - static_cast<int32_t>(text.size()) * 8;
}

// SceneFrame as the last frame's draw saw it (the frame counts it up at its end).
int32_t DrawnFrame() { return SceneFrame - 1; }

void Frame1() {
    g_sprites.clear();
    FrameCallback();
}

void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame1();
}

// Down for one frame, then up; the frame after a release cannot start a new press.
void Tap(int key) {
    HeadlessSetKey(key, true);
    Frame1();
    HeadlessSetKey(key, false);
}

// A tap and the two frames after it, so that the key is idle again and the next tap of it
// reads as a new press.
void Step(int key) {
    Tap(key);
    Frames(2);
}

class Menus : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        g_sprites.clear();
        g_waves.clear();
        SetSpriteTrace(RecordSprite);
        SetWaveTrace(RecordWave);
    }
    void TearDown() override {
        SetSpriteTrace(nullptr);
        SetWaveTrace(nullptr);
    }
    // The title entered as the credits hand over to it: inside a frame, drawn in that frame.
    static void EnterTitleFromCredits() {
        SceneId = SceneLoading;
        SceneEnterTimer = 0;
        SceneLeaveTimer = 1;
        Frame1();
        ASSERT_EQ(SceneId, SceneTitle);
    }
    static void IdleTitle() {
        EnterTitleFromCredits();
        Frames(20);
        ASSERT_EQ(SceneEnterTimer, 0);
    }
    static void IdleModeSelect() {
        IdleTitle();
        Tap(kKey1);
        Frames(20);
        ASSERT_EQ(SceneId, SceneModeSelect);
        Frames(20);
        ASSERT_EQ(SceneEnterTimer, 0);
        g_waves.clear();
    }
};

struct TitleItem {
    const char* text;
    int32_t y;
    int32_t side;   // +1 leaves right, -1 left
};
const TitleItem kTitleItems[] = {
    {"GAME START", 272, +1}, {"RANKING", 304, -1}, {"OPTION", 336, +1}, {"EXIT", 368, -1}};

}  // namespace

// ---- Title ----

TEST_F(Menus, TitleSlidesInFromAlternateSidesWhileFadingIn) {
    EnterTitleFromCredits();
    for (int frame = 0; frame <= 21; ++frame) {
        SCOPED_TRACE(frame);
        if (frame > 0) Frame1();
        const int32_t enter = std::max(0, 20 - frame);
        ASSERT_EQ(SceneEnterTimer, enter);
        // The background comes first, whole, then the logo.
        ASSERT_FALSE(g_sprites.empty());
        EXPECT_EQ(g_sprites[0].slot, 241u + static_cast<uint32_t>(BackgroundIndex));
        EXPECT_EQ(g_sprites[0].x, 0);
        EXPECT_EQ(g_sprites[0].right, -1);
        EXPECT_EQ(g_sprites[0].bottom, -1);
        EXPECT_EQ(RowAt(96).text, "+RAIL");
        EXPECT_EQ(RowAt(96).firstX, 240);
        for (const TitleItem& item : kTitleItems) {
            const Row row = RowAt(item.y);
            EXPECT_EQ(row.text, item.text);
            EXPECT_EQ(row.firstX, CentredX(item.text, -item.side * enter));
        }
        // Fade-in from black: one step per frame of the slide.
        EXPECT_EQ(FadeLevel, std::min(frame + 1, 20));
    }
}

TEST_F(Menus, TitleHighlightCyclesEveryFourFramesWhenIdle) {
    IdleTitle();
    for (int frame = 21; frame < 60; ++frame) {
        SCOPED_TRACE(frame);
        Frame1();
        // SceneFrame was 0 in the entering frame.
        const uint32_t lit = 1u + static_cast<uint32_t>((frame / 4) % 6 + 1);
        EXPECT_EQ(RowAt(272).slots, std::vector<uint32_t>{lit});
        EXPECT_EQ(RowAt(304).slots, std::vector<uint32_t>{1u});
        EXPECT_EQ(RowAt(368).firstX, CentredX("EXIT", 0));
    }
}

TEST_F(Menus, TitleVersionReadsVer003) {
    IdleTitle();
    std::vector<Sprite> version;
    for (const Sprite& s : g_sprites) {
        if (s.slot == 8) version.push_back(s);
    }
    // "VER  ." in cells, then the major digit over the second blank and two minor digits.
    struct Expected {
        int32_t x;
        char ch;
    } expected[] = {{512, 'V'}, {528, 'E'}, {544, 'R'}, {560, ' '}, {576, ' '},
                    {592, '.'}, {576, '0'}, {608, '0'}, {624, '3'}};
    ASSERT_EQ(version.size(), std::size(expected));
    for (size_t i = 0; i < version.size(); ++i) {
        SCOPED_TRACE(i);
        const int32_t g = expected[i].ch - 32;
        EXPECT_EQ(version[i].x, expected[i].x);
        EXPECT_EQ(version[i].y, 464);
        EXPECT_EQ(version[i].left, (g % 16) * 16);
        EXPECT_EQ(version[i].top, (g / 16) * 16);
        EXPECT_EQ(version[i].right - version[i].left, 16);
    }
    // What the player reads: each later glyph covers whatever lay at its place.
    std::map<int32_t, char> seen;
    for (size_t i = 0; i < version.size(); ++i) seen[expected[i].x] = expected[i].ch;
    std::string text;
    for (const auto& [x, ch] : seen) text += ch;
    EXPECT_EQ(text, "VER 0.03");
}

TEST_F(Menus, TitleCursorStopsAtBothEndsSilently) {
    IdleTitle();
    Step(kUp);                       // on GAME START: nothing
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_TRUE(g_waves.empty());
    for (int step = 1; step <= 3; ++step) {
        Step(kDown);
        EXPECT_EQ(MenuCursor, step);
    }
    EXPECT_EQ(g_waves, std::vector<uint16_t>(3, WaveSlotChoice));
    g_waves.clear();
    Step(kDown);                     // on EXIT: nothing
    EXPECT_EQ(MenuCursor, 3);
    EXPECT_TRUE(g_waves.empty());
    // UP and DOWN together: a step each way, a sound for each.
    MenuCursor = 1;
    HeadlessSetKey(kUp, true);
    HeadlessSetKey(kDown, true);
    Frame1();
    EXPECT_EQ(MenuCursor, 1);
    EXPECT_EQ(g_waves, std::vector<uint16_t>(2, WaveSlotChoice));
}

TEST_F(Menus, TitleAcceptsAChoiceOnlyOnceTheSlideInIsOver) {
    // Pressed in each frame of the slide-in: ignored, and the key is then held, not pressed.
    for (int pressFrame = 1; pressFrame <= 20; ++pressFrame) {
        SCOPED_TRACE(pressFrame);
        FreshProcess();
        SetWaveTrace(RecordWave);
        g_waves.clear();
        EnterTitleFromCredits();
        Frames(pressFrame - 1);
        HeadlessSetKey(kKey1, true);
        HeadlessSetKey(kDown, true);
        Frames(21 - pressFrame + 1);
        EXPECT_EQ(SceneLeaveTimer, 0);
        EXPECT_EQ(MenuCursor, 0);
        EXPECT_TRUE(g_waves.empty());
    }
    // The first frame after the slide-in takes it.
    FreshProcess();
    SetWaveTrace(RecordWave);
    g_waves.clear();
    EnterTitleFromCredits();
    Frames(20);
    HeadlessSetKey(kKey4, true);
    Frame1();
    EXPECT_EQ(SceneLeaveTimer, 20);
    EXPECT_EQ(g_waves, std::vector<uint16_t>{WaveSlotSelect});
}

TEST_F(Menus, TitleLeavePhaseSlidesTheOthersOutAndIgnoresButtons) {
    IdleTitle();
    Step(kDown);
    g_waves.clear();
    ASSERT_EQ(MenuCursor, 1);                 // RANKING
    Tap(kKey1);
    for (int32_t leave = 20; leave >= 1; --leave) {
        SCOPED_TRACE(leave);
        ASSERT_EQ(SceneId, SceneTitle);
        ASSERT_EQ(SceneLeaveTimer, leave);
        for (int item = 0; item < 4; ++item) {
            const Row row = RowAt(kTitleItems[item].y);
            if (item == 1) {
                EXPECT_EQ(row.firstX, CentredX("RANKING", 0));
                EXPECT_EQ(row.slots, std::vector<uint32_t>{1u + DrawnFrame() % 6 + 1});
            } else {
                EXPECT_EQ(row.firstX,
                          CentredX(kTitleItems[item].text, kTitleItems[item].side * (20 - leave) * 2));
                EXPECT_EQ(row.slots, std::vector<uint32_t>{1u});
            }
        }
        // Buttons in the leave phase change nothing.
        HeadlessSetKey(leave % 2 ? kDown : kUp, true);
        HeadlessSetKey(kKey1, leave % 2 == 0);
        Frame1();
        HeadlessSetKey(kDown, false);
        HeadlessSetKey(kUp, false);
    }
    EXPECT_EQ(g_waves, std::vector<uint16_t>{WaveSlotSelect});   // the choice's alone
    // The 20th frame after the choice enters the ranking, nothing highlighted.
    EXPECT_EQ(SceneId, SceneRankingFromTitle);
    EXPECT_EQ(NewRank, 10);
    EXPECT_EQ(SceneEnterTimer, 40);
}

TEST_F(Menus, GameStartEntersTheModeSelect) {
    IdleTitle();
    StartLevel = 35;
    const int32_t background = BackgroundIndex;
    Tap(kKey1);
    Frames(19);
    EXPECT_EQ(SceneId, SceneTitle);
    const int32_t frameBefore = SceneFrame;
    Frame1();
    EXPECT_EQ(SceneId, SceneModeSelect);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(StartLevel, 0);
    EXPECT_EQ(BackgroundIndex, background);
    EXPECT_EQ(SceneFrame, frameBefore + 1);   // the count goes on
    // Drawn in the same frame, fully off to the sides.
    EXPECT_EQ(SceneEnterTimer, 20);
    EXPECT_EQ(RowAt(128).firstX, CentredX("GAME START", -40));
    EXPECT_EQ(FadeLevel, 0);
}

TEST_F(Menus, OptionEntersTheOptionMenuInTheTwentiethFrame) {
    IdleTitle();
    Step(kDown);
    Step(kDown);
    ASSERT_EQ(MenuCursor, 2);
    Tap(kKey1);
    Frames(19);
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(SceneLeaveTimer, 1);
    Frame1();
    EXPECT_EQ(SceneId, SceneOptionMenu);
    EXPECT_EQ(SceneLeaveTimer, 0);
}

// The real program: credits, title, three steps down, EXIT; it saves and ends.
namespace {
struct ExitScript {
    int frames = 0;
    int choiceFrame = -1;
    int lastFrame = 0;
    bool tapped = false;
    int wait = 0;
    int32_t waveSelects = 0;
};
ExitScript g_exit;

void CountSelects(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay && slot == WaveSlotSelect) ++g_exit.waveSelects;
}

void DriveToExit() {
    ++g_exit.frames;
    g_exit.lastFrame = g_exit.frames;
    if (g_exit.frames > 2000) PlatformPostQuit();   // never reached when EXIT works
    if (SceneId == SceneTitle && SceneLeaveTimer == 20 && g_exit.choiceFrame < 0)
        g_exit.choiceFrame = g_exit.frames;
    if (g_exit.tapped) {
        HeadlessSetKey(kDown, false);
        HeadlessSetKey(kKey1, false);
        g_exit.tapped = false;
        g_exit.wait = 1;   // a released key needs one more frame before a new press
        return;
    }
    if (g_exit.wait > 0) {
        --g_exit.wait;
        return;
    }
    if (SceneId != SceneTitle || SceneEnterTimer != 0 || SceneLeaveTimer != 0) return;
    HeadlessSetKey(MenuCursor < 3 ? kDown : kKey1, true);
    g_exit.tapped = true;
}
}  // namespace

TEST(TitleExit, ExitSavesTheDataFilesAndEndsTheProgram) {
    FreshProcess();
    const fs::path dir = fs::path(testing::TempDir()) / "plusrail_title_exit";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path previous = fs::current_path();
    fs::current_path(dir);

    g_exit = ExitScript{};
    SetWaveTrace(CountSelects);
    SetFrameTrace(DriveToExit);
    EXPECT_EQ(RunApplication(), 0);
    SetFrameTrace(nullptr);
    SetWaveTrace(nullptr);

    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(g_exit.waveSelects, 1);
    ASSERT_GT(g_exit.choiceFrame, 0);
    // The choice frame and 19 more, the close in the 20th after it; that frame still ends.
    EXPECT_EQ(g_exit.lastFrame, g_exit.choiceFrame + 20);
    EXPECT_EQ(fs::file_size("config.dat"), 20u);
    EXPECT_EQ(fs::file_size("rank_n.dat"), 440u);
    EXPECT_EQ(fs::file_size("rank_e.dat"), 440u);

    fs::current_path(previous);
    fs::remove_all(dir);
}

// ---- Mode select ----

TEST_F(Menus, ModeSelectSlidesInAtSixteenPixelsAFrame) {
    IdleTitle();
    Tap(kKey1);
    Frames(19);
    for (int32_t enter = 20; enter >= 0; --enter) {
        SCOPED_TRACE(enter);
        Frame1();
        ASSERT_EQ(SceneId, SceneModeSelect);
        ASSERT_EQ(SceneEnterTimer, enter);
        EXPECT_EQ(RowAt(96).text, "+RAIL");
        EXPECT_EQ(RowAt(128).text, "GAME START");
        EXPECT_EQ(RowAt(128).firstX, CentredX("GAME START", -2 * enter));
        EXPECT_EQ(RowAt(272).firstX, CentredX("NORMAL MODE", 2 * enter));
        EXPECT_EQ(RowAt(320).firstX, CentredX("EXPERT MODE", -2 * enter));
        EXPECT_EQ(RowAt(368).text, "RETURN TO MAINMENU");
        EXPECT_EQ(RowAt(368).firstX, CentredX("RETURN TO MAINMENU", 2 * enter));
        // No highlight until the menu is idle.
        const uint32_t lit = 1u + static_cast<uint32_t>((DrawnFrame() / 4) % 6 + 1);
        EXPECT_EQ(RowAt(272).slots, std::vector<uint32_t>{enter > 0 ? 1u : lit});
    }
}

TEST_F(Menus, ModeSelectCursorStopsAtBothEndsSilently) {
    IdleModeSelect();
    Step(kUp);
    EXPECT_EQ(MenuCursor, 0);
    Step(kDown);
    Step(kDown);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(g_waves, std::vector<uint16_t>(2, WaveSlotChoice));
    Step(kDown);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(g_waves.size(), 2u);
}

TEST_F(Menus, HeldButtonsChooseTheStartLevel) {
    struct Case {
        std::vector<int> held;
        int32_t level;
    } cases[] = {
        {{}, 0},
        {{kKey5}, 15},
        {{kKey6}, 25},
        {{kKey5, kKey6}, 35},
        {{kKey7}, 50},
        {{kKey8}, 70},
        {{kKey7, kKey8}, 100},
        {{kKey5, kKey7}, 50},
        {{kKey6, kKey8}, 70},
        {{kKey5, kKey6, kKey7, kKey8}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        FreshProcess();
        IdleModeSelect();
        // Held since a frame before (state 3) counts as well as pressed with the confirm.
        for (size_t i = 0; i < c.held.size(); ++i) {
            HeadlessSetKey(c.held[i], true);
            if (i == 0) Frame1();
        }
        HeadlessSetKey(kKey1, true);
        Frame1();
        EXPECT_EQ(SceneLeaveTimer, 40);
        EXPECT_EQ(StartLevel, c.level);
        for (int key : c.held) HeadlessSetKey(key, false);
        HeadlessSetKey(kKey1, false);
    }
}

TEST_F(Menus, NormalModeWithQAndRStartsAtLevel100AfterTheFortyFrameDissolve) {
    IdleModeSelect();
    HeadlessSetKey(kKey7, true);
    HeadlessSetKey(kKey8, true);
    Tap(kKey1);
    HeadlessSetKey(kKey7, false);
    HeadlessSetKey(kKey8, false);
    EXPECT_EQ(g_waves, std::vector<uint16_t>{WaveSlotSelect});
    for (int32_t leave = 40; leave >= 1; --leave) {
        SCOPED_TRACE(leave);
        ASSERT_EQ(SceneId, SceneModeSelect);
        ASSERT_EQ(SceneLeaveTimer, leave);
        // NORMAL MODE stays, flashing every frame; the others slide out 8 pixels a frame.
        EXPECT_EQ(RowAt(272).firstX, CentredX("NORMAL MODE", 0));
        EXPECT_EQ(RowAt(272).slots, std::vector<uint32_t>{1u + DrawnFrame() % 6 + 1});
        EXPECT_EQ(RowAt(320).firstX, CentredX("EXPERT MODE", 40 - leave));
        EXPECT_EQ(RowAt(368).firstX, CentredX("RETURN TO MAINMENU", leave - 40));
        // Clear until L = 20, then one dissolve step per frame down to black.
        if (leave > 20) {
            EXPECT_EQ(FadeLevel, 0);   // untouched since the entry; not drawn with
        } else {
            EXPECT_EQ(FadeLevel, leave - 1);
        }
        Frame1();
    }
    EXPECT_EQ(SceneId, SceneGameNormal);
    EXPECT_EQ(Game.level, 100);
    EXPECT_EQ(StartLevel, 100);
}

TEST_F(Menus, ExpertModeDissolvesBackToIdleAndKeepsItsStartLevel) {
    IdleModeSelect();
    Step(kDown);
    HeadlessSetKey(kKey5, true);
    Tap(kKey1);
    HeadlessSetKey(kKey5, false);
    EXPECT_EQ(StartLevel, 15);
    for (int32_t leave = 40; leave >= 1; --leave) {
        SCOPED_TRACE(leave);
        ASSERT_EQ(SceneLeaveTimer, leave);
        // EXPERT MODE slides out too, flashing.
        EXPECT_EQ(RowAt(272).firstX, CentredX("NORMAL MODE", leave - 40));
        EXPECT_EQ(RowAt(320).firstX, CentredX("EXPERT MODE", 40 - leave));
        EXPECT_EQ(RowAt(320).slots, std::vector<uint32_t>{1u + DrawnFrame() % 6 + 1});
        EXPECT_EQ(RowAt(368).firstX, CentredX("RETURN TO MAINMENU", leave - 40));
        if (leave <= 20) {
            EXPECT_EQ(FadeLevel, leave - 1);
        }
        Frame1();
    }
    // Idle again on EXPERT MODE, items back in place, no further fade step.
    EXPECT_EQ(SceneId, SceneModeSelect);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(MenuCursor, 1);
    EXPECT_EQ(RowAt(320).firstX, CentredX("EXPERT MODE", 0));
    EXPECT_EQ(FadeLevel, 0);

    // NORMAL MODE without buttons keeps the 15.
    Step(kUp);
    Tap(kKey1);
    Frames(40);
    EXPECT_EQ(SceneId, SceneGameNormal);
    EXPECT_EQ(Game.level, 15);
}

TEST_F(Menus, ReturnToMainMenuSlidesOutFastWithoutFadeAndShowsTheTitleAtOnce) {
    IdleModeSelect();
    const int32_t background = BackgroundIndex;
    Step(kDown);
    Step(kDown);
    FadeLevel = 7;   // any step of a fade would move it
    const int32_t fade = FadeLevel;
    StartLevel = 70;
    HeadlessSetKey(kKey7, true);   // no StartLevel on the way back
    Tap(kKey1);
    HeadlessSetKey(kKey7, false);
    EXPECT_EQ(StartLevel, 70);
    for (int32_t leave = 20; leave >= 1; --leave) {
        SCOPED_TRACE(leave);
        ASSERT_EQ(SceneLeaveTimer, leave);
        EXPECT_EQ(RowAt(272).firstX, CentredX("NORMAL MODE", (leave - 20) * 2));
        EXPECT_EQ(RowAt(320).firstX, CentredX("EXPERT MODE", (20 - leave) * 2));
        EXPECT_EQ(RowAt(368).firstX, CentredX("RETURN TO MAINMENU", 0));
        EXPECT_EQ(RowAt(368).slots, std::vector<uint32_t>{1u + DrawnFrame() % 6 + 1});
        EXPECT_EQ(FadeLevel, fade);
        Frame1();
    }
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(BackgroundIndex, background);
    EXPECT_EQ(SceneFrame, 1);
    EXPECT_EQ(FadeLevel, fade);
    // The title is idle at once: items in place, GAME START lit.
    EXPECT_EQ(RowAt(272).firstX, CentredX("GAME START", 0));
    EXPECT_NE(RowAt(272).slots, std::vector<uint32_t>{1u});
}

TEST_F(Menus, ModeSelectIgnoresButtonsDuringSlideInAndLeave) {
    IdleTitle();
    Tap(kKey1);
    Frames(20);
    ASSERT_EQ(SceneId, SceneModeSelect);
    g_waves.clear();
    // Every frame of the slide-in: a fresh DOWN or confirm, each ignored.
    for (int frame = 0; frame < 20; ++frame) {
        const int key = frame % 3 == 0 ? kKey4 : kDown;
        if (frame % 2 == 0) {
            HeadlessSetKey(key, true);
            Frame1();
            HeadlessSetKey(key, false);
        } else {
            Frame1();
        }
    }
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_TRUE(g_waves.empty());
    // Once idle it is taken (a frame for the last tap's release to settle).
    Frame1();
    Tap(kKey4);
    EXPECT_EQ(SceneLeaveTimer, 40);
    Step(kDown);
    Tap(kKey1);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(SceneLeaveTimer, 36);
    EXPECT_EQ(g_waves, std::vector<uint16_t>{WaveSlotSelect});
}
