#include "scenes/replay_watch.h"

#include <climits>
#include <cstdio>

#include "app/window_procedure.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/sprite.h"
#include "frame/surface.h"
#include "game/game_scene.h"
#include "game/game_screen.h"
#include "game/game_screen_panel.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "input/input.h"
#include "platform/platform.h"
#include "rules/field.h"
#include "rules/verify.h"
#include "shell/catalogue.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"

namespace {

constexpr int32_t kFrameRate = 60;
constexpr int32_t kResultFrames = 240;  // the recorded result stays four seconds
constexpr int kFastUpdates = 4;         // a frame's updates while KEY 1 is held
constexpr uint32_t kSlowEvery = 2;      // while KEY 3 alone is held: an update every second frame
constexpr int32_t kResultFont = FontSmall1;
constexpr int32_t kResultTitleFont = FontSmall1 + 2;  // yellow

// Only the game scene: the game's hand-over names scenes that do not run while watching.
const SceneEntry kWatchScenes[] = {
    {SceneGameNormal, nullptr, nullptr, nullptr},
};

struct WatchState {
    ReplayInfo info;
    ReplayCursor cursor;
    bool started;
    bool over;
    bool firstFrameDrawn;
    bool reported;
    uint32_t tick;       // frames shown, for half speed
    int32_t resultLeft;  // frames the result still shows
};
WatchState g_watch;

void EndWatching() {
    g_watch.over = true;
    // A game that was left by a close request hands over here: its runs are all there is.
    FinishRecording(ReplayEndLeft);
}

// Says once, to whoever started the program, whether the game came out as recorded.
void ReportEnd() {
    if (g_watch.reported || !g_watch.started) return;
    g_watch.reported = true;
    int64_t want = 0, got = 0;
    const char* field = FirstResultDifference(g_watch.info.result, WatchedResult(), &want, &got);
    char text[256];
    if (field) {
        std::snprintf(text, sizeof text,
                      "plusrail: the replay did not reach its recorded result: %s differs: "
                      "recorded %lld, replayed %lld",
                      field, static_cast<long long>(want), static_cast<long long>(got));
    } else {
        std::snprintf(text, sizeof text,
                      "plusrail: the replay reached its recorded result (score %d, %u updates)",
                      static_cast<int>(g_watch.info.result.score), g_watch.info.result.updates);
    }
    PlatformReport(text, field != nullptr);
}

void DrawResultLine(int32_t row, const char* label, int32_t value) {
    char text[48];
    std::snprintf(text, sizeof text, "%-8s%10d", label, static_cast<int>(value));
    DrawText(0, row, text, kResultFont, TextCellsCentred);
}

// The result stands on a darkened band over the field, readable over any picture.
constexpr int32_t kBandLeft = 144, kBandTop = 132, kBandRight = 496, kBandBottom = 356;

void DarkenBand() {
    Surface* back = DisplayDevice.back;
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    if (!back || LockSurface(back, &pixels, &pitch) != SurfaceOk) return;
    const int32_t right = back->width < kBandRight ? back->width : kBandRight;
    const int32_t bottom = back->height < kBandBottom ? back->height : kBandBottom;
    for (int32_t y = kBandTop; y < bottom; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + y * pitch);
        // A quarter of each channel: shift each down two bits within its own field.
        for (int32_t x = kBandLeft; x < right; ++x)
            row[x] = static_cast<uint16_t>((row[x] >> 2) & 0x39E7);
    }
    UnlockSurface(back);
}

void DrawRecordedResult() {
    DarkenBand();
    const ReplayResult& r = g_watch.info.result;
    DrawText(0, 9, "REPLAY END", kResultTitleFont, TextCellsCentred);
    DrawResultLine(11, "SCORE", r.score);
    DrawResultLine(13, "LINES", r.lines);
    DrawResultLine(15, "LEVEL", r.level);
    char text[48];
    const int32_t seconds = r.elapsedMs / 1000;
    std::snprintf(text, sizeof text, "%-8s%4d:%02d:%02d", "TIME", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    DrawText(0, 17, text, kResultFont, TextCellsCentred);
    std::snprintf(text, sizeof text, "MEDALS %d %d %d %d %d %d", static_cast<int>(r.medals[0]),
                  static_cast<int>(r.medals[1]), static_cast<int>(r.medals[2]),
                  static_cast<int>(r.medals[3]), static_cast<int>(r.medals[4]),
                  static_cast<int>(r.medals[5]));
    DrawText(0, 19, text, kResultFont, TextCellsCentred);
    if (g_watch.info.incomplete) DrawText(0, 21, "INCOMPLETE", kResultTitleFont, TextCellsCentred);
}

}  // namespace

