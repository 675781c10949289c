#pragma once
// Drawing onto the back buffer: clear, sprite copy from a bitmap slot, and the fade.
#include <cstdint>

extern int32_t FadeLevel;  // 0 fully covered .. 20 fully visible

int32_t ClearScreen(uint32_t colour);
int32_t DrawSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top, int32_t right,
                   int32_t bottom);
void SetFade(int32_t on);
int32_t StepFade(int32_t direction, uint32_t colour);

// Every DrawSprite call reports here with its arguments (tests of what a screen draws).
using SpriteTraceFn = void (*)(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                               int32_t right, int32_t bottom);
void SetSpriteTrace(SpriteTraceFn fn);

// Back to a process that has just started (tests): fully visible, no trace.
void ResetSprites();
