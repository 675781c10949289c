#pragma once
#include <string>

#include "canvas.h"

namespace assetgen {

// Writes a 24-bit uncompressed, bottom-up Windows bitmap. Returns 1 on success, 0 on failure.
int WriteBmp(const std::string& path, const Picture& picture);

}  // namespace assetgen
