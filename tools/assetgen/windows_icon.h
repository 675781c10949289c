#pragma once
// The application icon of the Windows build: a dark tile with four coloured unit lines
// closing into a rectangle, the shape the game clears. Written as an .ico file holding
// 16, 32 and 48 pixel images (32-bit with alpha, in the bitmap form every Windows reads).
#include <string>

namespace assetgen {

// Returns 1 on success, 0 on failure.
int WriteWindowsIcon(const std::string& path);

}  // namespace assetgen
