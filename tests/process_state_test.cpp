// Two whole sessions of the real program run back to back in one process, with
// ResetProcessState between them, give exactly what each gives alone in a new process: no
// record keeps anything from the session before.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/application.h"
#include "frame/display.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "scenes/callbacks.h"
#include "scenes/state.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/asset_link.h"

namespace {

namespace fs = std::filesystem;

constexpr int kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEscape = 27;
constexpr int kKey1 = 'Z', kKey3 = 'X', kKey7 = 'Q';

struct KeyEvent {
    int frame;
    int key;
    bool down;
};

struct Session {
    const char* name;
    int64_t calendarSeconds;  // the random seed comes from it
    int frames;               // the loop ends after this many calls, if it has not ended
    std::vector<KeyEvent> keys;
};

// A press of `hold` frames at `frame`.
void Tap(std::vector<KeyEvent>& keys, int frame, int key, int hold = 1) {
    keys.push_back({frame, key, true});
    keys.push_back({frame + hold, key, false});
}

// Moves, turns and drops chosen by a fixed generator, one every few frames.
void Play(std::vector<KeyEvent>& keys, int from, int to, uint32_t state) {
    constexpr int kPlayKeys[] = {kLeft, kRight, kKey1, kKey3, kUp, kDown};
    for (int frame = from; frame < to; frame += 6) {
        state = state * 1103515245u + 12345u;
        Tap(keys, frame, kPlayKeys[(state >> 16) % 6], 1 + static_cast<int>((state >> 8) % 3));
    }
}

// The options: a new key layout and graphic settings, then a game at level 50 ended with
// Escape, and Escape on the title, which saves and ends the program.
Session OptionsAndAGame() {
    Session s{"options", 1000, 3000, {}};
    Tap(s.keys, 250, kDown);
    Tap(s.keys, 254, kDown);
    Tap(s.keys, 258, kKey1);  // OPTION
    Tap(s.keys, 300, kKey1);  // KEY CONFIG
    Tap(s.keys, 340, kRight);
    Tap(s.keys, 344, kRight);
    Tap(s.keys, 350, kEscape);
    Tap(s.keys, 380, kDown);
    Tap(s.keys, 384, kDown);
    Tap(s.keys, 388, kKey1);  // GRAPHIC
    Tap(s.keys, 430, kRight);
    Tap(s.keys, 434, kDown);
    Tap(s.keys, 438, kRight);
    Tap(s.keys, 450, kEscape);
    Tap(s.keys, 480, kEscape);  // back to the title, on OPTION
    Tap(s.keys, 510, kUp);
    Tap(s.keys, 514, kUp);
    Tap(s.keys, 520, kKey1);               // GAME START
    s.keys.push_back({555, kKey7, true});  // KEY 7 held: level 50
    Tap(s.keys, 560, kKey1);               // NORMAL MODE
    s.keys.push_back({570, kKey7, false});
    Play(s.keys, 700, 2200, 7);
    Tap(s.keys, 2300, kEscape);
    Tap(s.keys, 2400, kEscape);  // quits
    return s;
}

// The ranking from the title, then a game at level 0 played until the frames run out.
Session RankingAndALongGame() {
    Session s{"ranking", 77, 3600, {}};
    Tap(s.keys, 250, kDown);
    Tap(s.keys, 256, kKey1);  // RANKING
    Tap(s.keys, 500, kEscape);
    Tap(s.keys, 560, kKey1);  // GAME START
    Tap(s.keys, 600, kKey1);  // NORMAL MODE
    Play(s.keys, 700, 3500, 99);
    return s;
}

// What a session showed and left: the scene and sound log, a digest of the presented
// pictures, and the data files on disk.
struct Outcome {
    std::vector<std::string> log;
    uint64_t pictures = 0xcbf29ce484222325ull;
    std::string files;
    bool ended = false;
};

struct Run {
    const Session* session;
    size_t next;
    int frames;
    int32_t lastScene;
    Outcome* out;
};
Run g_run;

void Note(const std::string& text) {
    g_run.out->log.push_back(std::to_string(g_run.frames) + " " + text);
}

void OnFrame() {
    if (Scene.id != g_run.lastScene) Note("scene " + std::to_string(g_run.lastScene = Scene.id));
    // Every 25th picture: enough to see any difference that lasts, at a fraction of the cost.
    if (g_run.frames % 25 == 0) {
        const HeadlessWindowState& w = HeadlessWindow();
        const auto* bytes = reinterpret_cast<const uint8_t*>(w.picture);
        for (size_t i = 0; i < sizeof w.picture; ++i)
            g_run.out->pictures = (g_run.out->pictures ^ bytes[i]) * 0x100000001b3ull;
    }
    ++g_run.frames;
    const std::vector<KeyEvent>& keys = g_run.session->keys;
    for (; g_run.next < keys.size() && keys[g_run.next].frame <= g_run.frames; ++g_run.next) {
        const KeyEvent& k = keys[g_run.next];
        HeadlessPostMessage(PlatformMessage{k.down ? MsgKeyDown : MsgKeyUp, k.key, 0, 0});
    }
    if (g_run.frames >= g_run.session->frames) PlatformPostQuit();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the whole program in a new working directory holding the generated pictures and
// sounds. Nothing here resets the process: that is for the caller.
Outcome RunSession(const Session& session, const std::string& tag) {
    const fs::path old = fs::current_path();
    const fs::path dir =
        fs::path(testing::TempDir()) / ("plusrail_process_state_" + std::string(session.name) +
                                        "_" + tag + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR");
    if (binaryDir)
        for (const char* kind : {"bmp", "wave"})
            if (fs::exists(fs::path(binaryDir) / "game" / kind))
                LinkAssetFolder(fs::path(binaryDir) / "game" / kind, dir / kind);
    fs::current_path(dir);

    Outcome out;
    g_run = Run{&session, 0, 0, Scene.id, &out};
    HeadlessSetCalendarSeconds(session.calendarSeconds);
    SetFrameTrace(OnFrame);
    SetWaveTrace([](WaveOp op, uint16_t slot, int32_t loop, int32_t) {
        Note((op == WaveOpPlay ? "play " : "stop ") + std::to_string(slot) + " " +
             std::to_string(loop));
    });
    SetSaveTrace([](const char* name) { Note(std::string("save ") + name); });
    // Idle with nothing scripted would wait for ever: end instead.
    HeadlessSetIdleHook(nullptr);
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    out.ended = HeadlessWindow().destroyed;
    for (const char* name : {"config.dat", "rank_n.dat", "rank_e.dat"})
        out.files += std::string(name) + ":" + ReadFile(dir / name) + ";";
    fs::current_path(old);
    fs::remove_all(dir);
    return out;
}

// Between two sessions: the program's records and the headless machine as new.
void NewProcess() {
    ResetProcessState();
    HeadlessReset();
    HeadlessResetWindow();
    HeadlessAudioReset();
}

void ExpectSame(const Outcome& alone, const Outcome& after) {
    EXPECT_EQ(alone.log, after.log);
    EXPECT_EQ(alone.pictures, after.pictures);
    EXPECT_EQ(alone.files, after.files);
    EXPECT_EQ(alone.ended, after.ended);
}

bool Saw(const Outcome& o, const std::string& text) {
    for (const std::string& line : o.log)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// Each case starts in a process of its own, so its first session runs truly alone.
TEST(ProcessStateTest, OptionsSessionAfterAnotherSessionIsTheSessionAlone) {
    const Session first = OptionsAndAGame(), second = RankingAndALongGame();
    const Outcome alone = RunSession(first, "alone");
    // The session reaches what it is meant to: the option screens, a game, a save at the end.
    EXPECT_TRUE(Saw(alone, "scene 3") && Saw(alone, "scene 5") && Saw(alone, "scene 101"));
    EXPECT_TRUE(alone.ended && Saw(alone, "save config.dat"));
    NewProcess();
    RunSession(second, "between");
    NewProcess();
    ExpectSame(alone, RunSession(first, "after"));
}

TEST(ProcessStateTest, GameSessionAfterAnotherSessionIsTheSessionAlone) {
    const Session first = RankingAndALongGame(), second = OptionsAndAGame();
    const Outcome alone = RunSession(first, "alone");
    EXPECT_TRUE(Saw(alone, "scene 201") && Saw(alone, "scene 101") && !alone.ended);
    NewProcess();
    RunSession(second, "between");
    NewProcess();
    ExpectSame(alone, RunSession(first, "after"));
}

}  // namespace
