#pragma once
// What the Win32 layer's files share among themselves.
#include <windows.h>

#include <cstdint>

// UTF-8 to UTF-16 for the wide-character calls, cut to fit; an empty text when `text` is null
// or cannot be converted. The ANSI calls would read the bytes in the system's code page and
// garble every Japanese text outside code page 932.
void Widen(wchar_t* out, int32_t size, const char* text);
// UTF-16 to UTF-8, cut to fit; false when it does not fit or cannot be converted.
bool Narrow(char* out, int32_t size, const wchar_t* text);

// The command line as UTF-8 arguments, like every other text of the program (the ANSI one
// would lose a replay's name outside the system's code page); their count, at most `most`.
// The texts live until the process ends.
constexpr int kWin32MaxArguments = 8;
int Win32CommandLine(const char** argv, int most);

// The game's window, or null while there is none.
HWND Win32MainWindow();

// DirectDraw: restores every surface after a task switch took them (called on activation).
void Win32RestoreSurfaces();
// Gives the window the shape of the mode: a popup of width x height for full screen, or a
// framed window around the picture at a whole factor that fits the monitor's work area.
void Win32ShapeWindow(bool fullScreen, int32_t width, int32_t height);
// Process exit: the display objects, the sound device and the desktop's display mode.
void Win32ReleaseDisplay();
void Win32ReleaseAudio();

// Whether the program asked for the cursor to be hidden (answered in WM_SETCURSOR).
bool Win32CursorHidden();

// Whether `text` comes out as its characters in `font`, drawn by the font or by a font the
// system links to it, rather than as the empty boxes of missing glyphs.
bool Win32FontDrawsText(HFONT font, const wchar_t* text);
// The font message boxes use (the caller deletes it), or null.
HFONT Win32BoxFont();
