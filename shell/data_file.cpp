#include "shell/data_file.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

unsigned g_tempSerial = 0;  // numbers this process's temporary files

}  // namespace

bool WriteDataFile(const char* path, const uint8_t* bytes, size_t size) {
    char tempPath[96];
    std::snprintf(tempPath, sizeof tempPath, "%s.tmp.%lld.%u", path,
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

void ResetDataFiles() { g_tempSerial = 0; }
