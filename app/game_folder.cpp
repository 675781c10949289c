#include "app/game_folder.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

constexpr int32_t kPathLength = 1024;

bool HoldsPictures(const char* folder) {
    char pictures[kPathLength + 32];
    std::snprintf(pictures, sizeof pictures, "%s/bmp", folder);
    return PlatformFolderExists(pictures);
}

}  // namespace

bool EnterGameFolder() {
    if (PlatformFolderExists("bmp")) return true;
    char executable[kPathLength];
    if (!PlatformExecutableFolder(executable, kPathLength)) return false;
    char gameFolder[kPathLength + 8];
    std::snprintf(gameFolder, sizeof gameFolder, "%s/game", executable);
    if (HoldsPictures(executable)) return PlatformChangeFolder(executable);
    if (HoldsPictures(gameFolder)) return PlatformChangeFolder(gameFolder);
    return false;
}
