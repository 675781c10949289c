#pragma once
// Error boxes, debug lines and GDI-style text on the back buffer.
#include <cstdint>

void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t ConfirmBox(const char* text);
void DrawGdiText(int32_t x, int32_t y, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
float DrawFrameRate(int32_t x, int32_t y);
