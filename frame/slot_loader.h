#pragma once
// The steps every picture loader ends with, shared by the BMP, .kbm and plug-in loaders.
#include <cstdint>

#include "frame/bmp_reader.h"

// Releases the slot's surface, if any; the rest of the record stays.
void ReleaseSlotSurface(uint16_t slot);
// Where the slot's picture comes from, for reloading it once lost.
void SetSlotSource(uint16_t slot, const char* fileName, const char* pluginName);
// Makes the slot's surface from a decoded picture; 0 (with its debug line) on failure.
int32_t SurfaceFromPicture(uint16_t slot, const DecodedPicture& picture);
// The top-left pixel becomes the slot's colour key.
void TakeColourKey(uint16_t slot);

// The largest file a loader reads whole.
constexpr size_t kMaxPictureFileBytes = size_t{80} << 20;
