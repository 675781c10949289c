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

struct LockFile {
    int folder;  // the lock folder, open
    int file;    // the lock file, open
    char name[kPathLength];
};

void CloseLockFile(LockFile& lock) {
    if (lock.file >= 0) close(lock.file);
    if (lock.folder >= 0) close(lock.folder);
    lock.file = lock.folder = -1;
}

// The lock file in the lock folder, refused unless it is a regular file of the user's.
bool OpenLockFile(const char* name, int flags, LockFile* lock) {
    char folder[kPathLength];
    lock->file = -1;
    lock->folder = OpenLockFolder(folder, sizeof folder);
    if (lock->folder < 0) return false;
    std::snprintf(lock->name, sizeof lock->name, "%s.lock", name);
    // O_NONBLOCK: a FIFO in its place must not hold the start.
    lock->file =
        openat(lock->folder, lock->name, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat info;
    if (lock->file < 0 || fstat(lock->file, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_uid != geteuid()) {
        CloseLockFile(*lock);
        return false;
    }
    return true;
}

// Whether the open lock file is still the one its name leads to: a holder that ends removes
// its file, and a lock on a removed file guards nothing.
bool StillNamed(const LockFile& lock) {
    struct stat open, named;
    return fstat(lock.file, &open) == 0 &&
           fstatat(lock.folder, lock.name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
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

PosixLockClaim PosixTakeLock(const char* name, int* heldFile) {
    // A holder may remove the file between our open and our lock: then open it again.
    constexpr int kTries = 8;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        LockFile lock;
        if (!OpenLockFile(name, O_RDWR | O_CREAT, &lock)) return PosixLockClaim::Unusable;
        if (flock(lock.file, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK;
            CloseLockFile(lock);
            return held ? PosixLockClaim::Held : PosixLockClaim::Unusable;
        }
        if (!StillNamed(lock)) {
            CloseLockFile(lock);
            continue;
        }
        char pid[32];
        const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
        // Without the id the lock holds all the same; only a second start cannot raise this copy.
        if (ftruncate(lock.file, 0) == 0) {
            const ssize_t written = pwrite(lock.file, pid, static_cast<size_t>(length), 0);
            (void)written;
        }
        // The file stays open, so the lock lasts as long as the process.
        close(lock.folder);
        if (heldFile) *heldFile = lock.file;
        return PosixLockClaim::Taken;
    }
    return PosixLockClaim::Unusable;
}

void PosixRemoveLock(const char* name, int heldFile) {
    LockFile lock;
    char folder[kPathLength];
    lock.file = heldFile;
    lock.folder = OpenLockFolder(folder, sizeof folder);
    std::snprintf(lock.name, sizeof lock.name, "%s.lock", name);
    // Only while the name still leads to the file this process holds.
    if (lock.folder >= 0 && heldFile >= 0 && StillNamed(lock)) unlinkat(lock.folder, lock.name, 0);
    if (lock.folder >= 0) close(lock.folder);
}

int64_t PosixLockHolder(const char* name) {
    LockFile lock;
    if (!OpenLockFile(name, O_RDONLY, &lock)) return 0;
    char text[32];
    const ssize_t got = read(lock.file, text, sizeof text - 1);
    CloseLockFile(lock);
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
