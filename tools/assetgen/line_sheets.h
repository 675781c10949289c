#pragma once
// The sheets of line segments the field is drawn from: line_x.bmp (x-lines, 33 x 11 on a
// 32 x 10 pitch) and line_y.bmp (the same sheet turned for y-lines).
#include <string>

namespace assetgen {

int WriteLineSheets(const std::string& outDir);

}  // namespace assetgen
