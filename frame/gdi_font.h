#pragma once
// The built-in face of DrawGdiText: printable ASCII in 5 x 8 cells.
#include <cstdint>

// Column col (0..4) of the glyph for c, bit 0 the top row; blank for characters it lacks.
uint8_t GdiFontColumn(unsigned char c, int32_t col);
