#include "hosts/headless/headless_window.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstring>

#include "hosts/headless/headless.h"

namespace {

constexpr int32_t kQueueSize = kHeadlessQueueSize;

struct HeadlessDesktop {
    int32_t width, height, bitsPerPixel;
    bool otherInstance;
    HeadlessWindowFault fault;
};

struct MessageQueue {
    PlatformMessage messages[kQueueSize];
    int32_t head, count;
    bool quitPosted;
    int32_t dropped;  // since the reset
};

HeadlessWindowState g_window;
constexpr HeadlessDesktop kNewDesktop{1024, 768, 16, false, HeadlessFaultNone};
HeadlessDesktop g_desktop = kNewDesktop;
MessageQueue g_queue;
HeadlessIdleFn g_idleHook;
int32_t g_refusedDisplayStep = -1;

void ApplyKeyState(const PlatformMessage& m) {
    switch (m.type) {
        case MsgKeyDown:
        case MsgSysKeyDown: HeadlessSetKey(m.key, true); break;
        case MsgKeyUp:
        case MsgSysKeyUp: HeadlessSetKey(m.key, false); break;
        default: break;
    }
}

}  // namespace

void HeadlessResetWindow() {
    g_window = HeadlessWindowState{};
    g_queue = MessageQueue{};
    g_idleHook = nullptr;
    g_desktop = kNewDesktop;
    g_refusedDisplayStep = -1;
}

const HeadlessWindowState& HeadlessWindow() { return g_window; }

void HeadlessSetDesktop(int32_t width, int32_t height, int32_t bitsPerPixel) {
    g_desktop.width = width;
    g_desktop.height = height;
    g_desktop.bitsPerPixel = bitsPerPixel;
}

void HeadlessSetOtherInstance(bool running) { g_desktop.otherInstance = running; }
void HeadlessSetWindowFault(HeadlessWindowFault fault) { g_desktop.fault = fault; }

bool HeadlessPostMessage(const PlatformMessage& message) {
    if (g_queue.count == kQueueSize) {
        ++g_queue.dropped;
        return false;
    }
    g_queue.messages[(g_queue.head + g_queue.count) % kQueueSize] = message;
    ++g_queue.count;
    return true;
}

int32_t HeadlessDroppedMessages() { return g_queue.dropped; }

int32_t HeadlessQueuedMessages() { return g_queue.count; }

void HeadlessSetIdleHook(HeadlessIdleFn hook) { g_idleHook = hook; }

void HeadlessRefuseDisplayStep(int32_t step) { g_refusedDisplayStep = step; }

bool PlatformGrantDisplayStep(int32_t step) { return step != g_refusedDisplayStep; }

bool PlatformClaimInstance(const char*) { return !g_desktop.otherInstance; }

bool PlatformShowOtherInstance(const char*) {
    if (!g_desktop.otherInstance) return false;
    ++g_window.otherInstanceShown;
    return true;
}

bool PlatformRegisterWindowClass(const char*) {
    if (g_desktop.fault == HeadlessFaultRegisterClass) return false;
    g_window.classRegistered = true;
    return true;
}

bool PlatformCreateWindow(const char*, const char* title, int32_t x, int32_t y, int32_t width,
                          int32_t height) {
    if (!g_window.classRegistered || g_desktop.fault == HeadlessFaultCreateWindow) return false;
    g_window.created = true;
    g_window.destroyed = false;
    g_window.x = x;
    g_window.y = y;
    g_window.width = width;
    g_window.height = height;
    std::snprintf(g_window.title, sizeof g_window.title, "%s", title);
    return true;
}

void PlatformDestroyWindow() {
    if (!g_window.created) return;
    g_window.created = false;
    g_window.destroyed = true;
    g_queue.head = 0;
    g_queue.count = 0;
}

bool PlatformPeekMessage(PlatformMessage* message) {
    if (g_queue.count > 0) {
        *message = g_queue.messages[g_queue.head];
        g_queue.head = (g_queue.head + 1) % kQueueSize;
        --g_queue.count;
        ApplyKeyState(*message);
        return true;
    }
    if (g_queue.quitPosted) {
        g_queue.quitPosted = false;
        *message = PlatformMessage{MsgQuit, 0, 0, 0};
        return true;
    }
    return false;
}

void PlatformWaitMessage() {
    ++g_window.waits;
    if (g_queue.count > 0 || g_queue.quitPosted) return;
    if (g_idleHook) g_idleHook();
    if (g_queue.count == 0) g_queue.quitPosted = true;
}

void PlatformPostQuit() { g_queue.quitPosted = true; }

void PlatformScreenSize(int32_t* width, int32_t* height) {
    *width = g_desktop.width;
    *height = g_desktop.height;
}

int32_t PlatformDesktopBitsPerPixel() { return g_desktop.bitsPerPixel; }

bool PlatformSetFullScreen(bool fullScreen) {
    if (!g_window.created) return false;
    if (fullScreen && g_desktop.fault == HeadlessFaultFullScreen) return false;
    g_window.fullScreen = fullScreen;
    if (!fullScreen) {
        // A window of the picture's size, centred on the desktop.
        g_window.width = kHeadlessPictureWidth;
        g_window.height = kHeadlessPictureHeight;
        g_window.x = (g_desktop.width - g_window.width) / 2;
        g_window.y = (g_desktop.height - g_window.height) / 2;
    }
    return true;
}

bool PlatformPresent(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height) {
    if (!g_window.created || !pixels || pitch < 0) return false;
    if (width < 1) width = 0;
    const int32_t w = width < kHeadlessPictureWidth ? width : kHeadlessPictureWidth;
    const int32_t h = height < kHeadlessPictureHeight ? height : kHeadlessPictureHeight;
    const size_t rowBytes = static_cast<size_t>(w) * 2;
    for (int32_t y = 0; y < h; ++y) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(
            reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
        std::memcpy(&g_window.picture[y * kHeadlessPictureWidth], row, rowBytes);
    }
    ++g_window.presentedFrames;
    return true;
}

// Plug-ins are real shared libraries here too, so the loaders can be tried with one.
#ifdef _WIN32
void* PlatformOpenLibrary(const char* path) { return LoadLibraryA(path); }

void* PlatformLibrarySymbol(void* library, const char* name) {
    return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name))
                   : nullptr;
}

void PlatformCloseLibrary(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}
#else
void* PlatformOpenLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

void* PlatformLibrarySymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void PlatformCloseLibrary(void* library) {
    if (library) dlclose(library);
}
#endif
