// The application frame: start-up order and its failures, the loop, the close protocol and
// the window procedure, on the headless platform with the real game behind the frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frame/application.h"
#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_window.h"
#include "shell/scene.h"
#include "support/fresh.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEscape = 27;
constexpr int kEnter = 13;
constexpr int kAlt = 18;

PlatformMessage Message(int32_t type, int32_t key = 0, int32_t x = 0, int32_t y = 0) {
    return PlatformMessage{type, key, x, y};
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

// What a scripted run saw; the trace and the hooks are plain routines, so they keep it here.
struct LoopScript {
    int frames = 0;                         // FrameCallback calls so far
    int stopAfter = 0;                      // ends the loop after this many calls
    void (*atFrame)(int frame) = nullptr;   // after each call, with the calls so far
    int framesAtFirstWait = -1;
    int32_t refusals = 0;
};
LoopScript g_script;

void ScriptFrame() {
    ++g_script.frames;
    if (g_script.atFrame) g_script.atFrame(g_script.frames);
    if (g_script.frames >= g_script.stopAfter) PlatformPostQuit();
}

void ReactivateWhenIdle() {
    if (g_script.framesAtFirstWait < 0) g_script.framesAtFirstWait = g_script.frames;
    HeadlessPostMessage(Message(MsgActivate));
}

int32_t RefuseClose() {
    ++g_script.refusals;
    return 0;
}

int32_t AgreeClose() {
    ++g_script.refusals;   // counted all the same: the game was asked
    return 1;
}

// A directory name of the running test's own; parameterised names carry a '/'.
std::string UniqueName(const char* prefix) {
    std::string name = prefix;
    for (char c : std::string(testing::UnitTest::GetInstance()->current_test_info()->name()))
        name += c == '/' ? '_' : c;
    return name;
}

// Every test starts as a new process would, in an empty working directory of its own.
class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        SetFrameTrace(nullptr);
        g_script = LoopScript{};
        previous_ = fs::current_path();
        dir_ = fs::path(testing::TempDir()) / UniqueName("frame_test_");
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override {
        SetFrameTrace(nullptr);
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    // The real program, ended by the script after `frames` FrameCallback calls.
    void RunFrames(int frames, void (*atFrame)(int) = nullptr) {
        g_script.stopAfter = frames;
        g_script.atFrame = atFrame;
        SetFrameTrace(ScriptFrame);
        HeadlessSetIdleHook(ReactivateWhenIdle);
        EXPECT_EQ(RunApplication(), 0);
    }
    // A window with its display, without the game: for the window procedure alone.
    static void BringUpWindow() {
        ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
        ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480));
        Frame.window = 1;
        ASSERT_EQ(SetupDisplay(), 1);
        Frame.active = 1;
        Frame.quitKey = kEscape;
    }
    fs::path previous_, dir_;
};

TEST_F(FrameTest, SetFrameRateKeepsTheRateWithinTwoToOneHundred) {
    const int32_t cases[][2] = {{-5, 2},  {0, 2},     {1, 2},     {2, 2},
                                {60, 60}, {100, 100}, {101, 100}, {500, 100}};
    for (const auto& c : cases) {
        SetFrameRate(c[0]);
        EXPECT_EQ(Frame.targetFrameRate, c[1]) << "SetFrameRate(" << c[0] << ")";
    }
}

TEST_F(FrameTest, NullFrameCallbackAndQuitKeyOutOfRangeAreRefused) {
    EXPECT_EQ(SetFrameCallback(FrameCallback), 1);
    EXPECT_EQ(SetFrameCallback(nullptr), 0);
    EXPECT_EQ(Frame.frameCallback, &FrameCallback);
    EXPECT_EQ(SetQuitKey(kEscape), 1);
    EXPECT_EQ(SetQuitKey(-1), 0);
    EXPECT_EQ(SetQuitKey(257), 0);
    EXPECT_EQ(Frame.quitKey, kEscape);
    EXPECT_EQ(SetQuitKey(256), 1);
    EXPECT_EQ(Frame.quitKey, 256);
}

