// plusrail-sim: the whole program on the headless platform, driven by a script of window
// messages per frame, on a clock that moves only by the frame's own sleeps.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/start_choice.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "platform/keys.h"
#include "program/program.h"
#include "program/version.h"
#include "rules/replay_file.h"
#include "scenes/callbacks.h"
#include "scenes/replay_watch.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sim_output.h"
#include "sim_script.h"
#include "sim_soak.h"
#include "sound/sound.h"

namespace {

constexpr const char* kUsage =
    "usage: plusrail-sim --dir DIR [--frames N] [--input FILE] [--clock-start S] "
    "[--state FILE] [--events FILE] [--digests FILE] [--shot N:FILE.bmp]... [--no-sound] "
    "[--window] [--audio FILE] | "
    "plusrail-sim --dir DIR --soak FRAMES [--soak-seed N] | "
    "plusrail-sim --replay FILE --verify | "
    "plusrail-sim --dir DIR --replay FILE [--frames N] [--input FILE] [--events FILE] ... | "
    "plusrail-sim --help | plusrail-sim --version";
constexpr const char* kHelp =
    "plusrail-sim: the whole game on a headless platform, driven by a script of keys per\n"
    "frame, on a clock that moves only by the frame's own sleeps.\n"
    "\n"
    "usage: plusrail-sim --dir DIR [options]         play a script\n"
    "       plusrail-sim --dir DIR --soak FRAMES [--soak-seed N]   random keys, checked\n"
    "       plusrail-sim --replay FILE --verify      replay a game through the rules alone\n"
    "       plusrail-sim --dir DIR --replay FILE [options]   watch a replay\n"
    "       plusrail-sim --help | --version\n"
    "\n"
    "  --dir DIR          the game's folder (its bmp/ and wave/; the data files go there)\n"
    "  --frames N         frames to run (600)\n"
    "  --input FILE       the script: keys, joystick, close, (de)activation per frame\n"
    "  --clock-start S    the calendar time at the start, in seconds\n"
    "  --state FILE       the state at the end, as JSON\n"
    "  --events FILE      the log of scenes, sounds, messages and saves\n"
    "  --digests FILE     a digest of the picture every 100 frames\n"
    "  --shot N:FILE.bmp  the picture of frame N\n"
    "  --no-sound         start without a sound device, as plusrail --no-sound\n"
    "  --window           start in a window, as plusrail --window\n"
    "  --audio FILE       what reached the sound device: opens, buffers, fills, starts\n"
    "  --help             this text;  --version  the version of the program, rules, replays\n"
    "\n"
    "Exit status: 0 done; 1 a replay that cannot be watched or verified; 2 a wrong argument\n"
    "or an output that cannot be written; 3 the game could not start.";
constexpr uint32_t kCentre = 32767, kFarEnd = 65535;
constexpr int64_t kDigestEvery = 100;
constexpr const char* kProblem =
    "problem: ";  // how the headless host marks a problem report  // FrameCallback calls between
                  // two back-buffer digests

struct Shot {
    int64_t frame;
    std::string path;
};

struct SimOptions {
    std::string dir;
    int64_t frames = 600;
    std::string input;
    int64_t clockStart = 0;
    std::string state;
    std::string events;
    std::string digests;
    std::vector<Shot> shots;
    int64_t soakFrames = -1;  // -1: a scripted run
    int64_t soakSeed = 1;
    std::string replay;
    bool verify = false;
    bool silent = false;    // as plusrail --no-sound
    bool windowed = false;  // as plusrail --window
    std::string audio;
};

struct SimRun {
    SimOptions options;
    SimScript script;
    size_t nextEvent = 0;
    int64_t framesRun = 0;  // FrameCallback calls completed
    FILE* events = nullptr;
    FILE* digests = nullptr;
    size_t debugSeen = 0, errorBoxesSeen = 0;
    int32_t lastSceneId = 0;
    bool outputFailed = false;  // a picture or the state could not be written: exit 2
    bool altDown = false;
    bool joy[JoyInputButton1 + 8] = {};
};

SimRun g_run;

[[noreturn]] void Refuse(const std::string& why) {
    std::fprintf(stderr, "plusrail-sim: %s\n", why.c_str());
    std::exit(2);
}

bool ParseCount(const std::string& text, int64_t* value) {
    if (text.empty() || text.size() > 12) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    *value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

Shot ParseShot(const std::string& value) {
    const size_t colon = value.find(':');
    Shot shot;
    if (colon == std::string::npos || colon + 1 == value.size() ||
        !ParseCount(value.substr(0, colon), &shot.frame))
        Refuse("--shot takes N:FILE.bmp, not " + value);
    shot.path = value.substr(colon + 1);
    return shot;
}

SimOptions ParseArguments(int argc, char** argv) {
    SimOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help") {
            std::printf("%s\n", kHelp);
            std::exit(0);
        }
        if (name == "--version") {
            std::printf("plusrail-sim %s (rules version %u, replay format version %u)\n",
                        kProgramVersion, static_cast<unsigned>(kReplayRulesVersion),
                        static_cast<unsigned>(kReplayFormatVersion));
            std::exit(0);
        }
        if (name == "--verify" || name == "--no-sound" || name == "--window") {
            o.verify = o.verify || name == "--verify";
            o.silent = o.silent || name == "--no-sound";
            o.windowed = o.windowed || name == "--window";
            continue;
        }
        if (i + 1 >= argc) Refuse(name + " needs a value; " + kUsage);
        const std::string value = argv[++i];
        if (name == "--dir") {
            o.dir = value;
        } else if (name == "--frames") {
            if (!ParseCount(value, &o.frames)) Refuse("--frames takes a count, not " + value);
        } else if (name == "--input") {
            o.input = value;
        } else if (name == "--clock-start") {
            if (!ParseCount(value, &o.clockStart))
                Refuse("--clock-start takes seconds, not " + value);
        } else if (name == "--state") {
            o.state = value;
        } else if (name == "--events") {
            o.events = value;
        } else if (name == "--digests") {
            o.digests = value;
        } else if (name == "--soak") {
            if (!ParseCount(value, &o.soakFrames)) Refuse("--soak takes a count, not " + value);
        } else if (name == "--soak-seed") {
            if (!ParseCount(value, &o.soakSeed) || o.soakSeed > UINT32_MAX)
                Refuse("--soak-seed takes a number up to 4294967295, not " + value);
        } else if (name == "--replay") {
            o.replay = value;
        } else if (name == "--audio") {
            o.audio = value;
        } else if (name == "--shot") {
            o.shots.push_back(ParseShot(value));
        } else {
            Refuse("unknown option " + name + "; " + kUsage);
        }
    }
    if (o.verify) {
        if (o.replay.empty()) Refuse(std::string("--verify needs --replay FILE; ") + kUsage);
        return o;
    }
    if (o.dir.empty()) Refuse(std::string("--dir is required; ") + kUsage);
    // Frames run from 0 to N - 1: a picture of a later one could never be taken.
    for (const Shot& shot : o.shots)
        if (shot.frame >= o.frames)
            Refuse("--shot " + std::to_string(shot.frame) + " is past the last frame, " +
                   std::to_string(o.frames - 1));
    return o;
}

