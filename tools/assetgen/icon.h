#pragma once
// The desktop icon: a rectangle of unit lines closed on the lattice, as the player closes
// them to erase, written as ICONDIR/48x48/plusrail.png and ICONDIR/256x256/plusrail.png.
#include <string>

namespace assetgen {

int WriteIcons(const std::string& iconDir);

}  // namespace assetgen