TEST_F(FrameTest, StartUpBringsUpWindowDisplayFrameAndGame) {
    HeadlessSetJoystickCount(1);
    PlatformPostQuit();   // the loop ends at its first look at the queue
    EXPECT_EQ(RunApplication(), 0);
    const HeadlessWindowState& w = HeadlessWindow();
    EXPECT_TRUE(w.created);
    EXPECT_STREQ(w.title, "Untitled");
    EXPECT_EQ(w.x, (1024 - 640) / 2);
    EXPECT_EQ(w.y, (768 - 480) / 2);
    EXPECT_EQ(w.width, 640);
    EXPECT_EQ(w.height, 480);
    EXPECT_TRUE(w.fullScreen);
    EXPECT_EQ(DisplayDevice.ready, 1);
    EXPECT_NE(BitmapSlots[kWorkBufferSlot].surface, nullptr);
    EXPECT_EQ(BitmapSlots[kWorkBufferSlot].width, 640);
    EXPECT_EQ(BitmapSlots[kWorkBufferSlot].height, 480);
    EXPECT_TRUE(HasLine(HeadlessRecorded().debugLines, "1個のジョイスティックが使用可能です\n"));
    EXPECT_EQ(Frame.joystickPolling, 1);
    EXPECT_EQ(GdiText.charWidth, 8);
    EXPECT_EQ(GdiText.charHeight, 16);
    EXPECT_EQ(GdiText.colour, 0xFFFFFFu);
    EXPECT_EQ(Frame.quitKey, kEscape);
    EXPECT_EQ(Frame.active, 1);
    EXPECT_EQ(Frame.frameCallback, &FrameCallback);
    // The game's start-up ran after the frame's defaults: its rate and its close routine.
    EXPECT_EQ(Frame.targetFrameRate, 60);
    EXPECT_EQ(Frame.closeCallback, &CloseCallback);
    EXPECT_FALSE(HeadlessRecorded().cursorShown);
    EXPECT_EQ(SceneId, SceneLoading);
    EXPECT_EQ(w.presentedFrames, 0u);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
}

TEST_F(FrameTest, SecondInstanceEndsAtOnceWithoutAWord) {
    HeadlessSetOtherInstance(true);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_FALSE(HeadlessWindow().classRegistered);
    EXPECT_FALSE(HeadlessWindow().created);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
    EXPECT_TRUE(HeadlessRecorded().debugLines.empty());
    EXPECT_EQ(Frame.frameCallback, nullptr);
}

struct StartFailure {
    HeadlessWindowFault fault;
    int32_t audioOpen;
    const char* box;   // null: the failing part shows its own message
};

void PrintTo(const StartFailure& f, std::ostream* os) {
    *os << "fault " << f.fault << ", audio " << f.audioOpen;
}

class FrameStartFailure : public FrameTest, public testing::WithParamInterface<StartFailure> {};

TEST_P(FrameStartFailure, EndsStartUpBeforeTheGameStarts) {
    HeadlessSetWindowFault(GetParam().fault);
    HeadlessAudioFailOpen(GetParam().audioOpen);
    EXPECT_EQ(RunApplication(), 0);
    const std::vector<std::string>& boxes = HeadlessRecorded().errorBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    if (GetParam().box) {
        EXPECT_EQ(boxes[0], std::string("メッセージ: ") + GetParam().box);
    }
    EXPECT_EQ(Frame.frameCallback, nullptr);
    EXPECT_EQ(SceneId, 0);
    EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);
}

INSTANTIATE_TEST_SUITE_P(Steps, FrameStartFailure,
                         testing::Values(StartFailure{HeadlessFaultRegisterClass, AudioOpened,
                                                      "ウインドウクラスの登録に失敗しました"},
                                         StartFailure{HeadlessFaultCreateWindow, AudioOpened,
                                                      "ウインドウの作成に失敗しました"},
                                         StartFailure{HeadlessFaultFullScreen, AudioOpened,
                                                      "ディスプレイモードが変更できません"},
                                         StartFailure{HeadlessFaultNone, AudioNoDevice, nullptr}));

