#include "program/program.h"

#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/game_folder.h"
#include "platform/platform.h"
#include "scenes/callbacks.h"
#include "scenes/replay_watch.h"
#include "shell/ranking_replays.h"

namespace {

constexpr const char* kUsage = "usage: plusrail [--replay FILE]";

}  // namespace

bool PrepareGame(int argc, const char* const* argv, GameRoutines* routines, int* status) {
    *routines = GameRoutines{StartupCallback, FrameCallback};
    *status = kExitDone;
    if (argc >= 2 && std::strcmp(argv[1], "--replay") == 0) {
        if (argc != 3) {
            PlatformReport(kUsage, true);
            *status = kExitUsage;
            return false;
        }
        // Read where the player named it, before the game moves to its own folder.
        ReplayInfo info;
        const ReplayStatus read = ReadReplayFile(argv[2], &info);
        if (read != ReplayStatus::Ok) {
            char text[1200];
            std::snprintf(text, sizeof text, "plusrail: %s: %s", argv[2], ReplayStatusText(read));
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
    RunApplication(routines);
    // The display and sound objects live until the loop is over.
    StopApplication();
    return kExitDone;
}
