// Clocks, the cursor, debug output, error boxes, the instance lock, plug-in libraries and
// file syncs.
#define SDL_MAIN_HANDLED
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/platform.h"
#include "platform/platform_window.h"
#include "platform/sdl/sdl_platform.h"

uint32_t PlatformMilliseconds() { return SDL_GetTicks(); }

void PlatformSleep(uint32_t ms) { SDL_Delay(ms); }

int64_t PlatformCalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void PlatformShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void PlatformDebugOutput(const char* text) {
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void PlatformErrorBox(const char* title, const char* text) {
    // Owned by the game's window so that it shows above full screen. Without a display the
    // box cannot show; the terminal is the next best reader.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, SdlMainWindow()) < 0)
        std::fprintf(stderr, "%s: %s\n", title, text);
}

// An advisory lock on a file named after the window class, held until the process ends;
// the lock goes with the process however it ends.
bool PlatformClaimInstance(const char* className) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || !*dir) dir = "/tmp";
    char path[512];
    std::snprintf(path, sizeof path, "%s/%s.lock", dir, className);
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock that cannot be made at all must not keep the game from starting.
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    const bool heldByOther = errno == EWOULDBLOCK;
    close(fd);
    return !heldByOther;
}

void* PlatformOpenLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

void* PlatformLibrarySymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void PlatformCloseLibrary(void* library) {
    if (library) dlclose(library);
}

int64_t PlatformProcessId() { return static_cast<int64_t>(getpid()); }

bool PlatformSyncFile(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}
