#pragma once
// back00.bmp .. back12.bmp: full-screen 640 x 480 backdrops, dark and calm behind text.
// back01 .. back11 follow the play's level bands and grow more intense; back12 and back01
// also serve the menus.
#include <string>

#include "canvas.h"

namespace assetgen {

constexpr int kBackgroundCount = 13;

Picture DrawBackground(int index);

int WriteBackgrounds(const std::string& outDir);

}  // namespace assetgen
