#pragma once
// The boundary to the operating system. Each host (hosts/sdl, hosts/win32, hosts/web,
// hosts/headless) implements these functions; nothing but a host includes an OS, SDL or
// browser header. The window, presentation and audio parts of the boundary live beside this
// file in platform_window.h and platform_audio.h, the key codes in keys.h.
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
// The program's texts are Japanese (UTF-8); each comes with its English translation, or null
// when it has none. The text itself is what the program said; a platform shows the English
// beside it, and the Japanese only where it can render it.
void PlatformDebugOutput(const char* text, const char* english);  // one debugger-output text
// Modal; returns when acknowledged.
void PlatformErrorBox(const char* title, const char* text, const char* englishTitle,
                      const char* englishText);
// What the player can do about a failure at start-up on this platform, in English, or null when
// there is nothing to say: the failure's message ends with it. Only the host knows its own
// remedies (a driver to choose, a setting of the system, a button of the page).
enum class PlatformTrouble : int32_t {
    NoSoundDevice,  // no sound output could be opened
    SoundRefused,   // a sound device exists but would not work with the game
    DisplayMode,    // the full-screen display mode could not be set
};
const char* PlatformAdvice(PlatformTrouble trouble);

// A line in English for whoever started the program, about the run itself: its usage, a
// replay that cannot be watched, how a watched replay ended. Where a terminal started it, on
// that terminal (stderr for a problem); in a browser, on the page; with nowhere to write,
// a problem comes in a box and anything else is dropped.
void PlatformReport(const char* text, bool problem);

// Folders: where the executable lies (false when it cannot be told), whether a folder exists,
// and the working folder, which the game's pictures, sounds and data files are relative to.
bool PlatformExecutableFolder(char* path, int32_t size);
bool PlatformFolderExists(const char* path);
bool PlatformChangeFolder(const char* path);

// Files.
int64_t PlatformProcessId();
// Flushes the file's buffer and puts its bytes on the disk; false when either fails (a full
// disk shows here at the latest).
bool PlatformSyncFile(std::FILE* file);
// Puts the file `from` in place of `to` in one step, replacing `to` when it exists; on failure
// `to` is left as it was. False when the system refuses.
bool PlatformReplaceFile(const char* from, const char* to);
