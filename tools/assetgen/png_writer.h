#pragma once
#include <string>

#include "canvas.h"

namespace assetgen {

// Writes the canvas as an 8-bit RGBA PNG, its coverage as the alpha. The pixels go in stored
// deflate blocks: an icon is small, and this keeps the writer free of any library.
// Returns 1 on success, 0 on failure.
int WritePng(const std::string& path, const Canvas& canvas);

}  // namespace assetgen
