#pragma once
// The 257 bitmap slots (0..255 for the game, 256 the frame's work buffer) and the BMP loader.
#include <cstdint>

constexpr int kBitmapSlots = 257;
constexpr int kWorkBufferSlot = 256;
constexpr int kGameSlots = 256;  // 0..255: the slots a picture file may be loaded into

int32_t LoadBitmapFile(uint16_t slot, const char* path, int32_t useColorKey);
int32_t CreateSlotSurface(uint16_t slot, int32_t width, int32_t height, int32_t useColorKey,
                          uint32_t fillColour);
void ReleaseAllSlots();
void SetUseVideoMemory(int32_t flag);
int32_t UsingVideoMemory();  // the flag new surfaces are made with

struct Surface;

// One picture: its surface and what it takes to draw it and to rebuild it once lost.
struct BitmapSlot {
    Surface* surface;  // null when the slot is empty
    int32_t width, height;
    uint32_t colourKeyValue;  // the top-left pixel, raw
    int32_t useColourKey;     // drawing leaves out pixels equal to the colour key
    char fileName[256];       // empty for a created surface
    char pluginName[256];     // the image plug-in that decoded it, or empty
    int32_t videoMemory;      // SetUseVideoMemory in force when the surface was made
};
extern BitmapSlot BitmapSlots[kBitmapSlots];

// Back to a process that has just started (tests): every slot empty and zeroed.
void ResetBitmapSlots();