TEST_F(FrameTest, EachPassRunsOneFramePresentsItAndPacesIt) {
    RunFrames(10);
    EXPECT_EQ(g_script.frames, 10);
    EXPECT_EQ(HeadlessWindow().presentedFrames, 10u);
    // Sixty frames a second from the first frame on: 16 ms, and 20 ms every sixth frame.
    EXPECT_EQ(HeadlessSleptMs(), 16u * 9 + 20);
    EXPECT_EQ(SceneFrame, 10);
}

TEST_F(FrameTest, DeactivationPausesTheFramesUntilActivation) {
    RunFrames(6, [](int frame) {
        if (frame == 3) HeadlessPostMessage(Message(MsgDeactivate));
    });
    EXPECT_EQ(g_script.framesAtFirstWait, 3);
    EXPECT_EQ(HeadlessWindow().waits, 1u);
    EXPECT_EQ(g_script.frames, 6);
    EXPECT_EQ(Frame.active, 1);
}

TEST_F(FrameTest, MinimisingPausesTheFramesUntilRestored) {
    RunFrames(4, [](int frame) {
        if (frame == 2) HeadlessPostMessage(Message(MsgMinimize));
    });
    EXPECT_EQ(g_script.framesAtFirstWait, 2);
    EXPECT_EQ(HeadlessWindow().waits, 1u);
    EXPECT_EQ(g_script.frames, 4);
}

TEST_F(FrameTest, RefusedCloseKeepsTheWindowAndStopsPausing) {
    RunFrames(5, [](int frame) {
        if (frame != 2) return;
        SetCloseCallback(RefuseClose);
        HeadlessPostMessage(Message(MsgKeyDown, kEscape));
        HeadlessPostMessage(Message(MsgDeactivate));
    });
    EXPECT_EQ(g_script.refusals, 1);
    EXPECT_TRUE(HeadlessWindow().created);
    EXPECT_EQ(Frame.closing, 1);
    // The deactivation came after the close request: the frames went on.
    EXPECT_EQ(HeadlessWindow().waits, 0u);
    EXPECT_EQ(g_script.frames, 5);
}

TEST_F(FrameTest, EscapeDuringTheCreditsSavesAndEndsTheProgram) {
    RunFrames(100, [](int frame) {
        if (frame == 2) HeadlessPostMessage(Message(MsgKeyDown, kEscape));
    });
    EXPECT_EQ(g_script.frames, 2);
    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(Frame.window, 0);
    EXPECT_EQ(BitmapSlots[kWorkBufferSlot].surface, nullptr);
    EXPECT_EQ(fs::file_size("config.dat"), 20u);
    EXPECT_EQ(fs::file_size("rank_n.dat"), 440u);
    EXPECT_EQ(fs::file_size("rank_e.dat"), 440u);
}

TEST_F(FrameTest, CloseAgreedInsideAFrameLetsThatFrameFinish) {
    RunFrames(100, [](int frame) {
        if (frame == 3) {
            SetCloseCallback(AgreeClose);
            EXPECT_EQ(RequestClose(), 0);
            // The window is gone: a second request reaches nobody.
            EXPECT_EQ(RequestClose(), 0);
        }
    });
    EXPECT_EQ(g_script.refusals, 1);
    EXPECT_EQ(g_script.frames, 3);
    // The third frame was still paced, but there was no window left to show it.
    EXPECT_EQ(HeadlessWindow().presentedFrames, 2u);
    EXPECT_EQ(HeadlessSleptMs(), 48u);
}

TEST_F(FrameTest, QuitKeyIsTheOnlyKeyThatRequestsAClose) {
    BringUpWindow();
    SetCloseCallback(RefuseClose);
    SetQuitKey('Q');
    WindowProcedure(Message(MsgKeyDown, kEscape));
    EXPECT_EQ(g_script.refusals, 0);
    EXPECT_EQ(Frame.closing, 0);
    WindowProcedure(Message(MsgSysKeyDown, 'Q'));
    EXPECT_EQ(g_script.refusals, 0);
    // Only the low 16 bits name the key.
    WindowProcedure(Message(MsgKeyDown, 0x10000 | 'Q'));
    EXPECT_EQ(g_script.refusals, 1);
    EXPECT_EQ(Frame.closing, 1);
}

