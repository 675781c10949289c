#include "hosts/windows_files.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h must come first.
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>

std::FILE* Win32OpenRegularFile(const char* path, bool* missing) {
    *missing = false;
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        *missing = errno == ENOENT;
        return nullptr;
    }
    struct _stat64 info;
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool Win32ProcessGone(int64_t pid) {
    if (pid <= 0 || pid > static_cast<int64_t>(UINT32_MAX)) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    // Refused access means the process is there.
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

bool Win32TakeFolderLock(const char* prefix, const char* folder) {
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return true;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    // A folder that cannot be told apart cannot be locked; the run goes on without.
    if (!known) return true;
    char name[160];
    std::snprintf(name, sizeof name, "Local\\%s %lx-%lx-%lx", prefix,
                  static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh),
                  static_cast<unsigned long>(info.nFileIndexLow));
    // The handle stays open: the mutex's name lasts as long as the process.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex == nullptr || !existed;
}
