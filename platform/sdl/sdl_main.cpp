// The process entry of the SDL build.
#define SDL_MAIN_HANDLED
#include <cstdio>
#include <cstring>

#include "platform/sdl/sdl_platform.h"

#include "app/application.h"
#include "app/game_folder.h"
#include "frame/frame.h"
#include "scenes/callbacks.h"
#include "scenes/replay_watch.h"
#include "shell/ranking_replays.h"

int main(int argc, char** argv) {
    SDL_SetMainReady();
    GameRoutines routines{StartupCallback, FrameCallback};
    if (argc >= 2 && std::strcmp(argv[1], "--replay") == 0) {
        if (argc != 3) {
            std::fprintf(stderr, "usage: plusrail [--replay FILE]\n");
            return 2;
        }
        // Read where the player named it, before the game moves to its own folder.
        ReplayInfo info;
        const ReplayStatus status = ReadReplayFile(argv[2], &info);
        if (status != ReplayStatus::Ok) {
            std::fprintf(stderr, "plusrail: %s: %s\n", argv[2], ReplayStatusText(status));
            return 1;
        }
        routines = GameRoutines{ReplayStartupCallback, ReplayFrameCallback};
    }
    // Started from anywhere, the game still finds its pictures and sounds.
    EnterGameFolder();
    RunApplication(routines);
    // The display and sound objects live until the process ends.
    StopApplication();
    SdlShutdown();
    return 0;
}
