// The window is the page's canvas: the 640 x 480 picture drawn into it, scaled by the page to
// the largest whole factor that fits, with crisp pixels. The page's events become the window
// messages the frame handles.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "hosts/web/web_glue.h"
#include "hosts/web/web_platform.h"
#include "platform/keys.h"
#include "platform/platform_window.h"

namespace {

constexpr int32_t kQueueSize = 256;
constexpr int32_t kPictureWidth = 640;
constexpr int32_t kPictureHeight = 480;

struct WebWindow {
    bool created;
    bool quitPosted;
    bool fullScreen;  // what the game last asked for
    bool listening;   // start-up is over and the page's events arrive
    PlatformMessage queue[kQueueSize];
    int32_t head, count;
    uint8_t rgba[kPictureWidth * kPictureHeight * 4];
};

WebWindow g_web;

// The page's canvas takes 8-bit RGBA: RGB565 expanded as the desktop's SDL blit expands it
// (floor(v * 255 / 31) for red and blue, 4g plus a carry from its top bits for green), so
// that the browser shows the desktop's exact colours.
void ConvertPicture(const uint16_t* pixels, int32_t pitch) {
    uint8_t* to = g_web.rgba;
    for (int32_t y = 0; y < kPictureHeight; ++y) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(
            reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
        for (int32_t x = 0; x < kPictureWidth; ++x) {
            const uint16_t p = row[x];
            const uint16_t g6 = static_cast<uint16_t>((p >> 5) & 63);
            *to++ = static_cast<uint8_t>(static_cast<uint16_t>((p >> 11) * 1053) >> 7);
            *to++ = static_cast<uint8_t>(g6 * 4 + (static_cast<uint16_t>(g6 * 43) >> 10));
            *to++ = static_cast<uint8_t>(static_cast<uint16_t>((p & 31) * 1053) >> 7);
            *to++ = 255;
        }
    }
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* e, void*) {
    // While an error box is open the keys are the box's (Enter on its button), not the game's.
    if (WebErrorBoxOpen()) return EM_FALSE;
    const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    const int key = WebVirtualKey(e->code);
    if (key == 0 || !WebSetKeyPosition(e->code, down)) return EM_FALSE;
    const bool alt = key == VkMenu || e->altKey;
    PlatformMessage m{MsgNone, key, 0, 0};
    if (down)
        m.type = alt ? MsgSysKeyDown : MsgKeyDown;
    else
        m.type = alt ? MsgSysKeyUp : MsgKeyUp;
    WebPostMessage(m);
    // The page does not scroll or move its focus on the game's keys. The function keys and
    // the browser's own shortcuts (with Ctrl or the system key) keep working.
    const bool functionKey = key >= VkF1 && key <= VkF1 + 11;
    const bool shortcut = (e->ctrlKey || e->metaKey) && key != VkControl;
    return functionKey || shortcut ? EM_FALSE : EM_TRUE;
}

// A hidden page pauses the game as a deactivated window does.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
    WebPostMessage(PlatformMessage{e->hidden ? MsgDeactivate : MsgActivate, 0, 0, 0});
    return EM_FALSE;
}

// Keys held when the page loses the keyboard would never see their release.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
    WebReleaseAllKeys();
    return EM_FALSE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*) {
    // The page scales the canvas: targetX/Y are in the page's pixels, the game counts its own.
    const int32_t scale = WebCanvasScale();
    WebPostMessage(PlatformMessage{MsgMouseMove, 0, e->targetX / scale, e->targetY / scale});
    return EM_FALSE;
}

}  // namespace

void WebPostMessage(const PlatformMessage& message) {
    if (!g_web.created || g_web.count == kQueueSize) return;
    g_web.queue[(g_web.head + g_web.count) % kQueueSize] = message;
    ++g_web.count;
}

void WebListenForInput() {
    g_web.listening = true;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_blur_callback(window, nullptr, EM_FALSE, OnBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
    emscripten_set_mousemove_callback("#screen", nullptr, EM_FALSE, OnMouseMove);
}

// Called by the page when the player switches full screen with its button or the browser
// leaves full screen by itself: the game hears it as the Alt+Enter it already handles.
extern "C" EMSCRIPTEN_KEEPALIVE void WebFullScreenChanged(int32_t on) {
    if ((on != 0) != g_web.fullScreen) WebPostMessage(PlatformMessage{MsgSysKeyUp, VkReturn, 0, 0});
}

// The canvas is always there; nothing to register.
bool PlatformRegisterWindowClass(const char*) { return true; }

bool PlatformCreateWindow(const char*, const char*, int32_t, int32_t, int32_t width,
                          int32_t height) {
    if (width != kPictureWidth || height != kPictureHeight) return false;
    g_web.created = true;
    g_web.head = g_web.count = 0;
    return true;
}

void PlatformDestroyWindow() {
    // What was queued for the window goes with it.
    g_web.created = false;
    g_web.head = g_web.count = 0;
}

bool PlatformPeekMessage(PlatformMessage* message) {
    if (g_web.count > 0) {
        *message = g_web.queue[g_web.head];
        g_web.head = (g_web.head + 1) % kQueueSize;
        --g_web.count;
        return true;
    }
    if (g_web.quitPosted) {
        g_web.quitPosted = false;
        *message = PlatformMessage{MsgQuit, 0, 0, 0};
        return true;
    }
    return false;
}

// A page must never block: the browser's loop asks again at the next display refresh.
void PlatformWaitMessage() {}

void PlatformPostQuit() { g_web.quitPosted = true; }

void PlatformScreenSize(int32_t* width, int32_t* height) { WebScreenSize(width, height); }

// A canvas shows the 16-bit picture at any desktop depth, so it counts as a 16-bit one and
// Alt+Enter is allowed.
int32_t PlatformDesktopBitsPerPixel() { return 16; }

// The canvas is the whole display; no step can be refused.
bool PlatformGrantDisplayStep(int32_t) { return true; }

bool PlatformSetFullScreen(bool fullScreen) {
    g_web.fullScreen = fullScreen;
    // A page may enter full screen only just after the player pressed a key or clicked, and a
    // page that fills the screen as it opens would hide the page it is. Asked at start-up
    // (where the game starts in full screen) or at any other time, the page stays as it is,
    // and the game hears that as the player switching back.
    if (!g_web.listening || !WebFullScreen(fullScreen ? 1 : 0))
        WebFullScreenChanged(fullScreen ? 0 : 1);
    return true;
}

bool PlatformPresent(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height) {
    if (!g_web.created || width != kPictureWidth || height != kPictureHeight) return false;
    ConvertPicture(pixels, pitch);
    WebDrawPicture(g_web.rgba, width, height);
    return true;
}
