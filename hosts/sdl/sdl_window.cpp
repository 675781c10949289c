// The window: full screen on the desktop's resolution with the 640 x 480 picture scaled by
// the largest whole factor that fits (letterboxed, square pixels), or a framed window at the
// largest whole factor that fits the work area, which the player may resize (it snaps to whole
// factors; black bars where the desktop imposes another size). SDL events become the window
// messages the frame handles; the renderer's logical size keeps the mouse in picture pixels.
#define SDL_MAIN_HANDLED
#include "hosts/sdl/sdl_platform.h"
#include "hosts/window_scale.h"
#include "platform/keys.h"
#include "platform/platform_window.h"

#include <cstring>

namespace {

struct SdlWindow {
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    int32_t width, height;
    bool quitPosted;
    bool convert;  // the texture holds the window's 32-bit pixels, filled by ConvertRow
    bool fullScreen;
    int32_t windowScale;  // the window's factor, kept across full screen; 0 before the first
};

SdlWindow g_sdl;

bool AltMessage(const SDL_KeyboardEvent& key, int virtualKey) {
    return virtualKey == VkMenu || (key.keysym.mod & KMOD_ALT) != 0;
}

// False for events the frame has no message for.
bool Translate(const SDL_Event& e, PlatformMessage* m) {
    *m = PlatformMessage{MsgNone, 0, 0, 0};
    switch (e.type) {
        // The last window's close command and a termination signal both arrive as a quit.
        case SDL_QUIT: m->type = MsgClose; return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            m->key = SdlVirtualKey(e.key.keysym.scancode);
            if (m->key == 0) return false;
            const bool alt = AltMessage(e.key, m->key);
            if (e.type == SDL_KEYDOWN)
                m->type = alt ? MsgSysKeyDown : MsgKeyDown;
            else
                m->type = alt ? MsgSysKeyUp : MsgKeyUp;
            return true;
        }
        case SDL_MOUSEMOTION:
            m->type = MsgMouseMove;
            m->x = e.motion.x;
            m->y = e.motion.y;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED: m->type = MsgActivate; return true;
                case SDL_WINDOWEVENT_FOCUS_LOST: m->type = MsgDeactivate; return true;
                case SDL_WINDOWEVENT_MINIMIZED: m->type = MsgMinimize; return true;
                case SDL_WINDOWEVENT_RESTORED: m->type = MsgRestore; return true;
                case SDL_WINDOWEVENT_EXPOSED: m->type = MsgPaint; return true;
                case SDL_WINDOWEVENT_MOVED:
                    m->type = MsgMove;
                    m->x = e.window.data1;
                    m->y = e.window.data2;
                    return true;
                default: return false;
            }
        default: return false;
    }
}

// RGB565 to the window's 32-bit pixels, eight at a time, with SDL's own expansion of the
// channels (floor(v * 255 / 31) for red and blue, 4g plus a carry from its top bits for green)
// so that the window shows what SDL's table blit showed. Every product fits in 16 bits, which
// lets the compiler work on the eight pixels at once.
constexpr int32_t kBlock = 8;

inline void ConvertBlock(const uint16_t (&p)[kBlock], uint32_t (&block)[kBlock]) {
    uint16_t r[kBlock], g[kBlock], b[kBlock];
    for (int32_t i = 0; i < kBlock; ++i) {
        const uint16_t g6 = static_cast<uint16_t>((p[i] >> 5) & 63);
        r[i] = static_cast<uint16_t>(static_cast<uint16_t>((p[i] >> 11) * 1053) >> 7);
        g[i] = static_cast<uint16_t>(g6 * 4 + (static_cast<uint16_t>(g6 * 43) >> 10));
        b[i] = static_cast<uint16_t>(static_cast<uint16_t>((p[i] & 31) * 1053) >> 7);
    }
    for (int32_t i = 0; i < kBlock; ++i)
        block[i] = 0xFF000000u | uint32_t{r[i]} << 16 | uint32_t{g[i]} << 8 | b[i];
}

void ConvertRow(uint32_t* to, const uint16_t* from, int32_t n) {
    uint16_t p[kBlock];
    uint32_t block[kBlock];
    int32_t x = 0;
    for (; x + kBlock <= n; x += kBlock) {
        std::memcpy(p, from + x, sizeof p);
        ConvertBlock(p, block);
        std::memcpy(to + x, block, sizeof block);
    }
    if (x == n) return;
    // The last few pixels of a row narrower than a whole number of blocks.
    const size_t rest = static_cast<size_t>(n - x);
    std::memset(p, 0, sizeof p);
    std::memcpy(p, from + x, rest * sizeof p[0]);
    ConvertBlock(p, block);
    std::memcpy(to + x, block, rest * sizeof block[0]);
}

