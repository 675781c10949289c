// One game at a time per user: an advisory lock in the user's own lock folder, held until the
// process ends (the lock goes with the process however it ends). The file holds the holder's
// process id, so that a second start can ask the first to come to the front.
#define SDL_MAIN_HANDLED
#include <signal.h>

#include "hosts/posix_lock.h"
#include "hosts/sdl/sdl_platform.h"
#include "platform/platform_window.h"

namespace {

volatile sig_atomic_t g_raiseAsked;

void AskedToRaise(int) { g_raiseAsked = 1; }

}  // namespace

bool PlatformClaimInstance(const char* className) {
    // Ready before the id is in the file: a second start may signal as soon as it is.
    struct sigaction action {};
    action.sa_handler = AskedToRaise;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, nullptr);
    // A lock that cannot be made at all must not keep the game from starting.
    return PosixTakeLock(className) != PosixLockClaim::Held;
}

bool PlatformShowOtherInstance(const char* className) {
    const int64_t holder = PosixLockHolder(className);
    return holder > 0 && kill(static_cast<pid_t>(holder), SIGUSR1) == 0;
}

// Read by the message pump: true once for each time a second start asked this game to come to
// the front.
bool SdlTakeRaiseRequest() {
    if (!g_raiseAsked) return false;
    g_raiseAsked = 0;
    return true;
}
