#include "hosts/headless/headless.h"
#include "platform/platform.h"

#ifdef _WIN32
// The same machine on Windows, so that the portable suites and the simulator build there too.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h must come first.
#include <psapi.h>
#include "hosts/windows_files.h"
#else
#include <sys/stat.h>
#include <unistd.h>

#include "hosts/posix_files.h"
#include "hosts/posix_lock.h"
#endif

#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxJoysticks = 8;

struct HeadlessMachine {
    bool keys[256];
    int joystickCount;
    PlatformJoyPos joysticks[kMaxJoysticks];
    uint32_t clockMs;
    uint32_t sleptMs;
    int64_t calendarSeconds;
    int64_t processId;
    int32_t failingSync;
    int32_t fileSyncs;
    char executableFolder[1024];  // empty: cannot be told
    char advice[256];             // empty: no advice for any trouble
};

HeadlessMachine g_machine;
HeadlessRecord g_record;

}  // namespace

void HeadlessReset() {
    std::memset(&g_machine, 0, sizeof g_machine);
    for (auto& pad : g_machine.joysticks) pad = {32767, 32767, 0};
    g_machine.processId = 1;
    g_record = HeadlessRecord{};
}

void HeadlessSetKey(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) g_machine.keys[virtualKey] = down;
}

bool HeadlessKeyIsDown(int virtualKey) {
    return virtualKey >= 0 && virtualKey < 256 && g_machine.keys[virtualKey];
}

void HeadlessSetJoystickCount(int count) {
    g_machine.joystickCount = count < 0 ? 0 : (count > kMaxJoysticks ? kMaxJoysticks : count);
}

void HeadlessSetJoystick(int id, uint32_t x, uint32_t y, uint32_t buttons) {
    if (id >= 0 && id < kMaxJoysticks) g_machine.joysticks[id] = {x, y, buttons};
}

void HeadlessAdvanceClock(uint32_t ms) { g_machine.clockMs += ms; }
void HeadlessSetClock(uint32_t ms) { g_machine.clockMs = ms; }
uint32_t HeadlessSleptMs() { return g_machine.sleptMs; }
void HeadlessSetCalendarSeconds(int64_t seconds) { g_machine.calendarSeconds = seconds; }

const HeadlessRecord& HeadlessRecorded() { return g_record; }
void HeadlessClearRecord() { g_record = HeadlessRecord{}; }

bool PlatformKeyDown(int virtualKey) { return HeadlessKeyIsDown(virtualKey); }

// A driver with eight device slots when any pad is plugged in, none otherwise.
int PlatformJoystickDevices() { return g_machine.joystickCount > 0 ? kMaxJoysticks : 0; }

bool PlatformJoystickCaps(int id) { return id >= 0 && id < g_machine.joystickCount; }

bool PlatformJoystickPos(int id, PlatformJoyPos* pos) {
    if (id < 0 || id >= g_machine.joystickCount) return false;
    *pos = g_machine.joysticks[id];
    return true;
}

uint32_t PlatformMilliseconds() { return g_machine.clockMs; }

void PlatformSleep(uint32_t ms) {
    g_machine.clockMs += ms;
    g_machine.sleptMs += ms;
}

// The calendar moves with the virtual clock so that two readings a second apart differ.
int64_t PlatformCalendarSeconds() { return g_machine.calendarSeconds + g_machine.clockMs / 1000; }

void PlatformShowCursor(bool show) { g_record.cursorShown = show; }

// The program's own texts are kept byte for byte; the English goes beside them.
void PlatformDebugOutput(const char* text, const char* english) {
    g_record.debugLines.emplace_back(text);
    g_record.debugEnglish.emplace_back(english ? english : "");
}

void PlatformErrorBox(const char* title, const char* text, const char* englishTitle,
                      const char* englishText) {
    g_record.errorBoxes.emplace_back(std::string(title) + ": " + text);
    g_record.errorBoxesEnglish.emplace_back(std::string(englishTitle ? englishTitle : "") + ": " +
                                            (englishText ? englishText : ""));
}

void HeadlessSetAdvice(const char* advice) {
    std::snprintf(g_machine.advice, sizeof g_machine.advice, "%s", advice ? advice : "");
}

const char* PlatformAdvice(PlatformTrouble) {
    return g_machine.advice[0] ? g_machine.advice : nullptr;
}

void PlatformReport(const char* text, bool problem) {
    g_record.reports.emplace_back(std::string(problem ? "problem: " : "") + text);
}

