#pragma once
// The desktop icon: a rectangle of unit lines closed on the lattice, as the player closes
// them to erase, written as ICONDIR/SIDExSIDE/plusrail.png for the sizes desktops look up
// (16 to 256 pixels).
#include <string>

#include "canvas.h"

namespace assetgen {

// The icon drawn for a square of `side` pixels (drawn at each size, not scaled), with alpha.
Canvas DrawIcon(int side);

int WriteIcons(const std::string& iconDir);

}  // namespace assetgen
