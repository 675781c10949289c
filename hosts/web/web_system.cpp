// Clocks, the cursor, debug lines and error boxes, folders, plug-in libraries and files.
#include <emscripten/emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "hosts/web/web_glue.h"
#include "hosts/web/web_platform.h"
#include "platform/platform.h"
#include "platform/platform_window.h"

namespace {

// Where the page's file package puts the pictures and sounds; the data files are kept there
// too, beside them, as on the desktop.
constexpr const char* kGameFolder = "/game";

// A text without its final line feed.
void Trimmed(char* out, size_t size, const char* text) {
    std::snprintf(out, size, "%s", text ? text : "");
    const size_t length = std::strlen(out);
    if (length > 0 && out[length - 1] == '\n') out[length - 1] = '\0';
}

}  // namespace

uint32_t PlatformMilliseconds() {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

// A page must never block; only the desktop's loop paces by sleeping, and the browser's loop
// never asks.
void PlatformSleep(uint32_t) {}

int64_t PlatformCalendarSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void PlatformShowCursor(bool show) { WebShowCursor(show ? 1 : 0); }

// One console line each: the English, then the program's own text where it differs.
void PlatformDebugOutput(const char* text, const char* english) {
    char own[512], translated[1024], line[1600];
    Trimmed(own, sizeof own, text);
    Trimmed(translated, sizeof translated, english);
    if (!english || std::strcmp(own, translated) == 0)
        std::snprintf(line, sizeof line, "%s", own);
    else
        std::snprintf(line, sizeof line, "%s  [%s]", translated, own);
    WebConsoleLine(line);
}

const char* PlatformAdvice(PlatformTrouble trouble) {
    switch (trouble) {
        case PlatformTrouble::NoSoundDevice:
            return "This browser gives the page no audio output: open the game in a browser "
                   "that plays sound (and allows this page to), then reload it.";
        case PlatformTrouble::SoundRefused:
            return "The browser would not let the page play sound: allow this page to play "
                   "sound, then reload it.";
        case PlatformTrouble::DisplayMode: return nullptr;  // the page is never switched
    }
    return nullptr;
}

// The console, and for a problem the page itself: the player may not have the console open.
void PlatformReport(const char* text, bool problem) { WebReport(text, problem ? 1 : 0); }

// A modal overlay in the page with both texts, English first. A page cannot stop in the
// middle of a frame: the call returns at once, and the frames wait until the player has
// acknowledged the box.
void PlatformErrorBox(const char* title, const char* text, const char* englishTitle,
                      const char* englishText) {
    char own[1024], english[1024];
    Trimmed(own, sizeof own, text);
    Trimmed(english, sizeof english, englishText);
    WebShowErrorBox(title, own, englishTitle, englishText ? english : nullptr);
}

bool WebErrorBoxOpen() { return WebErrorBoxShowing() != 0; }

bool PlatformExecutableFolder(char* path, int32_t size) {
    const int written = std::snprintf(path, static_cast<size_t>(size), "%s", kGameFolder);
    return size > 0 && written > 0 && written < size;
}

bool PlatformFolderExists(const char* path) {
    struct stat info;
    return path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformChangeFolder(const char* path) { return path && chdir(path) == 0; }

// One game per browser profile (the page's lock); the number only has to be stable.
int64_t PlatformProcessId() { return 1; }

// The file lives in the page's memory; what makes it last is the copy into the browser's
// storage, made once the save is complete (its temporary file renamed into place).
bool PlatformSyncFile(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    WebMarkFilesChanged();
    return true;
}

// The page's file system renames in one step; the stored copy follows the new name.
bool PlatformReplaceFile(const char* from, const char* to) {
    const bool replaced = std::rename(from, to) == 0;
    WebMarkFilesChanged();
    return replaced;
}

// No plug-in library can be loaded into a page: every image plug-in is missing.
void* PlatformOpenLibrary(const char*) { return nullptr; }

void* PlatformLibrarySymbol(void*, const char*) { return nullptr; }

void PlatformCloseLibrary(void*) {}
