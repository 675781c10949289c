// The application frame: start-up order and its failures, the loop, the close protocol and
// the window procedure, on the headless platform with the real game behind the frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/game_folder.h"
#include "app/window_procedure.h"
#include "frame/bitmap_slots.h"
#include "frame/frame.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "platform/keys.h"
#include "scenes/callbacks.h"
#include "shell/scene.h"
#include "support/fresh.h"
#include "support/work_dir.h"

namespace {

void Post(int32_t type, int32_t key = 0) { HeadlessPostMessage(PlatformMessage{type, key, 0, 0}); }
void Send(int32_t type, int32_t key = 0) { WindowProcedure(PlatformMessage{type, key, 0, 0}); }

// What a scripted run saw; the trace and the hooks are plain routines, so they keep it here.
struct LoopScript {
    int frames = 0;                        // FrameCallback calls so far
    int stopAfter = 0;                     // ends the loop after this many calls
    void (*atFrame)(int frame) = nullptr;  // after each call, with the calls so far
    int framesAtFirstWait = -1;
    int closeAsked = 0;
};
LoopScript g_script;

void ScriptFrame() {
    ++g_script.frames;
    if (g_script.atFrame) g_script.atFrame(g_script.frames);
    if (g_script.frames >= g_script.stopAfter) PlatformPostQuit();
}

void ReactivateWhenIdle() {
    if (g_script.framesAtFirstWait < 0) g_script.framesAtFirstWait = g_script.frames;
    Post(MsgActivate);
}

int32_t RefuseClose() { return ++g_script.closeAsked, 0; }
int32_t AgreeClose() { return ++g_script.closeAsked, 1; }

// Every test starts as a new process would, in an empty working directory of its own.
class FrameTest : public testing::Test {
protected:
    void SetUp() override { FreshProcess(); }
    void TearDown() override { SetFrameTrace(nullptr); }
    // The real program, ended by the script after `frames` FrameCallback calls; with none, it
    // ends at its first look at the queue, the window still up.
    void RunFrames(int frames, void (*atFrame)(int) = nullptr,
                   StartResult expected = StartResult::Started) {
        g_script = LoopScript{0, frames, atFrame};
        SetFrameTrace(ScriptFrame);
        HeadlessSetIdleHook(ReactivateWhenIdle);
        if (frames == 0) PlatformPostQuit();
        EXPECT_EQ(RunApplication(GameRoutines{StartupCallback, FrameCallback}), expected);
    }
    ScopedWorkDir dir_;
};

TEST_F(FrameTest, StartUpBringsUpWindowDisplayFrameAndThenTheGame) {
    RunFrames(0);
    const HeadlessWindowState& w = HeadlessWindow();
    EXPECT_STREQ(w.title, "Untitled");
    EXPECT_EQ(w.x, (1024 - 640) / 2);
    EXPECT_TRUE(w.fullScreen);
    EXPECT_EQ(BitmapSlots[kWorkBufferSlot].width, 640);
    // The game's start-up ran after the frame's defaults: its rate and its close routine.
    EXPECT_EQ(Frame.targetFrameRate, 60);
    EXPECT_EQ(Frame.closeCallback, &CloseCallback);
    EXPECT_EQ(Scene.id, SceneLoading);
}

TEST_F(FrameTest, FailedStepEndsStartUpAfterItsErrorBox) {
    const struct {
        HeadlessWindowFault fault;
        int32_t audioOpen;
        const char* box;
        bool windowCreated;
    } cases[] = {
        {HeadlessFaultRegisterClass, AudioOpened, "ウインドウクラスの登録に失敗しました", false},
        {HeadlessFaultCreateWindow, AudioOpened, "ウインドウの作成に失敗しました", false},
        {HeadlessFaultFullScreen, AudioOpened, "ディスプレイモードが変更できません", true},
        {HeadlessFaultNone, AudioNoDevice, "DirectSoundの構築に失敗しました。", true},
    };
    for (const auto& c : cases) {
        FreshProcess();
        HeadlessSetWindowFault(c.fault);
        HeadlessAudioFailOpen(c.audioOpen);
        // Had start-up gone on, the game would have started.
        RunFrames(0, nullptr, StartResult::Failed);
        EXPECT_EQ(HeadlessRecorded().errorBoxes,
                  std::vector<std::string>{std::string("メッセージ: ") + c.box});
        EXPECT_EQ(HeadlessWindow().created, c.windowCreated) << c.box;
        EXPECT_EQ(Scene.id, 0) << c.box;
    }
}

TEST_F(FrameTest, DeactivationPausesTheFramesUntilActivation) {
    RunFrames(6, [](int frame) {
        if (frame == 3) Post(MsgDeactivate);
    });
    EXPECT_EQ(g_script.framesAtFirstWait, 3);
    EXPECT_EQ(HeadlessWindow().waits, 1u);
    EXPECT_EQ(g_script.frames, 6);
}

TEST_F(FrameTest, RefusedCloseKeepsTheWindowAndStopsPausing) {
    RunFrames(5, [](int frame) {
        if (frame != 2) return;
        SetCloseCallback(RefuseClose);
        Post(MsgKeyDown, VkEscape);
        Post(MsgDeactivate);
    });
    EXPECT_EQ(g_script.closeAsked, 1);
    EXPECT_FALSE(HeadlessWindow().destroyed);
    // The deactivation came after the close request: the frames went on.
    EXPECT_EQ(HeadlessWindow().waits, 0u);
    EXPECT_EQ(g_script.frames, 5);
}

TEST_F(FrameTest, EscapeDuringTheCreditsSavesAndEndsTheProgram) {
    RunFrames(100, [](int frame) {
        if (frame == 2) Post(MsgKeyDown, VkEscape);
    });
    EXPECT_EQ(g_script.frames, 2);
    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(BitmapSlots[kWorkBufferSlot].surface, nullptr);
    EXPECT_EQ(std::filesystem::file_size("config.dat"), 20u);
    EXPECT_EQ(std::filesystem::file_size("rank_n.dat"), 440u);
    EXPECT_EQ(std::filesystem::file_size("rank_e.dat"), 440u);
}

TEST_F(FrameTest, CloseAgreedInsideAFrameLetsThatFrameFinish) {
    RunFrames(100, [](int frame) {
        if (frame != 3) return;
        SetCloseCallback(AgreeClose);
        EXPECT_EQ(RequestClose(), 0);
        EXPECT_EQ(RequestClose(), 0);  // the window is gone: this one reaches nobody
    });
    EXPECT_EQ(g_script.closeAsked, 1);
    EXPECT_EQ(g_script.frames, 3);
    // Each frame presented and paced at 60 fps; the third frame still paced, but there was no
    // window left to show it.
    EXPECT_EQ(HeadlessWindow().presentedFrames, 2u);
    EXPECT_EQ(HeadlessSleptMs(), 48u);
}

TEST_F(FrameTest, OnlyAKeyDownOfTheQuitKeyRequestsAClose) {
    RunFrames(0);
    SetCloseCallback(RefuseClose);
    EXPECT_EQ(SetQuitKey(257), 0);
    EXPECT_EQ(SetQuitKey('Q'), 1);
    Send(MsgKeyDown, VkEscape);
    Send(MsgSysKeyDown, 'Q');
    EXPECT_EQ(g_script.closeAsked, 0);
    Send(MsgKeyDown, 0x10000 | 'Q');  // only the low 16 bits name the key
    EXPECT_EQ(g_script.closeAsked, 1);
    // Without a close routine a close is simply allowed.
    SetCloseCallback(nullptr);
    Send(MsgClose);
    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(PumpMessages(), 0);
}

}  // namespace

