// The scene machine driven as the frame drives it: the start-up, the credits with their
// timeline into the title, the per-frame dispatch, the back handling of close requests, and
// the catalogue the credits load.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "frame/bitmap_slots.h"
#include "frame/frame.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "platform/keys.h"
#include "scenes/callbacks.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/fresh.h"
#include "support/sprite_log.h"
#include "support/work_dir.h"

namespace fs = std::filesystem;

namespace {

// The program runs in a fresh working directory of its own: no data files, no assets.
class SceneTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        RecordSprites();
    }
    ScopedWorkDir dir_;
};

// The 16-pixel white text drawn on one screen row between two x positions.
std::string TextAt(int32_t y, int32_t fromX, int32_t toX) {
    std::string text;
    for (const DrawnSprite& s : DrawnSprites)
        if (s.slot == 1 && s.y == y && s.x >= fromX && s.x < toX) text += GlyphChar(s);
    return text;
}

// Whether the file was asked for: a missing one is named in the debug output.
bool Asked(const std::string& path) {
    for (const std::string& line : HeadlessRecorded().debugLines)
        if (line.find("[" + path + "]") != std::string::npos) return true;
    return false;
}

void Put(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::absolute(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A 1 x 1 picture of 24 bits, and a sound of four 8-bit mono samples.
const std::string kBmp =
    std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18", 29) +
    std::string(29, '\0');
std::string Wav(char sample) {
    return std::string(
               "RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x11\x2b\0\0\x11\x2b\0\0\1\0"
               "\x08\0data\4\0\0\0",
               44) +
           std::string(4, sample);
}

}  // namespace

TEST_F(SceneTest, DrawsFollowTheGeneratorAndOnlyTheTopDrawGivesOneMore) {
    FreshProcess();
    SeedRandom(1);
    for (int32_t value : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(DrawRandom(), value);
    for (const auto& [draw, result] : {std::pair{32767, 12}, {32766, 11}, {0, 0}}) {
        uint32_t seed = 0;
        for (SeedRandom(0); DrawRandom() != draw;) SeedRandom(++seed);
        SeedRandom(seed);
        EXPECT_EQ(RandomUpTo(11), result) << draw;
    }
}

TEST_F(SceneTest, StartupSetsUpTheFrameLoadsFontsAndSettingsAndEntersTheCredits) {
    Put("config.dat", std::string("\7\0\0\0", 4));  // keyConfig 7
    HeadlessSetCalendarSeconds(100003);             // its square wraps round 2^32
    StartupCallback();
    EXPECT_EQ(Frame.targetFrameRate, 60);
    EXPECT_FALSE(HeadlessRecorded().cursorShown);
    EXPECT_EQ(Frame.closeCallback, &CloseCallback);
    const int32_t first = DrawRandom();
    SeedRandom(100003u * 100003u);  // the product of two readings of the clock
    EXPECT_EQ(first, DrawRandom());
    EXPECT_EQ(Settings.keyConfig, 7);
    EXPECT_TRUE(Asked("bmp/font_2/font_4p.bmp"));
}

TEST_F(SceneTest, CreditsLoadInCall199AndEnterTheTitleInCall219) {
    StartupCallback();
    for (int call = 0; call < 219; ++call) {
        SCOPED_TRACE(call);
        DrawnSprites.clear();
        FrameCallback();
        EXPECT_EQ(Scene.id, SceneLoading);
        EXPECT_EQ(TextAt(144, 240, 400), "CREATED BY");
        EXPECT_EQ(Asked("bmp/back/back12.bmp"), call >= 199);
        EXPECT_EQ(Asked("wave/medal.wav"), call >= 199);
        // Faded in over 20 frames, faded out over the 20 after the loading.
        EXPECT_EQ(FadeLevel, call < 199 ? std::min(call + 1, 20) : 218 - call);
    }
    DrawnSprites.clear();
    FrameCallback();
    EXPECT_EQ(Scene.id, SceneTitle);
    EXPECT_EQ(Scene.enterTimer, 20);
    EXPECT_EQ(Scene.frame, 1);
    EXPECT_EQ(TextAt(144, 240, 400), "");  // the title's own draw ran in that frame

    Scene.id = 102;  // no scene: nothing drawn, the count starts over instead of overflowing
    Scene.frame = INT32_MAX;
    DrawnSprites.clear();
    FrameCallback();
    EXPECT_EQ(Scene.frame, 0);
    EXPECT_TRUE(DrawnSprites.empty());
}

TEST_F(SceneTest, EscapeGoesOneLevelBackAndQuitsOnlyFromTitleOrCredits) {
    const int32_t cases[][3] = {// scene, result, scene after; a result of 1 saves
                                {SceneLoading, 1, SceneLoading},
                                {SceneTitle, 1, SceneTitle},
                                {102, 0, 102},
                                {-5, 0, -5},
                                {SceneModeSelect, 0, SceneTitle},
                                {SceneOptionMenu, 0, SceneTitle},
                                {7, 0, SceneOptionMenu},
                                {SceneGameNormal, 0, SceneTitle},
                                {SceneNameEntry, 0, SceneTitle},
                                {SceneRankingFromTitle, 0, SceneTitle},
                                {SceneRankingAfterEntry, 0, SceneTitle},
                                {SceneKeyConfig, 0, SceneOptionMenu},
                                {SceneKeyTest, 0, SceneOptionMenu},
                                {SceneGraphicConfig, 0, SceneOptionMenu},
                                {SceneSoundTest, 0, SceneOptionMenu}};
    LoadSettings();
    for (const auto& [scene, result, after] : cases) {
        SCOPED_TRACE(scene);
        fs::remove("rank_e.dat");
        SetFade(1);
        Scene.id = scene;
        EXPECT_EQ(CloseCallback(), result);
        EXPECT_EQ(Scene.id, after);
        EXPECT_EQ(fs::exists("rank_e.dat"), result == 1);
        // The title fades in afresh unless left for one of its own menus.
        const bool ownMenu = scene == SceneModeSelect || scene == SceneOptionMenu;
        EXPECT_EQ(FadeLevel, after == SceneTitle && result == 0 && !ownMenu ? 0 : 20);
    }
}

TEST_F(SceneTest, ShiftReadsPressedAtTheFirstCloseAndHeldLaterWhenItReentersTheTitle) {
    LoadSettings();
    Scene.id = SceneTitle;
    HeadlessSetKey(VkShift, true);
    EXPECT_EQ(CloseCallback(), 1);  // pressed: handled like Escape, the title quits
    EXPECT_TRUE(fs::remove("config.dat"));
    SetFade(1);
    EXPECT_EQ(CloseCallback(), 0);  // held: the title is entered afresh, nothing saved
    EXPECT_EQ(Scene.enterTimer, 20);
    EXPECT_EQ(FadeLevel, 0);
    EXPECT_FALSE(fs::exists("config.dat"));
}

TEST_F(SceneTest, EachPictureAndSoundLandsInItsSlotWithTheBackgroundsOpaque) {
    std::map<int, std::string> paths;
    for (int font = 0; font < 28; ++font)  // font_1..4 in seven colours from slots 1, 8, 31, 38
        paths[font + (font < 14 ? 1 : 17)] = "bmp/font_" + std::to_string(font / 7 % 2 + 1) +
                                             "/font_" + std::to_string(font / 7 + 1) +
                                             "wrygcbp"[font % 7] + ".bmp";
    const char* game[] = {"frame", "line_x", "line_y", "medal_0", "medal_1", "medal_2", "medal_3"};
    for (int i = 0; i < 7; ++i) paths[15 + i] = std::string("bmp/game/") + game[i] + ".bmp";
    for (int i = 0; i <= 12; ++i)
        paths[240 + i] = "bmp/back/back" + std::to_string(100 + i).substr(1) + ".bmp";
    for (const auto& [slot, path] : paths) Put(path, kBmp);
    const char* waves[] = {"erasing",     "linefall",  "lineset",  "newline1",  "newline26",
                           "newline3",    "newline47", "newline5", "prerotate", "chissoku",
                           "levelchange", "choice",    "select",   "pinch",     "medal"};
    for (char i = 0; i < 15; ++i) Put(std::string("wave/") + waves[int(i)] + ".wav", Wav(i));

    ASSERT_EQ(CreateSound(), 1);
    LoadFonts();
    LoadGameBitmaps();
    LoadWaves();
    for (int slot = 0; slot < kWorkBufferSlot; ++slot) {
        ASSERT_EQ(BitmapSlots[slot].surface != nullptr, paths.count(slot) == 1) << slot;
        if (!paths.count(slot)) continue;
        EXPECT_EQ(BitmapSlots[slot].fileName, paths[slot]);
        EXPECT_EQ(BitmapSlots[slot].useColourKey, slot < 240 ? 1 : 0) << slot;
    }
    for (int slot = 0; slot < kWaveSlots; ++slot)  // each sound holds its own sample
        EXPECT_EQ(HeadlessAudioSlot(slot).samples,
                  std::vector<uint8_t>(slot < 15 ? 4 : 0, static_cast<uint8_t>(slot)));
}
