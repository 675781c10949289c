// The process entry of the Windows build.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <mmsystem.h>

#include "platform/platform_window.h"
#include "program/program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* argv[kWin32MaxArguments];
    const int argc = Win32CommandLine(argv, kWin32MaxArguments);
    // Sleep keeps to the millisecond only with the timer at its finest; at the default 15 ms
    // the paced frames would not hold 60 a second.
    timeBeginPeriod(1);
    const int status = RunGame(argc, argv);
    Win32ReleaseAudio();
    Win32ReleaseDisplay();
    PlatformDestroyWindow();
    timeEndPeriod(1);
    return status;
}
