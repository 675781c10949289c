#pragma once
// Surfaces: our own RGB565 pixel blocks standing in for the display driver's. The front and
// back buffers are surfaces, and so are off-screen plain surfaces of any size, which can be
// locked, filled, copied with a source colour key, and lost (a task switch) and restored empty.
#include <cstdint>

// What a surface operation answers.
constexpr int32_t SurfaceOk = 0;
constexpr int32_t SurfaceLost = 1;    // the surface lost its memory; Restore it
constexpr int32_t SurfaceFailed = 2;  // bad arguments or no surface

constexpr uint32_t kNoColour = 0xFFFFFFFF;

struct Surface {
    uint16_t* pixels;  // RGB565, rows pitch bytes apart
    int32_t width, height;
    int32_t pitch;         // bytes per row
    int32_t systemMemory;  // 1: system memory, never lost
    int32_t lost;
    int32_t locked;
    uint32_t colourKey;  // source colour key for keyed copies
};

// Off-screen plain surfaces; null when the size is unusable or memory runs out.
Surface* CreateSurface(int32_t width, int32_t height, int32_t systemMemory);
void ReleaseSurface(Surface* surface);

int32_t LockSurface(Surface* surface, uint16_t** pixels, int32_t* pitch);
void UnlockSurface(Surface* surface);
int32_t FillSurface(Surface* surface, uint32_t pixel);
// Copies (left, top)-(right, bottom) of source to (x, y) of target, leaving out pixels equal
// to the source's colour key when useColourKey is set. The rectangles must lie inside both.
int32_t CopySurfaceRect(Surface* target, int32_t x, int32_t y, Surface* source, int32_t left,
                        int32_t top, int32_t right, int32_t bottom, int32_t useColourKey);
void SetSurfaceColourKey(Surface* surface, uint32_t pixel);
int32_t SurfaceIsLost(const Surface* surface);
// Brings a lost surface back, its contents cleared.
int32_t RestoreSurface(Surface* surface);

// The GDI side of a surface: colour 0x00BBGGRR to and from a 16-bit pixel.
uint16_t ColourToPixel(uint32_t colour);
void SetSurfacePixel(Surface* surface, int32_t x, int32_t y, uint32_t colour);
uint16_t GetSurfacePixel(const Surface* surface, int32_t x, int32_t y);
// The surface's raw pixel value for a colour; kNoColour when the surface cannot be locked.
uint32_t ColorMatch(Surface* surface, uint32_t colour);

// A task switch: every surface not in system memory loses its memory.
void LoseAllSurfaces();
// Frees every surface there is (process exit and tests).
void ReleaseAllSurfaces();