// Folders are the real ones; the executable's folder can be pretended.
void HeadlessSetExecutableFolder(const char* path) {
    std::snprintf(g_machine.executableFolder, sizeof g_machine.executableFolder, "%s",
                  path ? path : "");
}

bool PlatformExecutableFolder(char* path, int32_t size) {
    if (!g_machine.executableFolder[0] || size <= 0) return false;
    const int written =
        std::snprintf(path, static_cast<size_t>(size), "%s", g_machine.executableFolder);
    return written > 0 && written < size;
}

#ifdef _WIN32
bool PlatformFolderExists(const char* path) {
    if (!path) return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PlatformChangeFolder(const char* path) { return path && SetCurrentDirectoryA(path) != 0; }

bool PlatformReplaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool PlatformFolderExists(const char* path) {
    struct stat info;
    return path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformChangeFolder(const char* path) { return path && chdir(path) == 0; }

bool PlatformReplaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
#endif

void HeadlessSetProcessId(int64_t id) { g_machine.processId = id; }
void HeadlessFailFileSync(int32_t n) { g_machine.failingSync = n; }
int32_t HeadlessFileSyncs() { return g_machine.fileSyncs; }

int64_t PlatformProcessId() { return g_machine.processId; }

// What the simulator's folder locks are named after (none under Node).
[[maybe_unused]] constexpr const char* kFolderLockPrefix = "plusrail-sim";

#ifdef _WIN32
int64_t HeadlessRealProcessId() { return static_cast<int64_t>(GetCurrentProcessId()); }

bool PlatformProcessGone(int64_t pid) { return Win32ProcessGone(pid); }

std::FILE* PlatformOpenRegularFile(const char* path, bool* missing) {
    return Win32OpenRegularFile(path, missing);
}

bool HeadlessClaimFolder(const char* folder, int64_t* holder) {
    *holder = 0;
    return Win32TakeFolderLock(kFolderLockPrefix, folder);
}

// The lock is a named object of the session: it goes with the process, and leaves nothing.
void HeadlessLeaveFolder() {}
#else
int64_t HeadlessRealProcessId() { return static_cast<int64_t>(getpid()); }

#ifdef __EMSCRIPTEN__
// Node gives every program the same id, so no other id's file can be told to be stale.
bool PlatformProcessGone(int64_t) { return false; }

// Node offers no lock between programs: the run goes on without.
bool HeadlessClaimFolder(const char*, int64_t* holder) {
    *holder = 0;
    return true;
}

void HeadlessLeaveFolder() {}
#else
bool PlatformProcessGone(int64_t pid) { return PosixProcessGone(pid); }

namespace {

// The folder lock this process holds, for removing its file at the end; not part of the
// machine, which a reset renews: the lock lasts as long as the process.
struct FolderLock {
    char name[128];
    int file = -1;
};
FolderLock g_folderLock;

}  // namespace

bool HeadlessClaimFolder(const char* folder, int64_t* holder) {
    *holder = 0;
    char name[sizeof g_folderLock.name];
    // A folder that cannot be looked at will not be saved into either.
    if (!PosixFolderLockName(kFolderLockPrefix, folder, name, sizeof name)) return true;
    int file = -1;
    const PosixLockClaim claim = PosixTakeLock(name, &file);
    if (claim == PosixLockClaim::Taken && g_folderLock.file < 0) {
        std::snprintf(g_folderLock.name, sizeof g_folderLock.name, "%s", name);
        g_folderLock.file = file;
    }
    if (claim != PosixLockClaim::Held) return true;
    *holder = PosixLockHolder(name);
    return false;
}

void HeadlessLeaveFolder() {
    if (g_folderLock.file < 0) return;
    PosixRemoveLock(g_folderLock.name, g_folderLock.file);
}
#endif

std::FILE* PlatformOpenRegularFile(const char* path, bool* missing) {
    return PosixOpenRegularFile(path, missing);
}
#endif

bool PlatformSyncFile(std::FILE* file) {
    const bool flushed = std::fflush(file) == 0;
    return ++g_machine.fileSyncs != g_machine.failingSync && flushed;
}

#ifdef _WIN32
int64_t HeadlessResidentKilobytes() {
    PROCESS_MEMORY_COUNTERS counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<int64_t>(counters.WorkingSetSize / 1024);
}
#else
int64_t HeadlessResidentKilobytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    long long sizePages = 0, residentPages = 0;
    const int got = std::fscanf(statm, "%lld %lld", &sizePages, &residentPages);
    std::fclose(statm);
    const long pageBytes = sysconf(_SC_PAGESIZE);
    if (got != 2 || pageBytes <= 0) return 0;
    return residentPages * (pageBytes / 1024);
}
#endif
