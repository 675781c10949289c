// The process entry of the SDL build.
#define SDL_MAIN_HANDLED
#include "platform/sdl/sdl_platform.h"

#include "app/application.h"
#include "app/game_folder.h"
#include "frame/frame.h"
#include "scenes/callbacks.h"

int main(int, char**) {
    SDL_SetMainReady();
    // Started from anywhere, the game still finds its pictures and sounds.
    EnterGameFolder();
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    // The display and sound objects live until the process ends.
    StopApplication();
    SdlShutdown();
    return 0;
}
