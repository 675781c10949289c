#pragma once
// Rebuilding a slot whose surface the display lost: its picture loaded again by the loader
// that first read it (BMP, .kbm or plug-in), or a created surface cleared to black.
#include <cstdint>

void RestoreSlot(uint16_t slot);
