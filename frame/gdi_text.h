#pragma once
// GDI-style text on the back buffer in the frame's built-in face: the frame-rate display.
#include <cstdint>

void DrawGdiText(int32_t x, int32_t y, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
float DrawFrameRate(int32_t x, int32_t y);

// The settings of DrawGdiText; frame set-up gives them their values.
struct GdiTextSettings {
    int32_t charWidth, charHeight;
    uint32_t colour;  // 0x00BBGGRR
    char faceName[64];
    int32_t backgroundMode;     // 1 transparent; any other value leaves the cells opaque
    uint32_t backgroundColour;  // 0x00BBGGRR
    int32_t centring;           // 1: centred on the screen, x ignored
};
extern GdiTextSettings GdiText;

// Width 8, height 16, white on black, the standard Gothic face, not centred.
void SetGdiTextDefaults();
// Back to a process that has just started (tests).
void ResetGdiText();
