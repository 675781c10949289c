#pragma once
// The boundary to the operating system. Each platform (platform/sdl, platform/headless,
// later platform/win32) implements these functions; nothing outside platform/ includes
// an OS or SDL header. The window, presentation and audio parts of the boundary live
// beside this file in platform_window.h and platform_audio.h.
#include <cstdint>
#include <cstdio>

// Keyboard: true while the key with this Windows virtual-key code (0..255) is down at
// the moment of the call, as an asynchronous key-state query reports it.
bool PlatformKeyDown(int virtualKey);

// Joysticks, in the manner of the multimedia joystick functions.
struct PlatformJoyPos {
    uint32_t x;        // 0..65535, centre 32767
    uint32_t y;        // 0..65535, centre 32767
    uint32_t buttons;  // bit b set while button b + 1 is down
};
int PlatformJoystickDevices();                          // device slots the driver offers; 0: none
bool PlatformJoystickCaps(int id);                      // capabilities of device id could be read
bool PlatformJoystickPos(int id, PlatformJoyPos* pos);  // position of device id; false on failure

// Time.
uint32_t PlatformMilliseconds();  // millisecond clock, wraps at 2^32
void PlatformSleep(uint32_t ms);
int64_t PlatformCalendarSeconds();  // calendar time in seconds

// Odds and ends of the desktop.
void PlatformShowCursor(bool show);
void PlatformDebugOutput(const char* text);                  // one debugger-output text, UTF-8
void PlatformErrorBox(const char* title, const char* text);  // modal; returns when acknowledged

// Files.
int64_t PlatformProcessId();
// Flushes the file's buffer and puts its bytes on the disk; false when either fails (a full
// disk shows here at the latest).
bool PlatformSyncFile(std::FILE* file);
