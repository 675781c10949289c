// The scene machine driven as the frame drives it: the start-up, the credits with their
// timeline into the title, the per-frame dispatch, the back handling of close requests, and
// the catalogue the credits load.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "frame/bitmap_slots.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "options/buttons.h"
#include "platform/headless/headless.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/scene_table.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace fs = std::filesystem;

namespace {

constexpr int kShift = 16;

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
};
std::vector<Sprite> g_sprites;

void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                  int32_t right, int32_t bottom) {
    g_sprites.push_back({x, y, slot, left, top, right, bottom});
}

// The program runs in a fresh working directory of its own: no data files, no assets.
class SceneMachine : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        static std::atomic<int> counter{0};
        dir_ = fs::path(testing::TempDir()) /
               ("plusrail_scene_" + std::to_string(counter++) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        oldDir_ = fs::current_path();
        fs::current_path(dir_);
        g_sprites.clear();
        SetSpriteTrace(RecordSprite);
    }
    void TearDown() override {
        SetSpriteTrace(nullptr);
        fs::current_path(oldDir_);
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
    fs::path oldDir_;
};

// The 16-pixel glyphs drawn on one screen row, read back as text between two x positions.
std::string TextAt(int32_t y, int32_t fromX = 0, int32_t toX = 640, uint32_t slot = 1) {
    std::map<int32_t, char> glyphs;
    for (const Sprite& s : g_sprites) {
        if (s.slot != slot || s.y != y || s.x < fromX || s.x >= toX) continue;
        glyphs[s.x] = static_cast<char>(32 + s.left / 16 + 16 * (s.top / 16));
    }
    std::string text;
    for (const auto& [x, c] : glyphs) text += c;
    return text;
}

int32_t FirstGlyphX(int32_t y) {
    int32_t x = 640;
    for (const Sprite& s : g_sprites) {
        if (s.y == y) x = std::min(x, s.x);
    }
    return x;
}

// The generator worked out here on its own, to check the program's draws against.
struct Lcg {
    uint32_t state;
    int32_t Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    }
};

// A seed whose first draw is `draw`, found by search.
uint32_t SeedWithFirstDraw(int32_t draw) {
    for (uint32_t seed = 0; seed < (1u << 24); ++seed) {
        if (Lcg{seed}.Next() == draw) return seed;
    }
    ADD_FAILURE() << "no seed found";
    return 0;
}

void PutLe(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int b = 0; b < size; ++b) bytes.push_back(static_cast<uint8_t>(value >> (8 * b)));
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A 24-bit picture `width` pixels wide and one high, so each slot's file can be told apart.
void WriteBmp(const fs::path& path, int32_t width) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> bytes = {'B', 'M'};
    PutLe(bytes, 54 + rowBytes, 4);
    PutLe(bytes, 0, 4);
    PutLe(bytes, 54, 4);
    PutLe(bytes, 40, 4);
    PutLe(bytes, static_cast<uint32_t>(width), 4);
    PutLe(bytes, 1, 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, 24, 2);
    for (int i = 0; i < 6; ++i) PutLe(bytes, 0, 4);
    for (uint32_t i = 0; i < rowBytes; ++i) bytes.push_back(static_cast<uint8_t>(i));
    WriteBytes(path, bytes);
}

// A short 8-bit mono PCM sound.
void WriteWav(const fs::path& path) {
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
    PutLe(bytes, 36 + 8, 4);
    for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<uint8_t>(c));
    PutLe(bytes, 16, 4);
    PutLe(bytes, 1, 2);        // PCM
    PutLe(bytes, 1, 2);        // mono
    PutLe(bytes, 11025, 4);
    PutLe(bytes, 11025, 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, 8, 2);
    for (char c : std::string("data")) bytes.push_back(static_cast<uint8_t>(c));
    PutLe(bytes, 8, 4);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(128 + i));
    WriteBytes(path, bytes);
}

struct PictureRow {
    int slot;
    std::string path;
    int32_t colourKey;
};

