// Debug lines and error boxes. The program's texts are Japanese; a player on a Linux desktop
// may not read it, and a box that cannot render it shows garbage. So both go out with their
// English, and the Japanese stays out of a box that could not show it.
#define SDL_MAIN_HANDLED
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "hosts/sdl/sdl_platform.h"
#include "platform/platform.h"

namespace {

constexpr size_t kBoxTextLength = 2048;

// The font SDL's X11 message box asks for; a box can show Japanese when this set has a
// JIS X 0208 font under the player's locale.
constexpr const char* kX11BoxFont = "-*-*-medium-r-normal--*-120-*-*-*-*-*-*";

bool X11FontSetHasJapanese(Display* display) {
    char** missing = nullptr;
    int missingCount = 0;
    char* fallback = nullptr;
    XFontSet set = XCreateFontSet(display, kX11BoxFont, &missing, &missingCount, &fallback);
    bool japanese = set != nullptr;
    for (int i = 0; i < missingCount; ++i) {
        if (std::strncmp(missing[i], "JISX0208", 8) == 0) japanese = false;
    }
    if (missing) XFreeStringList(missing);
    if (set) {
        // A set without a JIS font of its own may still name one: look at what it chose.
        XFontStruct** fonts = nullptr;
        char** names = nullptr;
        const int count = XFontsOfFontSet(set, &fonts, &names);
        bool found = false;
        for (int i = 0; i < count; ++i) {
            if (std::strstr(names[i], "jisx0208") || std::strstr(names[i], "JISX0208"))
                found = true;
        }
        japanese = japanese && found;
        XFreeFontSet(display, set);
    }
    return japanese;
}

// Whether the box SDL shows now renders Japanese: the player's locale must be UTF-8 and, on
// X11, a Japanese font must be there to draw it.
bool BoxShowsJapanese() {
    char saved[256];
    std::snprintf(saved, sizeof saved, "%s", std::setlocale(LC_ALL, nullptr));
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    bool japanese =
        codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    const char* driver = SDL_GetCurrentVideoDriver();
    if (japanese && driver && std::strcmp(driver, "x11") == 0) {
        Display* display = XOpenDisplay(nullptr);
        japanese = display && XSupportsLocale() && X11FontSetHasJapanese(display);
        if (display) XCloseDisplay(display);
    }
    std::setlocale(LC_ALL, saved);
    return japanese;
}

// SDL's box does not wrap: long English lines are broken at spaces to fit a modest box.
void Wrapped(char* out, size_t size, const char* text) {
    constexpr size_t kColumns = 64;
    std::snprintf(out, size, "%s", text);
    size_t lineStart = 0, lastSpace = 0;
    for (size_t i = 0; out[i]; ++i) {
        if (out[i] == '\n') {
            lineStart = i + 1;
            lastSpace = 0;
        } else if (out[i] == ' ') {
            lastSpace = i;
        }
        if (i - lineStart >= kColumns && lastSpace > lineStart) {
            out[lastSpace] = '\n';
            lineStart = lastSpace + 1;
            lastSpace = 0;
        }
    }
}

// A text without its final line feed.
void Trimmed(char* out, size_t size, const char* text) {
    std::snprintf(out, size, "%s", text ? text : "");
    const size_t length = std::strlen(out);
    if (length > 0 && out[length - 1] == '\n') out[length - 1] = '\0';
}

}  // namespace

// One line each: the English, then the program's own text where it differs.
void PlatformDebugOutput(const char* text, const char* english) {
    char own[512], translated[1024];
    Trimmed(own, sizeof own, text);
    Trimmed(translated, sizeof translated, english);
    if (!english || std::strcmp(own, translated) == 0)
        std::fprintf(stderr, "%s\n", own);
    else
        std::fprintf(stderr, "%s  [%s]\n", translated, own);
    std::fflush(stderr);
}

// The way out is on the command line; another SDL audio driver may also find a device.
const char* PlatformAdvice(PlatformTrouble trouble) {
    switch (trouble) {
        case PlatformTrouble::NoSoundDevice:
        case PlatformTrouble::SoundRefused:
            return "To play without sound, start it as: plusrail --no-sound (or pick another "
                   "sound system with SDL_AUDIODRIVER, e.g. SDL_AUDIODRIVER=alsa plusrail).";
        case PlatformTrouble::DisplayMode:
            return "To play in a window, start it as: plusrail --window";
    }
    return nullptr;
}

void PlatformReport(const char* text, bool problem) {
    std::FILE* out = problem ? stderr : stdout;
    std::fprintf(out, "%s\n", text);
    std::fflush(out);
}

void PlatformErrorBox(const char* title, const char* text, const char* englishTitle,
                      const char* englishText) {
    char own[512], translated[1024], english[1024];
    Trimmed(own, sizeof own, text);
    Trimmed(english, sizeof english, englishText);
    Wrapped(translated, sizeof translated, english);
    const bool japanese = !englishText || BoxShowsJapanese();
    char boxTitle[256], body[kBoxTextLength];
    if (!englishText) {
        std::snprintf(boxTitle, sizeof boxTitle, "%s", title);
        std::snprintf(body, sizeof body, "%s", own);
    } else if (japanese) {
        std::snprintf(boxTitle, sizeof boxTitle, "%s / %s", englishTitle ? englishTitle : "",
                      title);
        std::snprintf(body, sizeof body, "%s\n\n%s", translated, own);
    } else {
        std::snprintf(boxTitle, sizeof boxTitle, "%s", englishTitle ? englishTitle : "Message");
        std::snprintf(body, sizeof body, "%s", translated);
    }
    // The terminal gets both, whatever the box can show.
    std::fprintf(stderr, "%s: %s", englishTitle ? englishTitle : title,
                 englishText ? english : own);
    if (englishText) std::fprintf(stderr, "  [%s]", own);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    // Owned by the game's window so that it shows above full screen.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, boxTitle, body, SdlMainWindow());
}