// Output paths are meant from where the simulator was started, not from DIR.
std::string Absolute(const std::string& path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
}

void Log(const std::string& text) {
    if (g_run.events)
        std::fprintf(g_run.events, "%lld %s\n", static_cast<long long>(g_run.framesRun),
                     text.c_str());
}

std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

// Brings the log up to date with what the program showed and where it went.
void Sync() {
    const HeadlessRecord& r = HeadlessRecorded();
    for (; g_run.debugSeen < r.debugLines.size(); ++g_run.debugSeen)
        Log("debug " + OneLine(r.debugLines[g_run.debugSeen]));
    for (; g_run.errorBoxesSeen < r.errorBoxes.size(); ++g_run.errorBoxesSeen) {
        const std::string& box = r.errorBoxes[g_run.errorBoxesSeen];
        const size_t colon = box.find(": ");
        Log("errorbox " + OneLine(colon == std::string::npos ? box : box.substr(colon + 2)));
    }
    if (Scene.id != g_run.lastSceneId) {
        g_run.lastSceneId = Scene.id;
        Log("scene " + std::to_string(Scene.id));
    }
}

void OnWave(WaveOp op, uint16_t slot, int32_t loop, int32_t result) {
    Sync();
    if (op == WaveOpPlay)
        Log("play " + std::to_string(slot) + " " + std::to_string(loop) + " " +
            std::to_string(result));
    else
        Log("stop " + std::to_string(slot) + " " + std::to_string(result));
}