// The picture catalogue as the screens rely on it.
std::vector<PictureRow> FontRows() {
    std::vector<PictureRow> rows;
    const char* colours = "wrygcbp";
    struct Set {
        int firstSlot;
        const char* folder;
        const char* stem;
    } sets[] = {{1, "font_1", "font_1"}, {8, "font_2", "font_2"},
                {31, "font_1", "font_3"}, {38, "font_2", "font_4"}};
    for (const Set& set : sets) {
        for (int c = 0; c < 7; ++c) {
            rows.push_back({set.firstSlot + c,
                            std::string("bmp/") + set.folder + "/" + set.stem + colours[c] + ".bmp",
                            1});
        }
    }
    return rows;
}

std::vector<PictureRow> GameRows() {
    std::vector<PictureRow> rows;
    int slot = 15;
    for (const char* name : {"frame", "line_x", "line_y", "medal_0", "medal_1", "medal_2",
                             "medal_3"}) {
        rows.push_back({slot++, std::string("bmp/game/") + name + ".bmp", 1});
    }
    for (int i = 0; i <= 12; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "bmp/back/back%02d.bmp", i);
        rows.push_back({240 + i, path, 0});
    }
    return rows;
}

std::vector<std::string> WavePaths() {
    std::vector<std::string> paths;
    for (const char* name : {"erasing", "linefall", "lineset", "newline1", "newline26",
                             "newline3", "newline47", "newline5", "prerotate", "chissoku",
                             "levelchange", "choice", "select", "pinch", "medal"}) {
        paths.push_back(std::string("wave/") + name + ".wav");
    }
    return paths;
}

