// The process entry of the SDL build.
#define SDL_MAIN_HANDLED
#include "hosts/sdl/sdl_platform.h"

#include "program/program.h"

int main(int argc, char** argv) {
    SDL_SetMainReady();
    const int status = RunGame(argc, argv);
    SdlShutdown();
    return status;
}
