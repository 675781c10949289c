#include "hosts/posix_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::FILE* PosixOpenRegularFile(const char* path, bool* missing) {
    *missing = false;
    // Without O_NONBLOCK the open itself would wait for a writer at a FIFO.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *missing = errno == ENOENT;
        return nullptr;
    }
    struct stat info;
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

bool PosixProcessGone(int64_t pid) {
    if (pid <= 0 || pid != static_cast<int64_t>(static_cast<pid_t>(pid))) return false;
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}
