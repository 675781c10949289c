#pragma once
// The application icon of the Windows build, the desktop icon's picture (icon.h) written as
// an .ico file holding 16, 32 and 48 pixel images (32-bit with alpha, in the bitmap form
// every Windows reads).
#include <string>

namespace assetgen {

// Returns 1 on success, 0 on failure.
int WriteWindowsIcon(const std::string& path);

}  // namespace assetgen
