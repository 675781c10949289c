#pragma once
// The DisplayDevice: the 640 x 480 x 16 display and its surfaces. Surfaces are our own RGB565
// pixel blocks standing in for the display driver's: a front and a back buffer, and off-screen
// plain surfaces of any size that can be locked, filled, copied with a source colour key, and
// lost (a task switch) and restored empty.
#include <cstdint>

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;
constexpr int32_t kScreenBitsPerPixel = 16;

// What a surface operation answers.
constexpr int32_t SurfaceOk = 0;
constexpr int32_t SurfaceLost = 1;       // the surface lost its memory; Restore it
constexpr int32_t SurfaceFailed = 2;     // bad arguments or no surface

constexpr uint32_t kNoColour = 0xFFFFFFFF;

struct Surface {
    uint16_t* pixels;       // RGB565, rows pitch bytes apart
    int32_t width, height;
    int32_t pitch;          // bytes per row
    int32_t systemMemory;   // 1: system memory, never lost
    int32_t lost;
    int32_t locked;
    uint32_t colourKey;     // source colour key for keyed copies
};

struct ClipRect {
    int32_t left, right, top, bottom;
};

constexpr uint32_t kWindowedFlags = 8;      // normal cooperation
constexpr uint32_t kFullScreenFlags = 17;   // full screen, exclusive
constexpr int32_t kCopyPenRop = 13;

struct DisplayDeviceState {
    int32_t deviceCreated;
    Surface* front;
    Surface* back;
    int32_t clipper;                // windowed mode only
    int32_t gdiClipRegion;          // the clip rectangle as a region for text contexts
    int32_t bufferCount;
    uint32_t cooperativeFlags;      // bit 0 set: full screen
    uint32_t windowedFlags;
    uint32_t fullScreenFlags;
    int32_t ready;
    int32_t toggleForbidden;
    int32_t presentationSuspended;
    int32_t waitForVerticalBlank;
    int32_t width, height;
    int32_t bitsPerPixel;
    ClipRect clip;
    int32_t gdiRop;
};
extern DisplayDeviceState DisplayDevice;

// Set-up after the window exists; 0 (after its error box) ends start-up.
int32_t SetupDisplay();
// Shows the back buffer, then restores a lost front surface.
void PresentFrame();
// The windowed repaint while frames do not run: the last back buffer to the window.
void RepaintWindow();
// Alt+Enter: full screen <-> window, unless the toggle is forbidden.
void ToggleFullScreen();
void ReleaseDisplaySurfaces();
// Process exit: surfaces and the device.
void ReleaseDisplay();
int32_t IsFullScreen();

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

// The back surface for text, with the clip to respect; null when there is none.
Surface* GetTextContext(ClipRect* clip);
void ReleaseTextContext(Surface* surface);

// A task switch: every surface not in system memory loses its memory.
void LoseAllSurfaces();
// Frees every surface there is (process exit and tests).
void ReleaseAllSurfaces();

// Back to a process that has just started (tests).
void ResetDisplay();
