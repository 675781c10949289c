// Clocks, the cursor, folders, plug-in libraries and file syncs.
#define SDL_MAIN_HANDLED
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "hosts/posix_files.h"
#include "hosts/sdl/sdl_platform.h"
#include "platform/platform.h"
#include "platform/platform_window.h"

uint32_t PlatformMilliseconds() { return SDL_GetTicks(); }

void PlatformSleep(uint32_t ms) { SDL_Delay(ms); }

int64_t PlatformCalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void PlatformShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void* PlatformOpenLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

void* PlatformLibrarySymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void PlatformCloseLibrary(void* library) {
    if (library) dlclose(library);
}

bool PlatformExecutableFolder(char* path, int32_t size) {
    if (size <= 1) return false;
    const ssize_t length = readlink("/proc/self/exe", path, static_cast<size_t>(size - 1));
    if (length <= 0) return false;
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash) return false;
    *(slash == path ? slash + 1 : slash) = '\0';
    return true;
}

bool PlatformFolderExists(const char* path) {
    struct stat info;
    return path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformChangeFolder(const char* path) { return path && chdir(path) == 0; }

int64_t PlatformProcessId() { return static_cast<int64_t>(getpid()); }

bool PlatformProcessGone(int64_t pid) { return PosixProcessGone(pid); }

std::FILE* PlatformOpenRegularFile(const char* path, bool* missing) {
    return PosixOpenRegularFile(path, missing);
}

bool PlatformSyncFile(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    return fsync(fileno(file)) == 0;
}

// rename(2) replaces the old file in one step.
bool PlatformReplaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