bool HasDebugLineWith(const std::string& part) {
    for (const std::string& line : HeadlessRecorded().debugLines) {
        if (line.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

// ---- The random generator the scenes draw backgrounds from ----

TEST(Random, DrawsFollowTheLinearCongruentialGenerator) {
    FreshProcess();
    SeedRandom(1);
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (int32_t value : expected) EXPECT_EQ(DrawRandom(), value);

    Lcg lcg{0xDEADBEEFu};
    SeedRandom(0xDEADBEEFu);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(DrawRandom(), lcg.Next());
}

TEST(Random, RandomUpToGivesOneMoreOnlyForTheTopDraw) {
    FreshProcess();
    SeedRandom(SeedWithFirstDraw(32767));
    EXPECT_EQ(RandomUpTo(11), 12);
    SeedRandom(SeedWithFirstDraw(32766));
    EXPECT_EQ(RandomUpTo(11), 11);
    SeedRandom(SeedWithFirstDraw(0));
    EXPECT_EQ(RandomUpTo(11), 0);
}

// ---- Start-up ----

TEST_F(SceneMachine, StartupSetsUpTheFrameAndEntersTheCredits) {
    HeadlessSetCalendarSeconds(100003);   // its square wraps round 2^32
    StartupCallback();
    EXPECT_EQ(Frame.targetFrameRate, 60);
    EXPECT_FALSE(HeadlessRecorded().cursorShown);
    EXPECT_EQ(Frame.joystickPolling, 1);
    EXPECT_EQ(Frame.closeCallback, &CloseCallback);
    EXPECT_EQ(SceneId, SceneLoading);
    EXPECT_EQ(SceneFrame, 0);
    EXPECT_EQ(SceneEnterTimer, 200);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(FadeLevel, 0);

    Lcg lcg{100003u * 100003u};
    EXPECT_EQ(DrawRandom(), lcg.Next());
    EXPECT_EQ(DrawRandom(), lcg.Next());
}

TEST_F(SceneMachine, StartupLoadsTheFontsAndTheSavedSettings) {
    LoadSettings();
    Settings.keyConfig = 7;
    Settings.useVram = 0;
    SaveSettings();
    FreshProcess();
    StartupCallback();
    EXPECT_EQ(Settings.keyConfig, 7);
    EXPECT_EQ(Settings.useVram, 0);
    // Only the fonts are asked for before the first frame, every one of them.
    EXPECT_TRUE(HasDebugLineWith("bmp/font_1/font_1w.bmp"));
    EXPECT_TRUE(HasDebugLineWith("bmp/font_2/font_4p.bmp"));
    EXPECT_FALSE(HasDebugLineWith("bmp/game/"));
    EXPECT_FALSE(HasDebugLineWith("wave/"));
}

// ---- The credits ----

TEST_F(SceneMachine, CreditsShowTheFiveLinesCentred) {
    StartupCallback();
    FrameCallback();
    struct Line {
        int32_t row;
        const char* text;
    } lines[] = {{9, "CREATED BY"},
                 {13, "system:Vexto"},
                 {15, "&"},
                 {17, "Quorvel club"},
                 {21, "NOW LOADING"}};
    for (const Line& line : lines) {
        SCOPED_TRACE(line.text);
        int32_t y = line.row * 16;
        EXPECT_EQ(TextAt(y, 0, 416), line.text);
        int32_t length = static_cast<int32_t>(std::string(line.text).size());
        EXPECT_EQ(FirstGlyphX(y), 320 - length * 8);
    }
    for (const Sprite& s : g_sprites) EXPECT_EQ(s.slot, 1u);
}

TEST_F(SceneMachine, LoadingDotsStepEveryFifteenFrames) {
    StartupCallback();
    const char* dots[4] = {"", ".  ", ".. ", "..."};
    for (int frame = 0; frame < 120; ++frame) {
        g_sprites.clear();
        FrameCallback();
        SCOPED_TRACE(frame);
        EXPECT_EQ(TextAt(336, 416), dots[(frame / 15) % 4]);
    }
}

TEST_F(SceneMachine, CreditsTimelineLoadsInFrame199AndEntersTheTitleInFrame219) {
    StartupCallback();
    HeadlessClearRecord();
    for (int call = 0; call <= 219; ++call) {
        SCOPED_TRACE(call);
        g_sprites.clear();
        FrameCallback();
        if (call < 199) {
            EXPECT_EQ(SceneEnterTimer, 199 - call);
            EXPECT_FALSE(HasDebugLineWith("bmp/game/frame.bmp"));
            EXPECT_EQ(FadeLevel, std::min(call + 1, 20));
        } else if (call == 199) {
            // Every picture and sound is asked for in this one frame, and the fade-out starts.
            EXPECT_TRUE(HasDebugLineWith("bmp/game/frame.bmp"));
            EXPECT_TRUE(HasDebugLineWith("bmp/back/back12.bmp"));
            EXPECT_EQ(SceneLeaveTimer, 20);
            EXPECT_EQ(FadeLevel, 19);
        } else if (call < 219) {
            EXPECT_EQ(SceneId, SceneLoading);
            EXPECT_EQ(SceneLeaveTimer, 219 - call);
            EXPECT_EQ(TextAt(144), "CREATED BY");
        } else {
            EXPECT_EQ(SceneId, SceneTitle);
            EXPECT_EQ(SceneEnterTimer, 20);
            EXPECT_EQ(SceneLeaveTimer, 0);
            EXPECT_EQ(SceneFrame, 1);
            EXPECT_EQ(MenuCursor, 0);
            // The title's own draw runs in this frame, not the credits'.
            EXPECT_NE(TextAt(144), "CREATED BY");
        }
        if (call == 218) {
            EXPECT_EQ(FadeLevel, 0);   // the fade-out ends on black
        }
    }
}

TEST_F(SceneMachine, TheTopDrawAtTheTitleGivesTheThirteenthBackground) {
    // A start time whose seed makes the title's background draw the one top value.
    int64_t seconds = -1;
    for (int64_t s = 1; s < (1 << 24) && seconds < 0; ++s) {
        uint32_t t = static_cast<uint32_t>(s);
        if (Lcg{t * t}.Next() == 32767) seconds = s;
    }
    ASSERT_GE(seconds, 0);
    HeadlessSetCalendarSeconds(seconds);
    StartupCallback();
    for (int call = 0; call <= 219; ++call) FrameCallback();
    ASSERT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(BackgroundIndex, 12);
}

// ---- The per-frame dispatch ----

TEST_F(SceneMachine, AnIdWithoutASceneOnlyCountsTheFrame) {
    for (int32_t id : {7, 102, 12345, -2}) {
        SCOPED_TRACE(id);
        FreshProcess();
        SetSpriteTrace(RecordSprite);
        g_sprites.clear();
        SceneId = id;
        SceneFrame = 41;
        HeadlessSetKey(38, true);   // UP
        FrameCallback();
        EXPECT_EQ(SceneId, id);
        EXPECT_EQ(SceneFrame, 42);
        EXPECT_TRUE(g_sprites.empty());
        EXPECT_EQ(ButtonLatch.up, 2);   // the buttons are latched all the same
        EXPECT_EQ(FindScene(id), nullptr);
    }
}

TEST_F(SceneMachine, FrameCountStartsOverInsteadOfOverflowing) {
    SceneId = 12345;
    SceneFrame = INT32_MAX;
    FrameCallback();
    EXPECT_EQ(SceneFrame, 0);
}

// ---- Entering the title ----

TEST_F(SceneMachine, EnterTitleFromEachScene) {
    struct Case {
        int32_t from;
        bool fullEntry;     // fade-in and a new background
        int32_t cursor;
    } cases[] = {{SceneModeSelect, false, 0}, {SceneOptionMenu, false, 2},
                 {SceneLoading, true, 0},     {SceneTitle, true, 0},
                 {SceneGameNormal, true, 0},  {SceneNameEntry, true, 0},
                 {SceneKeyTest, true, 0},     {SceneRankingAfterEntry, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        FreshProcess();
        SeedRandom(77);
        SetFade(1);
        BackgroundIndex = 5;
        SceneFrame = 300;
        SceneEnterTimer = 9;
        SceneLeaveTimer = 4;
        EnterTitle(c.from);
        EXPECT_EQ(SceneId, SceneTitle);
        EXPECT_EQ(SceneFrame, 0);
        EXPECT_EQ(SceneLeaveTimer, 0);
        EXPECT_EQ(MenuCursor, c.cursor);
        if (c.fullEntry) {
            Lcg lcg{77};
            EXPECT_EQ(BackgroundIndex, lcg.Next() * 12 / 32767);
            EXPECT_EQ(SceneEnterTimer, 20);
            EXPECT_EQ(FadeLevel, 0);
        } else {
            EXPECT_EQ(BackgroundIndex, 5);
            EXPECT_EQ(SceneEnterTimer, 0);
            EXPECT_EQ(FadeLevel, 20);
        }
    }
}

// ---- Close requests ----

TEST_F(SceneMachine, EscapeGoesOneLevelBackAndQuitsOnlyFromTitleOrCredits) {
    struct Case {
        int32_t scene;
        int32_t result;
        int32_t sceneAfter;
        bool saves;
    } cases[] = {
        {SceneLoading, 1, SceneLoading, true},
        {SceneTitle, 1, SceneTitle, true},
        {SceneModeSelect, 0, SceneTitle, false},
        {SceneOptionMenu, 0, SceneTitle, false},
        {SceneGameNormal, 0, SceneTitle, false},
        {SceneNameEntry, 0, SceneTitle, false},
        {SceneRankingFromTitle, 0, SceneTitle, false},
        {SceneRankingAfterEntry, 0, SceneTitle, false},
        // The option sub-screens stay until the option menu takes them back.
        {SceneKeyConfig, 0, SceneKeyConfig, false},
        {SceneKeyTest, 0, SceneKeyTest, false},
        {SceneGraphicConfig, 0, SceneGraphicConfig, false},
        {SceneSoundTest, 0, SceneSoundTest, false},
        {7, 0, 7, false},
        {102, 0, 102, false},
        {-5, 0, -5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scene);
        FreshProcess();
        fs::remove("config.dat");
        fs::remove("rank_n.dat");
        fs::remove("rank_e.dat");
        LoadSettings();
        SceneId = c.scene;
        EXPECT_EQ(CloseCallback(), c.result);
        EXPECT_EQ(SceneId, c.sceneAfter);
        EXPECT_EQ(fs::exists("config.dat"), c.saves);
        EXPECT_EQ(fs::exists("rank_n.dat"), c.saves);
        EXPECT_EQ(fs::exists("rank_e.dat"), c.saves);
    }
}

TEST_F(SceneMachine, ShiftAtTheFirstCloseRequestReadsPressedAndQuitsLikeEscape) {
    LoadSettings();
    SceneId = SceneTitle;
    HeadlessSetKey(kShift, true);
    EXPECT_EQ(CloseCallback(), 1);
    EXPECT_TRUE(fs::exists("config.dat"));
}

TEST_F(SceneMachine, ShiftHeldSinceTheLastCloseRequestReentersTheTitle) {
    LoadSettings();
    SceneId = SceneGameNormal;
    HeadlessSetKey(kShift, true);
    EXPECT_EQ(CloseCallback(), 0);      // pressed: plain back to the title
    EXPECT_EQ(SceneId, SceneTitle);

    // Held now: the title is entered afresh instead of quitting, and nothing is saved.
    BackgroundIndex = 99;
    EXPECT_EQ(CloseCallback(), 0);
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(SceneEnterTimer, 20);
    EXPECT_NE(BackgroundIndex, 99);
    EXPECT_FALSE(fs::exists("config.dat"));

    // From an option sub-screen it skips the option menu and gives the full title entry.
    SceneId = SceneKeyTest;
    SetFade(1);
    EXPECT_EQ(CloseCallback(), 0);
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(FadeLevel, 0);
}

TEST_F(SceneMachine, ShiftDownAgainAfterAReleaseAlsoReadsHeld) {
    LoadSettings();
    SceneId = SceneTitle;
    HeadlessSetKey(kShift, true);
    EXPECT_EQ(CloseCallback(), 1);      // pressed
    HeadlessSetKey(kShift, false);
    EXPECT_EQ(CloseCallback(), 1);      // released
    fs::remove("config.dat");
    HeadlessSetKey(kShift, true);
    EXPECT_EQ(CloseCallback(), 0);      // released then down reads held
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_FALSE(fs::exists("config.dat"));
}

// ---- The catalogue ----

TEST_F(SceneMachine, CatalogueAsksForEveryFileInSlotOrder) {
    std::vector<std::string> expected;
    for (const PictureRow& row : FontRows()) expected.push_back(row.path);
    for (const PictureRow& row : GameRows()) expected.push_back(row.path);
    for (const std::string& path : WavePaths()) expected.push_back(path);

    LoadFonts();
    LoadGameBitmaps();
    LoadWaves();
    // Each missing file is named once in the debug output, in the order it was asked for.
    std::vector<std::string> named;
    for (const std::string& line : HeadlessRecorded().debugLines) {
        size_t open = line.find('[');
        size_t close = line.find(']');
        if (open != std::string::npos && close != std::string::npos && close > open) {
            named.push_back(line.substr(open + 1, close - open - 1));
        }
    }
    EXPECT_EQ(named, expected);
}

TEST_F(SceneMachine, EachPictureLandsInItsSlotWithItsColourKey) {
    std::vector<PictureRow> rows = FontRows();
    for (const PictureRow& row : GameRows()) rows.push_back(row);
    for (const PictureRow& row : rows) WriteBmp(row.path, row.slot + 1);

    LoadFonts();
    LoadGameBitmaps();
    bool catalogued[kBitmapSlots] = {};
    for (const PictureRow& row : rows) {
        SCOPED_TRACE(row.path);
        const BitmapSlot& slot = BitmapSlots[row.slot];
        ASSERT_NE(slot.surface, nullptr);
        EXPECT_EQ(slot.width, row.slot + 1);
        EXPECT_EQ(std::string(slot.fileName), row.path);
        EXPECT_EQ(slot.useColourKey, row.colourKey);
        catalogued[row.slot] = true;
    }
    for (int slot = 0; slot < kWorkBufferSlot; ++slot) {
        if (!catalogued[slot]) {
            EXPECT_EQ(BitmapSlots[slot].surface, nullptr) << slot;
        }
    }
}

TEST_F(SceneMachine, EachSoundLandsInItsSlot) {
    const std::vector<std::string> paths = WavePaths();
    ASSERT_EQ(CreateSound(), 1);
    // One file at a time: only its own slot may sound.
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        fs::remove_all("wave");
        WriteWav(paths[i]);
        LoadWaves();
        for (uint16_t slot = 0; slot < kWaveSlots; ++slot) {
            EXPECT_EQ(PlayWave(slot, 0), slot == i ? 1 : 0) << slot;
        }
    }
}

TEST_F(SceneMachine, VideoMemoryIsAskedForBeforeTheSavedSettingIsRead) {
    LoadSettings();
    Settings.useVram = 0;
    SaveSettings();
    FreshProcess();
    for (const PictureRow& row : FontRows()) WriteBmp(row.path, 16);
    StartupCallback();
    EXPECT_EQ(Settings.useVram, 0);
    EXPECT_EQ(BitmapSlots[1].videoMemory, 1);
    EXPECT_EQ(BitmapSlots[44].videoMemory, 1);
}
