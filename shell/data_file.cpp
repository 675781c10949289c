#include "shell/data_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/platform.h"

namespace {

constexpr const char* kTempMark = ".tmp.";
constexpr size_t kMaxIdDigits = 18;  // any process id, well inside int64_t

unsigned g_tempSerial = 0;  // numbers this process's temporary files

// The digits at `text` up to `stop` (a character or the end), at least one; their end.
const char* Digits(const char* text, char stop) {
    const char* at = text;
    while (*at >= '0' && *at <= '9') ++at;
    if (at == text || static_cast<size_t>(at - text) > kMaxIdDigits || *at != stop) return nullptr;
    return at;
}

// The process id in a temporary name of one of `names` ("NAME.tmp.PID.N"); -1 for any other
// name.
int64_t TempOwner(const char* file, const char* const* names, int count) {
    for (int i = 0; i < count; ++i) {
        const size_t length = std::strlen(names[i]);
        if (std::strncmp(file, names[i], length) != 0) continue;
        const char* rest = file + length;
        if (std::strncmp(rest, kTempMark, std::strlen(kTempMark)) != 0) continue;
        const char* pid = rest + std::strlen(kTempMark);
        const char* dot = Digits(pid, '.');
        if (!dot || !Digits(dot + 1, '\0')) continue;
        return std::strtoll(pid, nullptr, 10);
    }
    return -1;
}

}  // namespace

bool WriteDataFile(const char* path, const uint8_t* bytes, size_t size) {
    char tempPath[96];
    std::snprintf(tempPath, sizeof tempPath, "%s%s%lld.%u", path, kTempMark,
                  static_cast<long long>(PlatformProcessId()), ++g_tempSerial);

    std::FILE* file = std::fopen(tempPath, "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes, 1, size, file) == size;
    // A full disk may show only when the buffer goes out, so the sync's answer counts too.
    written = PlatformSyncFile(file) && written;
    if (std::fclose(file) != 0) written = false;
    if (written && PlatformReplaceFile(tempPath, path)) return true;
    std::remove(tempPath);
    return false;
}

void RemoveStaleTemporaryFiles(const char* folder, const char* const* names, int count) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string file = entries->path().filename().string();
        const int64_t owner = TempOwner(file.c_str(), names, count);
        if (owner < 0 || owner == PlatformProcessId() || !PlatformProcessGone(owner)) continue;
        // Only what a save makes: a folder of that name is somebody's own.
        std::error_code ignored;
        const fs::file_status status = entries->symlink_status(ignored);
        if (fs::is_regular_file(status) || fs::is_symlink(status))
            fs::remove(entries->path(), ignored);
    }
}

void ResetDataFiles() { g_tempSerial = 0; }