void OnSave(const char* name) {
    Sync();
    Log(std::string("save ") + name);
}

void SetJoystick() {
    const bool* j = g_run.joy;
    const uint32_t x = j[JoyInputLeft] ? 0 : (j[JoyInputRight] ? kFarEnd : kCentre);
    const uint32_t y = j[JoyInputUp] ? 0 : (j[JoyInputDown] ? kFarEnd : kCentre);
    uint32_t buttons = 0;
    for (int b = 0; b < 8; ++b)
        if (j[JoyInputButton1 + b]) buttons |= 1u << b;
    HeadlessSetJoystick(0, x, y, buttons);
}

// A key with Alt down (or Alt itself) arrives as a system key.
void Deliver(const SimEvent& e) {
    switch (e.kind) {
        case SimKeyDown:
        case SimKeyUp: {
            const bool down = e.kind == SimKeyDown;
            const bool system = e.code == VkMenu || g_run.altDown;
            if (e.code == VkMenu) g_run.altDown = down;
            const int32_t type =
                down ? (system ? MsgSysKeyDown : MsgKeyDown) : (system ? MsgSysKeyUp : MsgKeyUp);
            HeadlessPostMessage(PlatformMessage{type, e.code, 0, 0});
            break;
        }
        case SimClose: HeadlessPostMessage(PlatformMessage{MsgClose, 0, 0, 0}); break;
        case SimDeactivate: HeadlessPostMessage(PlatformMessage{MsgDeactivate, 0, 0, 0}); break;
        case SimActivate: HeadlessPostMessage(PlatformMessage{MsgActivate, 0, 0, 0}); break;
        case SimLoseSurfaces: LoseAllSurfaces(); break;
        case SimJoyPress:
        case SimJoyRelease:
            g_run.joy[e.code] = e.kind == SimJoyPress;
            SetJoystick();
            break;
    }
}

// More messages than the queue holds are lost; one line says how many, not one per message.
void DeliverUpTo(int64_t frame) {
    const std::vector<SimEvent>& events = g_run.script.events;
    const int32_t droppedBefore = HeadlessDroppedMessages();
    while (g_run.nextEvent < events.size() && events[g_run.nextEvent].frame <= frame)
        Deliver(events[g_run.nextEvent++]);
    const int32_t dropped = HeadlessDroppedMessages() - droppedBefore;
    if (dropped > 0)
        std::fprintf(stderr,
                     "plusrail-sim: frame %lld: the message queue holds %d messages, %d dropped\n",
                     static_cast<long long>(frame), kHeadlessQueueSize, dropped);
}

// While the window is inactive no frame runs: the next scripted moment comes at once.
void OnIdle() {
    const std::vector<SimEvent>& events = g_run.script.events;
    if (g_run.nextEvent < events.size()) DeliverUpTo(events[g_run.nextEvent].frame);
}

void OnFrame() {
    Sync();
    for (const Shot& shot : g_run.options.shots)
        if (shot.frame == g_run.framesRun && !WriteShot(shot.path)) {
            std::fprintf(stderr, "plusrail-sim: cannot write %s\n", shot.path.c_str());
            g_run.outputFailed = true;
        }
    if (g_run.digests && g_run.framesRun % kDigestEvery == 0)
        std::fprintf(g_run.digests, "%lld %s\n", static_cast<long long>(g_run.framesRun),
                     BackBufferDigest().c_str());
    ++g_run.framesRun;
    if (g_run.framesRun >= g_run.options.frames)
        PlatformPostQuit();
    else
        DeliverUpTo(g_run.framesRun);
}

