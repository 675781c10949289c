// The process entry: the order in which the system comes up, and the frame loop.
#include "app/application.h"
#include "app/pacing.h"
#include "app/window_procedure.h"
#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/gdi_text.h"
#include "frame/messages.h"
#include "frame/sprite.h"
#include "input/input.h"
#include "platform/keys.h"
#include "sound/sound.h"

namespace {

constexpr const char* kWindowClassName = "Class Kestrel";
constexpr const char* kWindowTitle = "Untitled";
constexpr int32_t kStartFrameRate = 20;

FrameTraceFn g_frameTrace;

// Window class, window, display, sound; 0 when start-up has to end.
int32_t CreateFrameWindow() {
    if (!PlatformRegisterWindowClass(kWindowClassName)) {
        ErrorBox("ウインドウクラスの登録に失敗しました");
        return 0;
    }
    int32_t screenWidth = 0, screenHeight = 0;
    PlatformScreenSize(&screenWidth, &screenHeight);
    const int32_t x = (screenWidth - kScreenWidth) / 2;
    const int32_t y = (screenHeight - kScreenHeight) / 2;
    if (!PlatformCreateWindow(kWindowClassName, kWindowTitle, x, y, kScreenWidth, kScreenHeight)) {
        ErrorBox("ウインドウの作成に失敗しました");
        return 0;
    }
    Frame.window = 1;
    Frame.clientRect = FrameRect{x, y, x + kScreenWidth, y + kScreenHeight};
    return 1;
}

// The frame's own defaults, before the game has had its say.
void SetUpFrame(FrameRoutine frameCallback) {
    SetUseVideoMemory(0);
    if (!CreateSlotSurface(kWorkBufferSlot, kScreenWidth, kScreenHeight, 0, 0))
        DebugLine("作業用バッファの構築に失敗しました。");
    DetectJoysticks();
    SetFrameRate(kStartFrameRate);
    SetQuitKey(VkEscape);
    ClearScreen(0);
    SetGdiTextDefaults();
    SetFade(1);
    SetFrameCallback(frameCallback);
    Frame.active = 1;
}

// One frame: input, the game, the presentation.
void RunFrame() {
    PollInput();
    Frame.frameCallback();
    if (g_frameTrace) g_frameTrace();
    PresentFrame();
}

}  // namespace

void SetFrameTrace(FrameTraceFn fn) { g_frameTrace = fn; }

StartResult StartApplication(const GameRoutines& game) {
    Frame = FrameState{};
    // A second start ends; the first one keeps running and comes to the front. The player is
    // told, by a box too when the first window could not be reached.
    if (!PlatformClaimInstance(kWindowClassName)) {
        DebugLine("%s", kAlreadyRunningMessage);
        if (!PlatformShowOtherInstance(kWindowClassName)) ErrorBox("%s", kAlreadyRunningMessage);
        return StartResult::AnotherRuns;
    }
    if (!CreateFrameWindow()) return StartResult::Failed;
    // Set-up failures have shown their own messages.
    if (!SetupDisplay()) return StartResult::Failed;
    if (!CreateSound()) return StartResult::Failed;
    SetUpFrame(game.frame);
    if (game.startup) game.startup();
    return StartResult::Started;
}

// One pass per frame while active; while inactive nothing runs until a message comes.
bool StepApplication() {
    if (PumpMessages() == 0) return false;
    if (!Frame.active) {
        PlatformWaitMessage();
        return true;
    }
    RunFrame();
    PaceFrame();
    return true;
}

bool RunDueFrames() {
    if (PumpMessages() == 0) return false;
    if (!Frame.active) return true;
    const int32_t due = FramesDue();
    // A frame that closed the window ends the call; the quit message ends the loop next time.
    for (int32_t i = 0; i < due && Frame.window; ++i) RunFrame();
    return true;
}

void StopApplication() {
    // The display and sound objects go in the reverse order of their creation.
    ReleaseSound();
    ReleaseDisplay();
}

StartResult RunApplication(const GameRoutines& game) {
    const StartResult started = StartApplication(game);
    if (started != StartResult::Started) return started;
    while (StepApplication()) {}
    return StartResult::Started;
}

void ResetApplication() { g_frameTrace = nullptr; }
