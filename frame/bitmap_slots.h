#pragma once
// The 257 bitmap slots (0..255 for the game, 256 the frame's work buffer) and the loaders.
#include <cstdint>

constexpr int kBitmapSlots = 257;
constexpr int kWorkBufferSlot = 256;

int32_t LoadBitmapFile(uint16_t slot, const char* path, int32_t useColorKey);
int32_t LoadKbmFile(uint16_t slot, const char* path, int32_t useColorKey);
int32_t LoadPluginImage(uint16_t slot, const char* pluginPath, const char* filePath,
                        int32_t useColorKey);
int32_t CreateSlotSurface(uint16_t slot, int32_t width, int32_t height, int32_t useColorKey,
                          uint32_t fillColour);
void RestoreSlot(uint16_t slot);
void ReleaseAllSlots();
int32_t GetSlotSize(int32_t slot, int32_t* width, int32_t* height);
void SetUseVideoMemory(int32_t flag);
