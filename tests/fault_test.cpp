// Faults of the system around the program, injected through the headless platform: each
// refused step of the display and sound start-up shows its own error box and ends the program
// before any frame; the windowed display's steps refused on Alt+Enter leave the display
// released; surfaces and sound buffers lost in the middle of a game come back. (A refused
// window class, window, display mode or sound device is covered by FrameTest.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "frame/display.h"
#include "frame/surface.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "platform/keys.h"
#include "platform/platform.h"
#include "scenes/callbacks.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/asset_link.h"
#include "support/fresh.h"
#include "support/game_window.h"
#include "support/work_dir.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

int g_frames = 0;

void CountFrame() { ++g_frames; }

std::vector<std::string> FilesHere() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::current_path()))
        names.push_back(entry.path().filename().string());
    return names;
}

bool Contains(const Lines& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line == text) return true;
    return false;
}

class FaultTest : public testing::Test {
protected:
    void SetUp() override { FreshProcess(); }
    void TearDown() override {
        SetFrameTrace(nullptr);
        SetWaveTrace(nullptr);
    }
    ScopedWorkDir dir_;
};

TEST_F(FaultTest, RefusedStartUpStepShowsItsBoxAndEndsBeforeAnyFrame) {
    const struct {
        int32_t step;  // a PlatformDisplayStep, or -1 for the sound device's cooperation
        const char* box;
    } cases[] = {
        {DisplayStepDevice, "DirectDrawの作成に失敗しました"},
        {DisplayStepCooperation, "強調レベルの設定に失敗しました"},
        {DisplayStepFrontBuffer, "複合サーフェイスの作成に失敗しました"},
        {DisplayStepBackBuffer, "バックバッファを取得できません"},
        {DisplayStepPixelFormat, "ピクセルフォーマットの取得に失敗しました\n"},
        {DisplayStepTextAccess, "GDIをアクセスできません"},
        {-1, "DirectSoundの協調レベル設定が拒否されました。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        FreshProcess();
        if (c.step >= 0)
            HeadlessRefuseDisplayStep(c.step);
        else
            HeadlessAudioFailOpen(AudioRefused);
        g_frames = 0;
        SetFrameTrace(CountFrame);
        // Had start-up gone on, the loop would run until this quit.
        PlatformPostQuit();
        EXPECT_EQ(RunApplication(GameRoutines{StartupCallback, FrameCallback}),
                  StartResult::Failed);

        EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{std::string("メッセージ: ") + c.box});
        EXPECT_EQ(g_frames, 0);
        EXPECT_EQ(Scene.id, 0);  // the game's start-up never ran
        EXPECT_FALSE(HeadlessAudioIsOpen());
        EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);
        EXPECT_TRUE(FilesHere().empty()) << "nothing is saved";
        // The default device is named only once it exists.
        EXPECT_EQ(Contains(HeadlessRecorded().debugLines, "標準のデバイスを使用します\n"),
                  c.step != DisplayStepDevice);
    }
}

// A window's display has steps of its own, met when Alt+Enter leaves the full screen: a
// refused one shows its box and leaves the display released, so nothing more is presented.
TEST_F(FaultTest, RefusedWindowedStepOnTheToggleLeavesTheDisplayReleased) {
    const struct {
        int32_t step;
        const char* box;
    } cases[] = {
        {DisplayStepFrontBuffer, "フロントバッファの作成に失敗しました"},
        {DisplayStepBackBuffer, "オフスクリーンバッファの作成に失敗しました"},
        {DisplayStepClipper, "クリッパーの作成に失敗しました"},
        {DisplayStepClipperWindow, "クリッパーの関連付けに失敗しました"},
        {DisplayStepClipperTaken, "フロントバッファがクリッパーを拒否しました"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        FreshProcess();
        ASSERT_NO_FATAL_FAILURE(OpenGameDisplay());
        HeadlessRefuseDisplayStep(c.step);
        HeadlessClearRecord();
        ToggleFullScreen();
        EXPECT_EQ(HeadlessRecorded().errorBoxes, Lines{std::string("メッセージ: ") + c.box});
        EXPECT_EQ(DisplayDevice.ready, 0);
        EXPECT_EQ(DisplayDevice.front, nullptr);
        EXPECT_EQ(DisplayDevice.back, nullptr);
        const uint32_t presented = HeadlessWindow().presentedFrames;
        PresentFrame();
        EXPECT_EQ(HeadlessWindow().presentedFrames, presented);
    }
}

// ---- losses in the middle of a game ----------------------------------------------------

constexpr int kLossFrame = 420;  // a level-0 game has been running for about 80 frames
constexpr int kSessionFrames = 700;

struct Session {
    bool loseSurfaces = false;
    bool loseSounds = false;
    std::vector<uint64_t> pictures;  // a digest of the presented picture, per frame
    uint32_t lossMs = 0;
    int pictureReloads = 0;
    int lastReloadFrame = -1;  // the frame whose drawing reloaded the last lost picture
};
Session* g_session = nullptr;

uint64_t PictureDigest() {
    const HeadlessWindowState& w = HeadlessWindow();
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint16_t pixel : w.picture) h = (h ^ pixel) * 0x100000001b3ull;
    return h;
}

int PictureReloads() {
    int reloads = 0;
    for (const std::string& line : HeadlessRecorded().debugLines)
        if (line.find("IMG[") == 0 && line.find("をリロードします。") != std::string::npos)
            ++reloads;
    return reloads;
}

