// One game at a time: an advisory lock on a file named after the window class, held until the
// process ends (the lock goes with the process however it ends). The file holds the holder's
// process id, so that a second start can ask the first to come to the front.
#define SDL_MAIN_HANDLED
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hosts/sdl/sdl_platform.h"
#include "platform/platform_window.h"

namespace {

volatile sig_atomic_t g_raiseAsked;

void AskedToRaise(int) { g_raiseAsked = 1; }

void LockPath(char* path, size_t size, const char* className) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || !*dir) dir = "/tmp";
    std::snprintf(path, size, "%s/%s.lock", dir, className);
}

}  // namespace

bool PlatformClaimInstance(const char* className) {
    char path[512];
    LockPath(path, sizeof path, className);
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock that cannot be made at all must not keep the game from starting.
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool heldByOther = errno == EWOULDBLOCK;
        close(fd);
        return !heldByOther;
    }
    char pid[32];
    const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
    if (ftruncate(fd, 0) == 0 && write(fd, pid, static_cast<size_t>(length)) == length) {
        struct sigaction action {};
        action.sa_handler = AskedToRaise;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGUSR1, &action, nullptr);
    }
    return true;
}

bool PlatformShowOtherInstance(const char* className) {
    char path[512];
    LockPath(path, sizeof path, className);
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    long pid = 0;
    const bool read = std::fscanf(file, "%ld", &pid) == 1;
    std::fclose(file);
    return read && pid > 1 && pid != static_cast<long>(getpid()) &&
           kill(static_cast<pid_t>(pid), SIGUSR1) == 0;
}

// Called from the message pump: a second start asked this game to come to the front.
void SdlRaiseIfAsked() {
    if (!g_raiseAsked) return;
    g_raiseAsked = 0;
    SDL_Window* window = SdlMainWindow();
    if (!window) return;
    SDL_RestoreWindow(window);
    SDL_RaiseWindow(window);
}
