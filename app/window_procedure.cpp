// The window procedure, the message pump and the close protocol between frame and game.
#include "app/window_procedure.h"
#include "frame/bitmap_slots.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "input/input.h"
#include "platform/keys.h"

namespace {

// What the window's destruction does before the window goes: slots released, the loop told
// to end once the queue is drained.
void DestroyFrameWindow() {
    ReleaseAllSlots();
    PlatformPostQuit();
    PlatformDestroyWindow();
    Frame.window = 0;
}

int32_t OnClose() {
    // The game may refuse: its sub-screens turn a close into a step back.
    if (Frame.closeCallback && Frame.closeCallback() == 0) return 0;
    DestroyFrameWindow();
    return 0;
}

// Once a close has been asked for, focus changes no longer pause the frames.
void SetActive(int32_t active) {
    if (DisplayDevice.ready && !Frame.closing) Frame.active = active;
}

void OnMove(int32_t x, int32_t y) {
    Frame.clientRect = FrameRect{x, y, x + kScreenWidth, y + kScreenHeight};
}

void OnMouseMove(int32_t x, int32_t y) {
    if (Frame.firstMouseX == 0) {
        Frame.firstMouseX = x;
        Frame.firstMouseY = y;
    }
    if (Frame.firstMouseX != 0 && x != Frame.firstMouseX && y != Frame.firstMouseY)
        Frame.mouseMoved = 1;
}

}  // namespace

int32_t WindowProcedure(const PlatformMessage& message) {
    switch (message.type) {
        case MsgClose: return OnClose();
        case MsgMove: OnMove(message.x, message.y); return 0;
        case MsgMinimize:
        case MsgDeactivate: SetActive(0); return 0;
        case MsgRestore:
        case MsgActivate: SetActive(1); return 0;
        case MsgPaint:
            // While frames run the next presentation repaints anyway.
            if (DisplayDevice.ready && !Frame.active && !IsFullScreen()) RepaintWindow();
            return 0;
        case MsgKeyDown:
            if ((message.key & 0xFFFF) == Frame.quitKey) RequestClose();
            return 0;
        case MsgSysKeyUp:
            // Alt+Enter. Every system-key release ends here, so Alt alone opens no menu.
            if (message.key == VkReturn && !DisplayDevice.toggleForbidden) ToggleFullScreen();
            return 0;
        case MsgMouseMove: OnMouseMove(message.x, message.y); return 0;
        default: return 0;
    }
}

int32_t RequestClose() {
    Frame.closing = 1;
    // A message sent to a window that is gone reaches nobody.
    if (!Frame.window) return 0;
    return WindowProcedure(PlatformMessage{MsgClose, 0, 0, 0});
}

int32_t PumpMessages() {
    PlatformMessage message;
    while (PlatformPeekMessage(&message)) {
        if (message.type == MsgQuit) return 0;
        if (Frame.window) WindowProcedure(message);
    }
    return 1;
}

// The cursor is not tracked by this game's input layer, so the joysticks are all there is.
void PollInput() {
    if (Frame.joystickPolling) PollJoysticks();
}
