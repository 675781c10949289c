#pragma once
// The DisplayDevice: the 640 x 480 x 16 display, its front and back buffers, the windowed and
// full-screen modes and the text context.
#include <cstdint>

#include "frame/surface.h"

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;
constexpr int32_t kScreenBitsPerPixel = 16;

struct ClipRect {
    int32_t left, right, top, bottom;
};

constexpr uint32_t kWindowedFlags = 8;     // normal cooperation
constexpr uint32_t kFullScreenFlags = 17;  // full screen, exclusive
constexpr int32_t kCopyPenRop = 13;

struct DisplayDeviceState {
    int32_t deviceCreated;
    Surface* front;
    Surface* back;
    int32_t clipper;        // windowed mode only
    int32_t gdiClipRegion;  // the clip rectangle as a region for text contexts
    int32_t bufferCount;
    uint32_t cooperativeFlags;  // bit 0 set: full screen
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

// The back surface for text, with the clip to respect; null when there is none.
Surface* GetTextContext(ClipRect* clip);
void ReleaseTextContext(Surface* surface);

// Back to a process that has just started (tests).
void ResetDisplay();
