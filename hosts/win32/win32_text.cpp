// Texts for the desktop: debug lines to the debugger and error boxes, through the
// wide-character calls. The program's texts are Japanese in UTF-8; each goes out with its
// English beside it, as a player may read either.
#include <cstdio>
#include <cwchar>

#include "hosts/win32/win32_platform.h"

#include <shellapi.h>

#include "platform/platform.h"

namespace {

constexpr int32_t kLineLength = 1024;
constexpr int32_t kBoxLength = 2048;

// Debug lines and box texts come with their own line ends; the box and the bracketed line
// read better without a trailing one.
void TrimmedWide(wchar_t* out, int32_t size, const char* text) {
    Widen(out, size, text);
    int32_t length = static_cast<int32_t>(lstrlenW(out));
    while (length > 0 && (out[length - 1] == L'\n' || out[length - 1] == L'\r')) --length;
    out[length] = L'\0';
}

}  // namespace

void Widen(wchar_t* out, int32_t size, const char* text) {
    if (size <= 0) return;
    out[0] = L'\0';
    if (!text || !*text) return;
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, out, size) > 0) return;
    // Too long: no UTF-8 byte makes more than one UTF-16 unit, so size - 1 bytes fit; the cut
    // goes back to the start of a character.
    int bytes = 0;
    while (bytes < size - 1 && text[bytes]) ++bytes;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    const int written = MultiByteToWideChar(CP_UTF8, 0, text, bytes, out, size - 1);
    out[written > 0 ? written : 0] = L'\0';
}

bool Narrow(char* out, int32_t size, const wchar_t* text) {
    if (size <= 0) return false;
    out[0] = '\0';
    return WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, nullptr, nullptr) > 0;
}

int Win32CommandLine(const char** argv, int most) {
    static char arguments[kWin32MaxArguments][kLineLength];
    if (most > kWin32MaxArguments) most = kWin32MaxArguments;
    int wideCount = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    int argc = 0;
    for (; wide && argc < wideCount && argc < most; ++argc) {
        // A name too long for the program's paths is given as nothing rather than cut.
        argv[argc] = Narrow(arguments[argc], kLineLength, wide[argc]) ? arguments[argc] : "";
    }
    if (wide) LocalFree(wide);
    return argc;
}

void PlatformDebugOutput(const char* text, const char* english) {
    wchar_t own[kLineLength], translated[kLineLength], line[kLineLength * 2 + 8];
    TrimmedWide(own, kLineLength, text);
    TrimmedWide(translated, kLineLength, english);
    if (english && lstrcmpW(own, translated) != 0)
        std::swprintf(line, kLineLength * 2 + 8, L"%ls  [%ls]\n", translated, own);
    else
        std::swprintf(line, kLineLength * 2 + 8, L"%ls\n", own);
    OutputDebugStringW(line);
    // Started from a console, the console gets the same line; a window-only start has none.
    char narrow[kLineLength * 6];
    if (Narrow(narrow, static_cast<int32_t>(sizeof narrow), line)) {
        std::fputs(narrow, stderr);
        std::fflush(stderr);
    }
}

const char* PlatformAdvice(PlatformTrouble trouble) {
    switch (trouble) {
        case PlatformTrouble::NoSoundDevice:
            return "Check that Windows has a sound output device switched on (Settings, System, "
                   "Sound), then start the game again; or, to play without sound, start "
                   "\"Play without sound.cmd\" in the game's folder.";
        case PlatformTrouble::SoundRefused:
            return "Close the programs that may hold the sound device for themselves, then "
                   "start the game again; or, to play without sound, start "
                   "\"Play without sound.cmd\" in the game's folder.";
        case PlatformTrouble::DisplayMode:
            return "To play in a window, start \"Play in a window.cmd\" in the game's folder.";
    }
    return nullptr;
}

// A report goes to the console the game was started from, or to where its starter sent the
// output; a program of the window subsystem has no console of its own.
bool WriteReport(const char* text, bool problem) {
    const DWORD which = problem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    HANDLE out = GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
        out = GetStdHandle(which);
        if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
    }
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        wchar_t wide[kLineLength];
        Widen(wide, kLineLength - 2, text);
        lstrcatW(wide, L"\r\n");
        return WriteConsoleW(out, wide, static_cast<DWORD>(lstrlenW(wide)), &written, nullptr) != 0;
    }
    char line[kLineLength];
    const int length = std::snprintf(line, sizeof line, "%s\n", text);
    if (length <= 0) return false;
    const DWORD bytes = static_cast<DWORD>(length < kLineLength ? length : kLineLength - 1);
    return WriteFile(out, line, bytes, &written, nullptr) != 0;
}

void PlatformReport(const char* text, bool problem) {
    if (WriteReport(text, problem) || !problem) return;
    wchar_t body[kLineLength];
    Widen(body, kLineLength, text);
    MessageBoxW(nullptr, body, L"+RAIL", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void PlatformErrorBox(const char* title, const char* text, const char* englishTitle,
                      const char* englishText) {
    wchar_t ownTitle[256], translatedTitle[256], boxTitle[520];
    wchar_t own[kBoxLength], translated[kBoxLength], body[kBoxLength * 2 + 4];
    Widen(ownTitle, 256, title);
    Widen(translatedTitle, 256, englishTitle);
    TrimmedWide(own, kBoxLength, text);
    TrimmedWide(translated, kBoxLength, englishText);
    // English first, then the Japanese: the wide call renders it on any system.
    if (englishTitle)
        std::swprintf(boxTitle, 520, L"%ls / %ls", translatedTitle, ownTitle);
    else
        std::swprintf(boxTitle, 520, L"%ls", ownTitle);
    if (englishText)
        std::swprintf(body, kBoxLength * 2 + 4, L"%ls\n\n%ls", translated, own);
    else
        std::swprintf(body, kBoxLength * 2 + 4, L"%ls", own);
    OutputDebugStringW(body);
    OutputDebugStringW(L"\n");
    std::fprintf(stderr, "%s: %s", englishTitle ? englishTitle : title,
                 englishText ? englishText : text);
    if (englishText) std::fprintf(stderr, "  [%s]", text);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    // Owned by the game's window so that it shows above full screen.
    MessageBoxW(Win32MainWindow(), body, boxTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
