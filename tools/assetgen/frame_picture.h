#pragma once
// frame.bmp: the 640 x 480 overlay of the play and name-entry screens. The field well is
// left open; panels sit behind the score figures, the time and the medals.
#include <string>

#include "canvas.h"

namespace assetgen {

Picture DrawFramePicture(const std::string& fontDir);

int WriteFramePicture(const std::string& outDir, const std::string& fontDir);

}  // namespace assetgen
