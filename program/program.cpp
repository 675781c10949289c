#include "program/program.h"

#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/game_folder.h"
#include "frame/start_choice.h"
#include "platform/platform.h"
#include "program/version.h"
#include "rules/replay_file.h"
#include "scenes/callbacks.h"
#include "scenes/replay_watch.h"
#include "shell/ranking_replays.h"

namespace {

constexpr const char* kUsage =
    "usage: plusrail [--window] [--no-sound] [--replay FILE] | plusrail --help | "
    "plusrail --version";

// The help, a line each: a platform may have room for one line at a time.
constexpr const char* kHelp[] = {
    "usage: plusrail [--window] [--no-sound] [--replay FILE]",
    "       plusrail --help | --version",
    "",
    "+RAIL, a falling-piece puzzle: lines, not blocks, fall; close a rectangle's outline to",
    "erase it with everything inside.",
    "",
    "  --window       start in a window instead of full screen",
    "  --no-sound     start without a sound device; the game plays in silence",
    "  --replay FILE  watch a recorded game (replays/last.rpl, replays/rank_n_0.rpl ...)",
    "  --help         print this text",
    "  --version      print the program's version, its rules' and its replays' format",
    "",
    "Keys (a joystick works too: the stick for the arrows, buttons 1..8 for KEY 1..KEY 8):",
    "  Arrows      UP DOWN LEFT RIGHT  move the cursor, change a value; in play LEFT and",
    "                                  RIGHT move the piece",
    "  Z, C        KEY 1, KEY 4        confirm",
    "  S, X        KEY 2, KEY 3        one letter back in the name entry",
    "  W, E        KEY 5, KEY 6        held while confirming NORMAL MODE: start at level",
    "                                  15, 25 (both: 35)",
    "  Q, R        KEY 7, KEY 8        the same: level 50, 70 (both: 100)",
    "  Enter                           nothing: Z or C confirms",
    "  Escape                          one screen back (in play: to the title); on the",
    "                                  title it saves and quits",
    "  Alt+Enter                       full screen or window",
    "In play the key layout (OPTION, KEY CONFIG; A-1 at first) turns the keys into moves.",
    "A-1: UP instant fall, DOWN speedy fall, Z and C rotate left, S and X rotate right.",
    "Layouts B, C, D put instant fall on W, E, Q; E has none; F is a small layout of its",
    "own. RIGHT + Z + Q + R together abandons the game.",
    "EXPERT MODE on the mode select starts no game: NORMAL MODE is the game.",
    "",
    "Exit status: 0 the game ran and closed (or a copy already running was brought to the",
    "front); 1 the replay cannot be watched; 2 an argument the program does not take;",
    "3 the game could not start (no window, no display mode, no sound device: its message",
    "says why and what to try).",
};

void ReportUsageProblem(const char* what) {
    char text[512];
    std::snprintf(text, sizeof text, "plusrail: %s", what);
    PlatformReport(text, true);
    PlatformReport(kUsage, true);
}

void ReportHelp() {
    for (const char* line : kHelp) PlatformReport(line, false);
}

void ReportVersion() {
    char text[256];
    std::snprintf(text, sizeof text, "plusrail %s (rules version %u, replay format version %u)",
                  kProgramVersion, static_cast<unsigned>(kReplayRulesVersion),
                  static_cast<unsigned>(kReplayFormatVersion));
    PlatformReport(text, false);
}

// What the command line asks for.
struct Arguments {
    bool help, version;
    bool windowed, silent;
    const char* replay;  // null: play
};

// False, with the problem reported, for an argument the program does not take.
bool ReadArguments(int argc, const char* const* argv, Arguments* out) {
    *out = Arguments{};
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        char problem[256];
        if (std::strcmp(name, "--help") == 0) {
            out->help = true;
        } else if (std::strcmp(name, "--version") == 0) {
            out->version = true;
        } else if (std::strcmp(name, "--window") == 0) {
            out->windowed = true;
        } else if (std::strcmp(name, "--no-sound") == 0) {
            out->silent = true;
        } else if (std::strcmp(name, "--replay") == 0) {
            if (i + 1 >= argc || out->replay) {
                ReportUsageProblem(out->replay ? "--replay is given twice"
                                               : "--replay needs a FILE");
                return false;
            }
            out->replay = argv[++i];
        } else {
            std::snprintf(problem, sizeof problem, "unknown argument %s", name);
            ReportUsageProblem(problem);
            return false;
        }
    }
    return true;
}

}  // namespace

bool PrepareGame(int argc, const char* const* argv, GameRoutines* routines, int* status) {
    *routines = GameRoutines{StartupCallback, FrameCallback};
    *status = kExitDone;
    Arguments arguments;
    if (!ReadArguments(argc, argv, &arguments)) {
        *status = kExitUsage;
        return false;
    }
    if (arguments.help || arguments.version) {
        if (arguments.help) ReportHelp();
        if (arguments.version) ReportVersion();
        return false;
    }
    StartChoice.windowed = arguments.windowed;
    StartChoice.silent = arguments.silent;
    if (arguments.replay) {
        // Read where the player named it, before the game moves to its own folder.
        ReplayInfo info;
        const ReplayStatus read = ReadReplayFile(arguments.replay, &info);
        if (read != ReplayStatus::Ok) {
            char text[1200];
            std::snprintf(text, sizeof text, "plusrail: %s: %s", arguments.replay,
                          ReplayStatusText(read));
            PlatformReport(text, true);
            *status = kExitRefused;
            return false;
        }
        *routines = GameRoutines{ReplayStartupCallback, ReplayFrameCallback};
    }
    // Started from anywhere, the game still finds its pictures and sounds.
    EnterGameFolder();
    return true;
}

int RunGame(int argc, const char* const* argv) {
    GameRoutines routines;
    int status = kExitDone;
    if (!PrepareGame(argc, argv, &routines, &status)) return status;
    const StartResult result = RunApplication(routines);
    // The display and sound objects live until the loop is over.
    StopApplication();
    return result == StartResult::Failed ? kExitStartFailed : kExitDone;
}
