#include "hosts/posix_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kPathLength = 1024;
constexpr const char* kOwnFolder = "plusrail";

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

// A folder the user owns and nobody else may enter or write to.
bool IsPrivate(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

// Opens `path` as a folder without following a link at its last step.
int OpenFolder(const char* path) {
    return open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int OpenRuntimeFolder(char* path, size_t size) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!IsAbsolute(runtime)) return -1;
    const int fd = OpenFolder(runtime);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !IsPrivate(info)) {
        if (fd >= 0) close(fd);
        return -1;
    }
    std::snprintf(path, size, "%s", runtime);
    return fd;
}

// The cache folder's own subfolder, made private if it is not yet: it is the user's, and only
// the user's files are in it.
int OpenCacheFolder(char* path, size_t size) {
    char base[kPathLength];
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (IsAbsolute(cache)) {
        std::snprintf(base, sizeof base, "%s", cache);
    } else {
        if (!IsAbsolute(home)) {
            const struct passwd* user = getpwuid(geteuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!IsAbsolute(home)) return -1;
        std::snprintf(base, sizeof base, "%s/.cache", home);
    }
    mkdir(base, 0700);
    const int baseFd = OpenFolder(base);
    if (baseFd < 0) return -1;
    mkdirat(baseFd, kOwnFolder, 0700);
    const int fd = openat(baseFd, kOwnFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    close(baseFd);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid() ||
        ((info.st_mode & 077) != 0 && fchmod(fd, 0700) != 0)) {
        if (fd >= 0) close(fd);
        return -1;
    }
    std::snprintf(path, size, "%s/%s", base, kOwnFolder);
    return fd;
}

// The lock folder, open; -1 when there is none.
int OpenLockFolder(char* path, size_t size) {
    const int fd = OpenRuntimeFolder(path, size);
    return fd >= 0 ? fd : OpenCacheFolder(path, size);
}

// The lock file in the lock folder, refused unless it is a regular file of the user's.
int OpenLockFile(const char* name, int flags) {
    char folder[kPathLength];
    const int folderFd = OpenLockFolder(folder, sizeof folder);
    if (folderFd < 0) return -1;
    char file[kPathLength];
    std::snprintf(file, sizeof file, "%s.lock", name);
    // O_NONBLOCK: a FIFO in its place must not hold the start.
    const int fd = openat(folderFd, file, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    close(folderFd);
    if (fd < 0) return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        close(fd);
        return -1;
    }
    return fd;
}

// The program file of a process, as its /proc entry names it; false when it cannot be told.
bool ProgramOf(const char* process, char* path, size_t size) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/%s/exe", process);
    const ssize_t length = readlink(link, path, size - 1);
    if (length <= 0 || static_cast<size_t>(length) >= size - 1) return false;
    path[length] = '\0';
    return true;
}

bool IsOwnRunningCopy(long pid) {
    char process[32];
    std::snprintf(process, sizeof process, "%ld", pid);
    char entry[64];
    std::snprintf(entry, sizeof entry, "/proc/%s", process);
    struct stat info;
    if (stat(entry, &info) != 0 || info.st_uid != geteuid()) return false;
    char mine[kPathLength], theirs[kPathLength];
    return ProgramOf("self", mine, sizeof mine) && ProgramOf(process, theirs, sizeof theirs) &&
           std::strcmp(mine, theirs) == 0;
}

}  // namespace

bool PosixLockFolder(char* path, size_t size) {
    const int fd = OpenLockFolder(path, size);
    if (fd < 0) return false;
    close(fd);
    return true;
}

PosixLockClaim PosixTakeLock(const char* name) {
    const int fd = OpenLockFile(name, O_RDWR | O_CREAT);
    if (fd < 0) return PosixLockClaim::Unusable;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return held ? PosixLockClaim::Held : PosixLockClaim::Unusable;
    }
    // The descriptor stays open, so the lock lasts as long as the process.
    char pid[32];
    const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
    // Without the id the lock holds all the same; only a second start cannot raise this copy.
    if (ftruncate(fd, 0) == 0) {
        const ssize_t written = pwrite(fd, pid, static_cast<size_t>(length), 0);
        (void)written;
    }
    return PosixLockClaim::Taken;
}

int64_t PosixLockHolder(const char* name) {
    const int fd = OpenLockFile(name, O_RDONLY);
    if (fd < 0) return 0;
    char text[32];
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0) return 0;
    text[got] = '\0';
    char* end = nullptr;
    errno = 0;
    const long pid = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || (*end != '\n' && *end != '\0')) return 0;
    if (pid <= 1 || pid == static_cast<long>(getpid()) || !IsOwnRunningCopy(pid)) return 0;
    return pid;
}

bool PosixFolderLockName(const char* prefix, const char* folder, char* name, size_t size) {
    struct stat info;
    if (stat(folder, &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    const int written = std::snprintf(name, size, "%s %llx-%llx", prefix,
                                      static_cast<unsigned long long>(info.st_dev),
                                      static_cast<unsigned long long>(info.st_ino));
    return written > 0 && static_cast<size_t>(written) < size;
}
