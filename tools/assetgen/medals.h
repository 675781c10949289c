#pragma once
// The medal sheets medal_0.bmp .. medal_3.bmp (empty socket, bronze, silver, gold): six
// medal kinds in rows, four animation frames in columns (3 at rest, 2..0 flashing brighter).
#include <string>

#include "canvas.h"

namespace assetgen {

constexpr int kMedalTiers = 4;
constexpr int kMedalKinds = 6;
constexpr int kMedalFrames = 4;
constexpr int kMedalSize = 32;

Picture DrawMedalSheet(int tier);

int WriteMedals(const std::string& outDir);

}  // namespace assetgen
