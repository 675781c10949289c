#include "frame/frame.h"

FrameState Frame;

void SetFrameRate(int32_t fps) {
    if (fps < 2) fps = 2;
    if (fps > 100) fps = 100;
    Frame.targetFrameRate = fps;
}

int32_t SetFrameCallback(FrameRoutine routine) {
    if (!routine) return 0;
    Frame.frameCallback = routine;
    return 1;
}

void SetCloseCallback(CloseRoutine routine) { Frame.closeCallback = routine; }

int32_t AskCloseCallback() { return Frame.closeCallback ? Frame.closeCallback() : 0; }

int32_t SetQuitKey(int32_t key) {
    if (key < 0 || key > 256) return 0;
    Frame.quitKey = static_cast<uint16_t>(key);
    return 1;
}

void ResetFrame() { Frame = FrameState{}; }
