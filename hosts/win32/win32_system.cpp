// Keys, the multimedia clock, the cursor, folders, files and plug-in libraries.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"
#include "hosts/windows_files.h"

#include <io.h>
#include <mmsystem.h>

#include <cstdio>
#include <ctime>

#include "platform/platform.h"
#include "platform/platform_window.h"

namespace {

constexpr int32_t kPathLength = MAX_PATH * 2;

bool g_cursorHidden;

}  // namespace

bool PlatformKeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return false;
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

uint32_t PlatformMilliseconds() { return timeGetTime(); }

void PlatformSleep(uint32_t ms) { Sleep(ms); }

int64_t PlatformCalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

// ShowCursor keeps a count; only a change of mind is passed on, so that one call undoes another.
void PlatformShowCursor(bool show) {
    if (show == !g_cursorHidden) return;
    g_cursorHidden = !show;
    ShowCursor(show ? TRUE : FALSE);
}

bool Win32CursorHidden() { return g_cursorHidden; }

bool PlatformExecutableFolder(char* path, int32_t size) {
    wchar_t wide[kPathLength];
    const DWORD length = GetModuleFileNameW(nullptr, wide, kPathLength);
    if (length == 0 || length >= static_cast<DWORD>(kPathLength)) return false;
    wchar_t* slash = nullptr;
    for (wchar_t* c = wide; *c; ++c)
        if (*c == L'\\' || *c == L'/') slash = c;
    if (!slash) return false;
    *slash = L'\0';
    return Narrow(path, size, wide);
}

bool PlatformFolderExists(const char* path) {
    if (!path) return false;
    wchar_t wide[kPathLength];
    Widen(wide, kPathLength, path);
    const DWORD attributes = GetFileAttributesW(wide);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PlatformChangeFolder(const char* path) {
    if (!path) return false;
    wchar_t wide[kPathLength];
    Widen(wide, kPathLength, path);
    return SetCurrentDirectoryW(wide) != 0;
}

int64_t PlatformProcessId() { return static_cast<int64_t>(GetCurrentProcessId()); }

bool PlatformProcessGone(int64_t pid) { return Win32ProcessGone(pid); }

std::FILE* PlatformOpenRegularFile(const char* path, bool* missing) {
    return Win32OpenRegularFile(path, missing);
}

bool PlatformSyncFile(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    const intptr_t handle = _get_osfhandle(_fileno(file));
    if (handle == -1) return false;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0;
}

// rename() will not replace an existing file on Windows. MoveFileEx does, in one step, and
// with the write-through flag it returns only once the move is on the disk.
bool PlatformReplaceFile(const char* from, const char* to) {
    wchar_t wideFrom[kPathLength], wideTo[kPathLength];
    Widen(wideFrom, kPathLength, from);
    Widen(wideTo, kPathLength, to);
    return MoveFileExW(wideFrom, wideTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void* PlatformOpenLibrary(const char* path) {
    if (!path) return nullptr;
    wchar_t wide[kPathLength];
    Widen(wide, kPathLength, path);
    return LoadLibraryW(wide);
}

void* PlatformLibrarySymbol(void* library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void PlatformCloseLibrary(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}