// What the sound device was asked to do over the whole run, a line each.
bool WriteAudio(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const HeadlessAudioTotals& reached = HeadlessAudioReached();
    std::fprintf(file, "opens %d\nbuffers %d\nfills %d\nstarts %d\n", reached.opens,
                 reached.buffers, reached.fills, reached.starts);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    g_run.options = ParseArguments(argc, argv);
    SimOptions& o = g_run.options;
    if (o.verify) {
        // The rules alone, headless: 0 when the replay reaches its recorded result.
        char message[512];
        const ReplayVerdict verdict = VerifyReplayFile(o.replay.c_str(), message, sizeof message);
        std::fprintf(verdict == ReplayVerdict::Same ? stdout : stderr, "plusrail-sim: %s\n",
                     message);
        return verdict == ReplayVerdict::Same ? 0 : 1;
    }
    if (o.soakFrames >= 0) {
        std::error_code ec;
        std::filesystem::current_path(o.dir, ec);
        if (ec) Refuse("cannot enter " + o.dir + ": " + ec.message());
        return RunSoak(o.soakFrames, static_cast<uint32_t>(o.soakSeed));
    }
    std::string error;
    if (!o.input.empty() && !ReadScript(o.input, &g_run.script, &error)) Refuse(error);
    o.state = Absolute(o.state);
    o.events = Absolute(o.events);
    o.digests = Absolute(o.digests);
    o.audio = Absolute(o.audio);
    for (Shot& shot : o.shots) shot.path = Absolute(shot.path);
    // Binary: the logs are the same bytes on every system, with no line ends translated.
    if (!o.events.empty() && !(g_run.events = std::fopen(o.events.c_str(), "wb")))
        Refuse("cannot write the event log " + o.events);
    if (!o.digests.empty() && !(g_run.digests = std::fopen(o.digests.c_str(), "wb")))
        Refuse("cannot write the digest file " + o.digests);
    GameRoutines routines{StartupCallback, FrameCallback};
    if (!o.replay.empty()) {
        // The program watching a replay, as plusrail --replay FILE runs it.
        ReplayInfo info;
        const ReplayStatus status = ReadReplayFile(o.replay.c_str(), &info);
        if (status != ReplayStatus::Ok) {
            std::fprintf(stderr, "plusrail-sim: %s: %s\n", o.replay.c_str(),
                         ReplayStatusText(status));
            return 1;
        }
        routines = GameRoutines{ReplayStartupCallback, ReplayFrameCallback};
    }
    std::error_code ec;
    std::filesystem::current_path(o.dir, ec);
    if (ec) Refuse("cannot enter " + o.dir + ": " + ec.message());

    HeadlessReset();
    HeadlessResetWindow();
    HeadlessSetCalendarSeconds(o.clockStart);
    if (g_run.script.usesJoystick) HeadlessSetJoystickCount(1);
    g_run.lastSceneId = Scene.id;
    SetWaveTrace(OnWave);
    SetSaveTrace(OnSave);
    SetFrameTrace(OnFrame);
    HeadlessSetIdleHook(OnIdle);
    StartChoice.silent = o.silent;
    StartChoice.windowed = o.windowed;

    if (o.frames == 0)
        PlatformPostQuit();
    else
        DeliverUpTo(0);
    const StartResult started = RunApplication(routines);
    Sync();
    // What the program told whoever started it, as a terminal would show it.
    for (const std::string& report : HeadlessRecorded().reports) {
        const bool problem = report.rfind(kProblem, 0) == 0;
        std::fprintf(problem ? stderr : stdout, "%s\n",
                     problem ? report.c_str() + std::strlen(kProblem) : report.c_str());
    }

    const bool ended = HeadlessWindow().destroyed;
    if (!o.state.empty() && !WriteState(o.state, g_run.framesRun, ended)) {
        std::fprintf(stderr, "plusrail-sim: cannot write %s\n", o.state.c_str());
        g_run.outputFailed = true;
    }
    if (!o.audio.empty() && !WriteAudio(o.audio)) {
        std::fprintf(stderr, "plusrail-sim: cannot write %s\n", o.audio.c_str());
        g_run.outputFailed = true;
    }
    if (g_run.events) std::fclose(g_run.events);
    if (g_run.digests) std::fclose(g_run.digests);
    if (started == StartResult::Failed) return kExitStartFailed;
    return g_run.outputFailed ? 2 : 0;
}