namespace {

TEST_F(FrameTest, SecondStartSaysSoAndBringsTheFirstForward) {
    HeadlessSetOtherInstance(true);
    RunFrames(0, nullptr, StartResult::AnotherRuns);
    EXPECT_FALSE(HeadlessWindow().created);
    EXPECT_EQ(HeadlessWindow().otherInstanceShown, 1u);
    EXPECT_EQ(HeadlessRecorded().debugLines,
              std::vector<std::string>{"+RAILは既に起動しています。\n"});
    EXPECT_NE(HeadlessRecorded().debugEnglish[0].find("already running"), std::string::npos);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());  // the first window tells enough
}

// Folders laid out as a build or an unpacked game would have them, under the test's own
// working directory.
class GameFolderTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        root_ = std::filesystem::current_path();
    }
    void TearDown() override {
        std::filesystem::current_path(root_);
        HeadlessSetExecutableFolder(nullptr);
    }
    static void MakeFolder(const std::filesystem::path& p) {
        std::filesystem::create_directories(p);
    }
    ScopedWorkDir dir_;
    std::filesystem::path root_;
};

TEST_F(GameFolderTest, StartedElsewhereTheGameMovesToThePicturesBesideItsExecutable) {
    MakeFolder(root_ / "elsewhere");
    MakeFolder(root_ / "build/game/bmp");
    MakeFolder(root_ / "unpacked/bmp");
    MakeFolder(root_ / "unpacked/game/bmp");  // its own folder comes first
    MakeFolder(root_ / "empty");
    const struct {
        const char* executable;  // relative to the test's folder; "" cannot be told
        const char* start;
        bool found;
        const char* endsIn;
    } cases[] = {
        {"build", "elsewhere", true, "build/game"},
        {"unpacked", "elsewhere", true, "unpacked"},
        {"build/game", "elsewhere", true, "build/game"},
        {"build", "unpacked", true, "unpacked"},  // pictures here: the start folder is kept
        {"empty", "elsewhere", false, "elsewhere"},
        {"", "elsewhere", false, "elsewhere"},
    };
    for (const auto& c : cases) {
        std::filesystem::current_path(root_ / c.start);
        const std::string executable = (root_ / c.executable).string();
        HeadlessSetExecutableFolder(*c.executable ? executable.c_str() : nullptr);
        EXPECT_EQ(EnterGameFolder(), c.found) << c.executable << " from " << c.start;
        EXPECT_EQ(std::filesystem::current_path(), root_ / c.endsIn) << c.executable;
    }
}

}  // namespace