// A software renderer would convert the RGB565 picture to the window's pixels on every copy
// through a lookup table, after the copy into the texture: converting while filling the
// texture is one pass instead of two. An accelerated renderer takes RGB565 as it is.
SDL_Texture* CreatePictureTexture(int32_t width, int32_t height) {
    SDL_RendererInfo info;
    const Uint32 windowFormat = SDL_GetWindowPixelFormat(g_sdl.window);
    g_sdl.convert =
        SDL_GetRendererInfo(g_sdl.renderer, &info) == 0 &&
        (info.flags & SDL_RENDERER_SOFTWARE) != 0 &&
        (windowFormat == SDL_PIXELFORMAT_RGB888 || windowFormat == SDL_PIXELFORMAT_ARGB8888);
    const Uint32 format = g_sdl.convert ? windowFormat : Uint32{SDL_PIXELFORMAT_RGB565};
    SDL_Texture* texture =
        SDL_CreateTexture(g_sdl.renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    // Opaque: an alpha channel in the window's format must not make the copy a blend.
    if (texture) SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    return texture;
}

// The work area of the window's monitor and the frame the window manager puts around it (none
// known without a window manager, or before the window is first shown).
struct SdlPlace {
    WindowPlace place;
    SDL_Rect area;
    int top, left;
};

SdlPlace PlaceOfWindow() {
    SdlPlace p{};
    int display = SDL_GetWindowDisplayIndex(g_sdl.window);
    if (display < 0) display = 0;
    if (SDL_GetDisplayUsableBounds(display, &p.area) != 0 &&
        SDL_GetDisplayBounds(display, &p.area) != 0)
        p.area = SDL_Rect{0, 0, kWindowPictureWidth, kWindowPictureHeight};
    int bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(g_sdl.window, &p.top, &p.left, &bottom, &right) != 0) {
        p.top = p.left = bottom = right = 0;
    }
    // The window follows the desktop's pixels; SDL tells no DPI change to follow.
    p.place = WindowPlace{p.area.w, p.area.h, kWindowStandardDpi, p.left + right, p.top + bottom};
    return p;
}

// A window of that shape, centred in the work area with its frame.
void ShapeWindow(const WindowShape& shape, const SdlPlace& p) {
    SDL_SetWindowSize(g_sdl.window, shape.clientWidth, shape.clientHeight);
    int x = p.area.x + (p.area.w - shape.windowWidth) / 2;
    int y = p.area.y + (p.area.h - shape.windowHeight) / 2;
    // A window larger than the work area keeps its caption on the screen.
    if (x < p.area.x) x = p.area.x;
    if (y < p.area.y) y = p.area.y;
    SDL_SetWindowPosition(g_sdl.window, x + p.left, y + p.top);
    g_sdl.windowScale = shape.scale;
}

// The player resized the window: it takes the nearest whole factor of the side moved. A
// maximised window keeps the desktop's size, with black bars.
void SnapResizedWindow(int32_t width, int32_t height) {
    if (g_sdl.fullScreen || !g_sdl.window || g_sdl.windowScale == 0) return;
    if ((SDL_GetWindowFlags(g_sdl.window) & SDL_WINDOW_MAXIMIZED) != 0) return;
    const WindowShape shape =
        WindowAfterResize(g_sdl.windowScale, width, height, PlaceOfWindow().place);
    g_sdl.windowScale = shape.scale;
    // Our own new size comes back as a resize too, and then matches.
    if (shape.clientWidth != width || shape.clientHeight != height)
        SDL_SetWindowSize(g_sdl.window, shape.clientWidth, shape.clientHeight);
}

void DestroyParts() {
    if (g_sdl.texture) SDL_DestroyTexture(g_sdl.texture);
    if (g_sdl.renderer) SDL_DestroyRenderer(g_sdl.renderer);
    if (g_sdl.window) SDL_DestroyWindow(g_sdl.window);
    g_sdl.texture = nullptr;
    g_sdl.renderer = nullptr;
    g_sdl.window = nullptr;
}

}  // namespace

SDL_Window* SdlMainWindow() { return g_sdl.window; }

// SDL has no window classes. The desktop is reached here, so that its size is known; without
// one it is the window that cannot be made, which is what the player is told.
bool PlatformRegisterWindowClass(const char*) {
    SdlOpenVideo();
    return true;
}

bool PlatformCreateWindow(const char*, const char* title, int32_t x, int32_t y, int32_t width,
                          int32_t height) {
    if (!SdlOpenVideo()) return false;
    // Shown once the display has chosen full screen or a window, so that it appears once.
    g_sdl.window =
        SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (!g_sdl.window) return false;
    // Pixels stay square blocks when scaled up.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    g_sdl.renderer = SDL_CreateRenderer(g_sdl.window, -1, 0);
    if (g_sdl.renderer) {
        SDL_RenderSetLogicalSize(g_sdl.renderer, width, height);
        SDL_RenderSetIntegerScale(g_sdl.renderer, SDL_TRUE);
        g_sdl.texture = CreatePictureTexture(width, height);
    }
    if (!g_sdl.renderer || !g_sdl.texture) {
        DestroyParts();
        return false;
    }
    g_sdl.width = width;
    g_sdl.height = height;
    return true;
}

