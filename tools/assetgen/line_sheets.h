#pragma once
// The sheets of line segments the field is drawn from: line_x.bmp (x-lines, 33 x 11 on a
// 32 x 10 pitch) and line_y.bmp (the same sheet turned for y-lines).
#include <string>

#include "canvas.h"

namespace assetgen {

// The hues the lines are drawn in: 0 the grey line, 1..8 red, orange, yellow, green, cyan,
// blue, violet, pink.
constexpr int kLineHues = 9;
Colour LineHue(int index);

int WriteLineSheets(const std::string& outDir);

}  // namespace assetgen
