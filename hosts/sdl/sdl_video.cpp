// The connection to the desktop's display. Without one (no DISPLAY, no Wayland socket, no
// console display), SDL would fall back on a video driver that draws into memory: the game
// would run unseen, holding the single-copy lock, and the next real start would be told it is
// already running. Such a driver is taken only when the player names it (SDL_VIDEODRIVER).
#define SDL_MAIN_HANDLED
#include <cstring>

#include "hosts/sdl/sdl_platform.h"

namespace {

// SDL's drivers that show nothing on any screen.
constexpr const char* kUnseenDrivers[] = {"offscreen", "dummy", "evdev"};

bool DriverIsUnseen(const char* driver) {
    for (const char* unseen : kUnseenDrivers)
        if (driver && std::strcmp(driver, unseen) == 0) return true;
    return false;
}

}  // namespace

bool SdlOpenVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const bool named = asked && asked[0];
    if (!named && DriverIsUnseen(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}