void PlatformDestroyWindow() {
    DestroyParts();
    g_sdl.fullScreen = false;
    g_sdl.windowScale = 0;
    // What was queued for the window goes with it.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

namespace {

// A second start asked this game to come to the front.
void RaiseIfAsked() {
    if (!SdlTakeRaiseRequest() || !g_sdl.window) return;
    SDL_RestoreWindow(g_sdl.window);
    SDL_RaiseWindow(g_sdl.window);
}

}  // namespace

bool PlatformPeekMessage(PlatformMessage* message) {
    RaiseIfAsked();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_RESIZED)
            SnapResizedWindow(e.window.data1, e.window.data2);
        if (Translate(e, message)) return true;
    }
    if (g_sdl.quitPosted) {
        g_sdl.quitPosted = false;
        *message = PlatformMessage{MsgQuit, 0, 0, 0};
        return true;
    }
    return false;
}

// Wakes now and then while waiting, so that a second start's call to the front is heard
// while the game is paused.
void PlatformWaitMessage() {
    constexpr int kWakeMs = 250;
    while (!g_sdl.quitPosted && !SDL_WaitEventTimeout(nullptr, kWakeMs)) RaiseIfAsked();
}

void PlatformPostQuit() { g_sdl.quitPosted = true; }

void PlatformScreenSize(int32_t* width, int32_t* height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = 640;
        *height = 480;
    }
}

// Any desktop shows the 16-bit picture in a window here, so it counts as a 16-bit one and
// Alt+Enter is allowed.
int32_t PlatformDesktopBitsPerPixel() { return 16; }

// SDL keeps no display object, clipper or text context of its own: the window and its
// renderer are the whole display, and they exist once the window does.
bool PlatformGrantDisplayStep(int32_t) { return true; }

bool PlatformSetFullScreen(bool fullScreen) {
    if (!g_sdl.window) return false;
    if (fullScreen) {
        // Cover the desktop ourselves first: without a window manager the full-screen request
        // alone leaves the window at its old size while the picture is scaled for the desktop.
        int32_t desktopWidth, desktopHeight;
        PlatformScreenSize(&desktopWidth, &desktopHeight);
        SDL_SetWindowResizable(g_sdl.window, SDL_FALSE);
        SDL_SetWindowBordered(g_sdl.window, SDL_FALSE);
        SDL_SetWindowPosition(g_sdl.window, 0, 0);
        SDL_SetWindowSize(g_sdl.window, desktopWidth, desktopHeight);
        if (SDL_SetWindowFullscreen(g_sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
        g_sdl.fullScreen = true;
        SDL_ShowWindow(g_sdl.window);
        return true;
    }
    if (SDL_SetWindowFullscreen(g_sdl.window, 0) != 0) return false;
    g_sdl.fullScreen = false;
    SDL_SetWindowBordered(g_sdl.window, SDL_TRUE);
    SDL_SetWindowResizable(g_sdl.window, SDL_TRUE);
    SDL_SetWindowMinimumSize(g_sdl.window, g_sdl.width, g_sdl.height);
    // Shown first: the window manager tells the frame's size only for a window it manages.
    SDL_ShowWindow(g_sdl.window);
    const SdlPlace place = PlaceOfWindow();
    // Back from full screen at the factor it had, where that still fits.
    const int32_t fits = WindowScaleToFit(place.place);
    const int32_t scale =
        g_sdl.windowScale > 0 && g_sdl.windowScale < fits ? g_sdl.windowScale : fits;
    ShapeWindow(WindowShapeAt(scale, place.place), place);
    return true;
}

bool SdlFillTexture(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height) {
    if (!g_sdl.texture || width != g_sdl.width || height != g_sdl.height) return false;
    if (g_sdl.convert) {
        void* texels = nullptr;
        int texturePitch = 0;
        if (SDL_LockTexture(g_sdl.texture, nullptr, &texels, &texturePitch) != 0) return false;
        for (int32_t y = 0; y < height; ++y)
            ConvertRow(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) +
                                                   static_cast<size_t>(y) * texturePitch),
                       reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                         static_cast<size_t>(y) * pitch),
                       width);
        SDL_UnlockTexture(g_sdl.texture);
        return true;
    }
    return SDL_UpdateTexture(g_sdl.texture, nullptr, pixels, pitch) == 0;
}

bool PlatformPresent(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height) {
    if (!SdlFillTexture(pixels, pitch, width, height)) return false;
    // Black bars where the scaled picture leaves the output uncovered; a window of the
    // picture's own size has none.
    int outputWidth = 0, outputHeight = 0;
    if (SDL_GetRendererOutputSize(g_sdl.renderer, &outputWidth, &outputHeight) != 0 ||
        outputWidth != width || outputHeight != height) {
        SDL_SetRenderDrawColor(g_sdl.renderer, 0, 0, 0, 255);
        SDL_RenderClear(g_sdl.renderer);
    }
    SDL_RenderCopy(g_sdl.renderer, g_sdl.texture, nullptr, nullptr);
    SDL_RenderPresent(g_sdl.renderer);
    return true;
}

void SdlShutdown() {
    SdlCloseJoysticks();
    DestroyParts();
    SDL_Quit();
}
