// The process entry of the Windows build.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "platform/platform_window.h"
#include "program/program.h"

namespace {

constexpr int kMaxArguments = 8;
constexpr int kArgumentBytes = 1024;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The command line as UTF-8, like every other text of the program: the ANSI one would
    // lose a replay's name outside the system's code page.
    static char arguments[kMaxArguments][kArgumentBytes];
    const char* argv[kMaxArguments] = {};
    int wideCount = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    int argc = 0;
    for (int i = 0; wide && i < wideCount && argc < kMaxArguments; ++i) {
        if (Narrow(arguments[argc], kArgumentBytes, wide[i]))
            argv[argc] = arguments[argc];
        else
            argv[argc] = "";
        ++argc;
    }
    if (wide) LocalFree(wide);

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