// Title: GAME START; mode select: NORMAL MODE at level 0; then UP drops a piece every 20 frames.
void SessionFrame() {
    Session& s = *g_session;
    const int frame = static_cast<int>(s.pictures.size());
    s.pictures.push_back(PictureDigest());
    const auto key = [](int32_t type, int32_t code) {
        HeadlessPostMessage(PlatformMessage{type, code, 0, 0});
    };
    if (frame == 245 || frame == 291) key(MsgKeyDown, 'Z');
    if (frame == 247 || frame == 294) key(MsgKeyUp, 'Z');
    if (frame >= 360 && frame % 20 == 0) key(MsgKeyDown, VkUp);
    if (frame >= 360 && frame % 20 == 2) key(MsgKeyUp, VkUp);
    if (frame > kLossFrame) {
        const int reloads = PictureReloads();
        if (reloads > s.pictureReloads) s.lastReloadFrame = frame;
        s.pictureReloads = reloads;
    }
    if (frame == kLossFrame) {
        s.lossMs = PlatformMilliseconds();
        HeadlessClearRecord();
        if (s.loseSurfaces) LoseAllSurfaces();
        if (s.loseSounds)
            for (int32_t slot = 0; slot < kWaveSlots; ++slot)
                if (HeadlessAudioSlot(slot).hasBuffer) HeadlessAudioLoseBuffer(slot);
    }
    if (frame + 1 >= kSessionFrames) PlatformPostQuit();
}

class FaultSessionTest : public FaultTest {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR");
        ASSERT_NE(binaryDir, nullptr) << "PLUSRAIL_BINARY_DIR names the build directory";
        for (const char* kind : {"bmp", "wave"}) {
            const fs::path assets = fs::path(binaryDir) / "game" / kind;
            ASSERT_TRUE(fs::is_directory(assets)) << assets;
            LinkAssetFolder(assets, kind);
        }
    }
    static void Play(Session* session) {
        FreshProcess();
        g_session = session;
        SetFrameTrace(SessionFrame);
        HeadlessSetIdleHook(nullptr);
        RunApplication(GameRoutines{StartupCallback, FrameCallback});
        SetFrameTrace(nullptr);
        ASSERT_EQ(Scene.id, SceneGameNormal) << "the session ends in the game";
    }
    // Frames after the loss whose picture differs from the undisturbed session's.
    static std::vector<int> Differences(const Session& alone, const Session& lost) {
        std::vector<int> frames;
        for (size_t f = kLossFrame; f < alone.pictures.size() && f < lost.pictures.size(); ++f)
            if (alone.pictures[f] != lost.pictures[f]) frames.push_back(static_cast<int>(f));
        return frames;
    }
};

// The task switch takes the back buffer and every picture in video memory: the buffers are
// restored when the frame is presented, each picture is reloaded by the draw that finds it
// lost, and from then on the screen is the one the undisturbed game shows.
TEST_F(FaultSessionTest, LostSurfacesMidGameComeBackToTheSamePicture) {
    Session alone;
    ASSERT_NO_FATAL_FAILURE(Play(&alone));
    Session lost;
    lost.loseSurfaces = true;
    ASSERT_NO_FATAL_FAILURE(Play(&lost));

    ASSERT_EQ(alone.pictures.size(), lost.pictures.size());
    const std::vector<int> differ = Differences(alone, lost);
    ASSERT_FALSE(differ.empty()) << "the loss showed for a moment";
    EXPECT_TRUE(Contains(HeadlessRecorded().debugLines, "Flont/Back Bufferを復元します。\n"));
    EXPECT_GT(lost.pictureReloads, 0) << "the game's pictures were reloaded";
    // The draw that reloads a picture misses it once; the picture presented after that frame
    // (recorded one frame later) is the undisturbed one, and so is every later one.
    EXPECT_LE(differ.back(), lost.lastReloadFrame + 1);
    EXPECT_LT(lost.lastReloadFrame + 1, kSessionFrames - 100) << "long enough to compare";
}

// Sound buffers the device took are refilled by the next play of each sound, which goes
// unheard; the play after that is heard again. The pictures never change.
TEST_F(FaultSessionTest, LostSoundBuffersMidGamePlayAgain) {
    Session alone;
    ASSERT_NO_FATAL_FAILURE(Play(&alone));
    std::vector<int32_t> heardAlone;
    for (const HeadlessAudioEvent& e : HeadlessAudioEvents())
        if (e.kind == HeadlessAudioEvent::Start && e.ms > alone.lossMs)
            heardAlone.push_back(e.slot);
    ASSERT_GE(heardAlone.size(), 2u) << "the game plays sounds after the loss";

    Session lost;
    lost.loseSounds = true;
    ASSERT_NO_FATAL_FAILURE(Play(&lost));
    EXPECT_TRUE(Differences(alone, lost).empty());
    std::vector<int32_t> heardLost;
    for (const HeadlessAudioEvent& e : HeadlessAudioEvents())
        if (e.kind == HeadlessAudioEvent::Start && e.ms > lost.lossMs) heardLost.push_back(e.slot);
    int reloads = 0;
    for (const std::string& line : HeadlessRecorded().debugLines)
        if (line.find("WAVE[") == 0 && line.find("をリロードしました") != std::string::npos)
            ++reloads;
    EXPECT_GT(reloads, 0);
    // Every sound lost its buffer, so each one misses exactly its first play after the loss
    // (which reloads it) and is heard at every later one.
    std::vector<int32_t> expected, seen;
    for (int32_t slot : heardAlone) {
        if (std::find(seen.begin(), seen.end(), slot) == seen.end())
            seen.push_back(slot);
        else
            expected.push_back(slot);
    }
    EXPECT_EQ(reloads, static_cast<int>(seen.size()));
    EXPECT_EQ(heardLost, expected);
    EXPECT_FALSE(expected.empty()) << "some sound played twice after the loss";
}

}  // namespace