void StartWatching(const ReplayInfo& info, const uint8_t* image) {
    g_watch = WatchState{};
    g_watch.info = info;
    g_watch.cursor = StartCursor(image, info);
    g_watch.started = true;
    SetSceneTable(kWatchScenes, 1);
    SetRecordingWritesFiles(false);

    Settings.keyConfig = info.keyConfig;
    Settings.showLineShadow = info.showLineShadow;
    Settings.eraseProperty = info.eraseProperty;
    Settings.fpsDisplay = info.fpsDisplay;
    ResetButtons();
    Scene.startLevel = info.startLevel;
    // The game deals from the frame count of its start (normal mode) or from Game.seed.
    Scene.frame = info.seed;
    Game.seed = info.seed;
    StartGame(info.mode);
}

bool StepWatching() {
    if (!g_watch.started || g_watch.over) return false;
    uint32_t packed = 0;
    if (!RecordingActive() || !NextFrame(g_watch.cursor, &packed)) {
        EndWatching();
        return false;
    }
    ButtonLatch = UnpackLatch(packed);
    // As in play, each update sees the count of the frame it runs in.
    Scene.frame = Scene.frame == INT32_MAX ? 0 : Scene.frame + 1;
    GameUpdate();
    if (!RecordingActive()) g_watch.over = true;
    return true;
}

bool WatchingOver() { return g_watch.over; }

const ReplayResult& WatchedResult() { return RecordedInfo().result; }

void ReplayStartupCallback() {
    SetFrameRate(kFrameRate);
    PlatformShowCursor(false);
    EnableJoystick(1);
    SetCloseCallback(ReplayCloseCallback);
    LoadFonts();
    LoadGameBitmaps();
    LoadWaves();
    ReplayInfo info;
    if (ReadReplay(WatchedImage().bytes, WatchedImage().size, &info) == ReplayStatus::Ok) {
        StartWatching(info, WatchedImage().bytes);
    } else {
        g_watch.over = true;
    }
    g_watch.resultLeft = kResultFrames;
}

void ReplayFrameCallback() {
    ClearScreen(0);
    // The player's own buttons only choose the speed; the game gets the recorded ones.
    LatchButtons();
    const bool fast = ButtonIsDown(ButtonLatch.key[1]);
    const bool slow = ButtonIsDown(ButtonLatch.key[3]);
    int updates = fast ? kFastUpdates : 1;
    if (slow && !fast) updates = g_watch.tick % kSlowEvery == 0 ? 1 : 0;
    ++g_watch.tick;
    // The game's first frame shows READY before any update, as the mode select's last did.
    if (!g_watch.firstFrameDrawn) {
        g_watch.firstFrameDrawn = true;
        updates = 0;
    }
    for (int i = 0; i < updates && StepWatching(); ++i) {}
    if (g_watch.started) GameDraw();
    // Over the fades too: from its first frame the picture says it is a replay. The speed
    // shows only while the game still runs at it.
    char speed[16] = "";
    if (!g_watch.over && fast) {
        std::snprintf(speed, sizeof speed, "x%d", kFastUpdates);
    } else if (!g_watch.over && slow) {
        std::snprintf(speed, sizeof speed, "x1/%u", kSlowEvery);
    }
    DrawReplayMark(speed[0] ? speed : nullptr);
    if (g_watch.over) {
        ReportEnd();
        DrawRecordedResult();
        if (--g_watch.resultLeft <= 0) RequestClose();
    }
}

int32_t ReplayCloseCallback() { return 1; }

void ResetReplayWatch() { g_watch = WatchState{}; }