TEST_F(FrameTest, CloseWithoutCloseCallbackDestroysTheWindow) {
    BringUpWindow();
    WindowProcedure(Message(MsgClose));
    EXPECT_TRUE(HeadlessWindow().destroyed);
    EXPECT_EQ(PumpMessages(), 0);
}

TEST_F(FrameTest, AltEnterTogglesBetweenFullScreenAndAWindow) {
    BringUpWindow();
    ASSERT_TRUE(HeadlessWindow().fullScreen);
    WindowProcedure(Message(MsgSysKeyUp, kAlt));
    EXPECT_TRUE(HeadlessWindow().fullScreen);
    WindowProcedure(Message(MsgSysKeyUp, kEnter));
    EXPECT_FALSE(HeadlessWindow().fullScreen);
    EXPECT_EQ(IsFullScreen(), 0);
    EXPECT_EQ(DisplayDevice.ready, 1);
    WindowProcedure(Message(MsgSysKeyUp, kEnter));
    EXPECT_TRUE(HeadlessWindow().fullScreen);
}

TEST_F(FrameTest, AltEnterDoesNothingOnADesktopThatForbidsTheToggle) {
    HeadlessSetDesktop(1024, 768, 32);
    BringUpWindow();
    WindowProcedure(Message(MsgSysKeyUp, kEnter));
    EXPECT_TRUE(HeadlessWindow().fullScreen);
    EXPECT_EQ(IsFullScreen(), 1);
}

TEST_F(FrameTest, PaintShowsTheLastPictureOnlyInAnInactiveWindow) {
    BringUpWindow();
    WindowProcedure(Message(MsgSysKeyUp, kEnter));
    WindowProcedure(Message(MsgPaint));
    EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);   // active: the next frame paints
    WindowProcedure(Message(MsgDeactivate));
    WindowProcedure(Message(MsgPaint));
    EXPECT_EQ(HeadlessWindow().presentedFrames, 1u);
    WindowProcedure(Message(MsgSysKeyUp, kEnter));
    WindowProcedure(Message(MsgPaint));
    EXPECT_EQ(HeadlessWindow().presentedFrames, 1u);   // full screen: nothing to repaint
}

TEST_F(FrameTest, FocusChangesCountOnlyOnceTheDisplayIsReady) {
    Frame.active = 1;
    WindowProcedure(Message(MsgDeactivate));
    EXPECT_EQ(Frame.active, 1);
    BringUpWindow();
    WindowProcedure(Message(MsgDeactivate));
    EXPECT_EQ(Frame.active, 0);
    WindowProcedure(Message(MsgActivate));
    EXPECT_EQ(Frame.active, 1);
}

TEST_F(FrameTest, MouseCountsAsMovedOnceBothCoordinatesLeftTheFirstPosition) {
    BringUpWindow();
    WindowProcedure(Message(MsgMouseMove, 0, 0, 50));   // x = 0 records nothing
    EXPECT_EQ(Frame.firstMouseX, 0);
    WindowProcedure(Message(MsgMouseMove, 0, 100, 50));
    EXPECT_EQ(Frame.firstMouseX, 100);
    EXPECT_EQ(Frame.firstMouseY, 50);
    WindowProcedure(Message(MsgMouseMove, 0, 120, 50));
    EXPECT_EQ(Frame.mouseMoved, 0);
    WindowProcedure(Message(MsgMouseMove, 0, 120, 60));
    EXPECT_EQ(Frame.mouseMoved, 1);
}

TEST_F(FrameTest, MoveRefreshesTheClientRectangle) {
    BringUpWindow();
    WindowProcedure(Message(MsgMove, 0, 30, 40));
    EXPECT_EQ(Frame.clientRect.left, 30);
    EXPECT_EQ(Frame.clientRect.top, 40);
    EXPECT_EQ(Frame.clientRect.right, 670);
    EXPECT_EQ(Frame.clientRect.bottom, 520);
}

}   // namespace
