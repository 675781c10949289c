#pragma once
// The desktop icon: a rectangle of unit lines closed on the lattice, as the player closes
// them to erase, written as ICONDIR/48x48/plusrail.png and ICONDIR/256x256/plusrail.png.
#include <string>

#include "canvas.h"

namespace assetgen {

// The icon drawn for a square of `side` pixels (drawn at each size, not scaled), with alpha.
Canvas DrawIcon(int side);

int WriteIcons(const std::string& iconDir);

}  // namespace assetgen
