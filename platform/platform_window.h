#pragma once
// The window, its messages, presentation of the back buffer and image plug-in libraries.
#include <cstdint>

// Messages the platform delivers, named after the window messages the frame handles.
enum PlatformMessageType : int32_t {
    MsgNone = 0,
    MsgClose,     // the window's close command
    MsgKeyDown,   // key = virtual-key code
    MsgSysKeyUp,  // key = virtual-key code (Alt held)
    MsgActivate,
    MsgDeactivate,
    MsgMinimize,
    MsgRestore,
    MsgMove,       // x, y: client area's top-left on the screen
    MsgMouseMove,  // x, y: client coordinates
    MsgPaint,
    MsgKeyUp,       // key = virtual-key code
    MsgSysKeyDown,  // key = virtual-key code (Alt itself, or a key with Alt held)
    MsgQuit,        // the message loop ends; posted by PlatformPostQuit
};

struct PlatformMessage {
    int32_t type;
    int32_t key;
    int32_t x, y;
};

// Single instance: false when another running instance already holds the name.
bool PlatformClaimInstance(const char* className);
// Brings the running instance's window to the front; false when the desktop would not.
bool PlatformShowOtherInstance(const char* className);

// Makes windows of this class possible (the desktop connection); false on failure.
bool PlatformRegisterWindowClass(const char* className);
// A borderless window of width x height at (x, y) on the screen, shown.
bool PlatformCreateWindow(const char* className, const char* title, int32_t x, int32_t y,
                          int32_t width, int32_t height);
// Destroys the window; messages still queued for it are dropped.
void PlatformDestroyWindow();
bool PlatformPeekMessage(PlatformMessage* message);  // takes one message without waiting
void PlatformWaitMessage();                          // blocks until a message is queued
// Queues MsgQuit behind whatever is queued now.
void PlatformPostQuit();
void PlatformScreenSize(int32_t* width, int32_t* height);
int32_t PlatformDesktopBitsPerPixel();

// Steps of bringing a display up that the system may refuse: the display object, its
// cooperation with the window, the front and back buffers, the window's clipper (made, bound
// to the window, taken by the front buffer), the pixel format and drawing text onto a buffer.
// The frame's surfaces live in its own memory; these answers say whether the system grants
// the step. A platform that cannot refuse a step answers true.
enum PlatformDisplayStep : int32_t {
    DisplayStepDevice = 0,
    DisplayStepCooperation,
    DisplayStepFrontBuffer,
    DisplayStepBackBuffer,
    DisplayStepClipper,
    DisplayStepClipperWindow,
    DisplayStepClipperTaken,
    DisplayStepPixelFormat,
    DisplayStepTextAccess,
};
bool PlatformGrantDisplayStep(int32_t step);

// Full screen (true) or a window; false when the mode cannot be set.
bool PlatformSetFullScreen(bool fullScreen);

// Shows a 640 x 480 RGB565 picture; pitch in bytes.
bool PlatformPresent(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height);

// Image plug-in libraries.
void* PlatformOpenLibrary(const char* path);
void* PlatformLibrarySymbol(void* library, const char* name);
void PlatformCloseLibrary(void* library);
