// DirectDraw. Full screen: exclusive 640 x 480 x 16 with a primary surface and one back
// buffer that flips. A window: a primary surface clipped to the window, an off-screen back
// buffer of the desktop's format, blitted into the client area; at 2x or more the picture goes
// widened by its whole factor into a system-memory surface of that size instead. The frame
// draws into its own 16-bit surfaces; a presentation copies its picture row by row into the
// locked buffer in whatever pixel format that reports.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <ddraw.h>

#include <cstring>

#include "hosts/window_scale.h"
#include "platform/platform_window.h"

namespace {

constexpr DWORD kScreenWidth = 640;
constexpr DWORD kScreenHeight = 480;
constexpr DWORD kScreenBits = 16;

enum PixelLayout : int32_t { Layout565, Layout555, Layout8888, LayoutOther };

struct Win32Display {
    IDirectDraw7* device;
    IDirectDrawSurface7* front;
    IDirectDrawSurface7* back;
    IDirectDrawClipper* clipper;
    IDirectDrawSurface7* scaled;  // the windowed picture widened, at scaledFactor
    int32_t scaledFactor;
    bool fullScreen;
    bool modeChanged;  // the desktop's mode was changed and must be put back
    int32_t layout;
};

Win32Display g_display;

template <typename T>
void Release(T** object) {
    if (*object) (*object)->Release();
    *object = nullptr;
}

// The back buffer of a flipping chain goes with the front buffer; only the windowed one is
// an object of its own.
void ReleaseSurfaces() {
    if (g_display.front) g_display.front->SetClipper(nullptr);
    Release(&g_display.clipper);
    Release(&g_display.scaled);
    g_display.scaledFactor = 0;
    Release(&g_display.back);
    Release(&g_display.front);
}

int32_t LayoutOf(const DDPIXELFORMAT& format) {
    if (!(format.dwFlags & DDPF_RGB)) return LayoutOther;
    if (format.dwRGBBitCount == 16 && format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0 &&
        format.dwBBitMask == 0x001F)
        return Layout565;
    if (format.dwRGBBitCount == 16 && format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x03E0 &&
        format.dwBBitMask == 0x001F)
        return Layout555;
    if (format.dwRGBBitCount == 32 && format.dwRBitMask == 0xFF0000 &&
        format.dwGBitMask == 0x00FF00 && format.dwBBitMask == 0x0000FF)
        return Layout8888;
    return LayoutOther;
}

bool CreateFront() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (g_display.fullScreen) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps |= DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
    }
    return g_display.device &&
           g_display.device->CreateSurface(&desc, &g_display.front, nullptr) == DD_OK;
}

bool CreateBack() {
    if (!g_display.front) return false;
    if (g_display.fullScreen) {
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        return g_display.front->GetAttachedSurface(&caps, &g_display.back) == DD_OK;
    }
    // Off-screen, of the primary's format, so the blit into the window converts nothing.
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.dwWidth = kScreenWidth;
    desc.dwHeight = kScreenHeight;
    return g_display.device->CreateSurface(&desc, &g_display.back, nullptr) == DD_OK;
}

bool ReadPixelFormat() {
    if (!g_display.back) return false;
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    if (g_display.back->GetPixelFormat(&format) != DD_OK) return false;
    g_display.layout = LayoutOf(format);
    return g_display.layout != LayoutOther;
}

// The frame writes text through GDI on its own surfaces; the system's back buffer must lend
// its device context too, or a driver without it would show nothing of what GDI draws.
bool TryTextAccess() {
    HDC dc = nullptr;
    if (!g_display.back || g_display.back->GetDC(&dc) != DD_OK) return false;
    g_display.back->ReleaseDC(dc);
    return true;
}

// RGB565 rows into the back buffer's layout.
void CopyRow(uint8_t* to, const uint16_t* from, DWORD width) {
    switch (g_display.layout) {
        case Layout565: std::memcpy(to, from, width * 2); break;
        case Layout555: {
            uint16_t* out = reinterpret_cast<uint16_t*>(to);
            for (DWORD x = 0; x < width; ++x)
                out[x] = static_cast<uint16_t>(((from[x] >> 1) & 0x7FE0) | (from[x] & 0x001F));
            break;
        }
        case Layout8888: {
            uint32_t* out = reinterpret_cast<uint32_t*>(to);
            for (DWORD x = 0; x < width; ++x) {
                const uint32_t r = (from[x] >> 11) & 31, g = (from[x] >> 5) & 63, b = from[x] & 31;
                out[x] = (r << 19 | r << 14) & 0xFF0000u;
                out[x] |= (g << 10 | g << 4) & 0x00FF00u;
                out[x] |= (b << 3 | b >> 2) & 0x0000FFu;
            }
            break;
        }
        default: break;
    }
}

// One row of the picture in the surface's layout, each pixel `scale` times side by side.
void CopyRowWidened(uint8_t* to, const uint16_t* from, DWORD width, int32_t scale) {
    if (scale == 1) {
        CopyRow(to, from, width);
        return;
    }
    static uint32_t row[kScreenWidth];
    CopyRow(reinterpret_cast<uint8_t*>(row), from, width);
    const auto times = static_cast<DWORD>(scale);
    if (g_display.layout == Layout8888) {
        uint32_t* out = reinterpret_cast<uint32_t*>(to);
        for (DWORD x = 0; x < width; ++x)
            for (DWORD k = 0; k < times; ++k) out[x * times + k] = row[x];
    } else {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(row);
        uint16_t* out = reinterpret_cast<uint16_t*>(to);
        for (DWORD x = 0; x < width; ++x)
            for (DWORD k = 0; k < times; ++k) out[x * times + k] = in[x];
    }
}

// The picture into a surface, every pixel a `scale` x `scale` block of the surface's.
bool FillSurface(IDirectDrawSurface7* surface, const uint16_t* pixels, int32_t pitch, int32_t width,
                 int32_t height, int32_t scale) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (locked == DDERR_SURFACELOST) {
        Win32RestoreSurfaces();
        surface->Restore();
        locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    }
    if (locked != DD_OK) return false;
    const auto times = static_cast<DWORD>(scale);
    DWORD rows = static_cast<DWORD>(height), columns = static_cast<DWORD>(width);
    if (rows > desc.dwHeight / times) rows = desc.dwHeight / times;
    if (columns > desc.dwWidth / times) columns = desc.dwWidth / times;
    if (columns > kScreenWidth) columns = kScreenWidth;
    auto* target = static_cast<uint8_t*>(desc.lpSurface);
    const auto line = static_cast<size_t>(desc.lPitch);
    const size_t bytes =
        static_cast<size_t>(columns) * times * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
    const auto* source = reinterpret_cast<const uint8_t*>(pixels);
    for (DWORD y = 0; y < rows; ++y) {
        uint8_t* first = target + static_cast<size_t>(y) * times * line;
        CopyRowWidened(first,
                       reinterpret_cast<const uint16_t*>(source + static_cast<size_t>(y) *
                                                                      static_cast<size_t>(pitch)),
                       columns, scale);
        for (DWORD k = 1; k < times; ++k) std::memcpy(first + k * line, first, bytes);
    }
    surface->Unlock(nullptr);
    return true;
}

// Windowed cooperation, set once the window has its windowed shape: set while it was still the
// full-screen popup, Wine showed a wrong part of the stretched picture.
bool CooperateWithWindow(HWND window) {
    return g_display.device->SetCooperativeLevel(window, DDSCL_NORMAL) == DD_OK;
}

// The surface the windowed picture is widened into at `scale`, made when the factor changes.
bool ScaledSurface(int32_t scale) {
    if (g_display.scaledFactor == scale && g_display.scaled) return true;
    Release(&g_display.scaled);
    g_display.scaledFactor = 0;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.dwWidth = static_cast<DWORD>(kWindowPictureWidth * scale);
    desc.dwHeight = static_cast<DWORD>(kWindowPictureHeight * scale);
    if (g_display.device->CreateSurface(&desc, &g_display.scaled, nullptr) != DD_OK) return false;
    g_display.scaledFactor = scale;
    return true;
}

// The whole factor of the picture in the window's client area.
int32_t WindowScale() {
    RECT client{0, 0, 0, 0};
    GetClientRect(Win32MainWindow(), &client);
    return PictureScaleInClient(client.right, client.bottom);
}

void FillBlack(const RECT& area) {
    if (area.right <= area.left || area.bottom <= area.top) return;
    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = 0;
    RECT target = area;
    g_display.front->Blt(&target, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
}

// The picture into the window's client area at the largest whole factor the client area holds,
// centred; black bars fill what is left (a maximised window, a size the
// system imposed). A snapped window has none.
HRESULT BlitIntoWindow() {
    HWND window = Win32MainWindow();
    RECT client;
    POINT origin{0, 0};
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    const PictureInClient place = PicturePlaceInClient(client.right, client.bottom);
    const int32_t scale = place.scale;
    const int32_t width = kWindowPictureWidth * scale, height = kWindowPictureHeight * scale;
    RECT picture{place.left, place.top, place.left + width, place.top + height};
    OffsetRect(&picture, origin.x, origin.y);
    OffsetRect(&client, origin.x, origin.y);
    if (client.right - client.left > width || client.bottom - client.top > height) {
        FillBlack(RECT{client.left, client.top, client.right, picture.top});
        FillBlack(RECT{client.left, picture.bottom, client.right, client.bottom});
        FillBlack(RECT{client.left, picture.top, picture.left, picture.bottom});
        FillBlack(RECT{picture.right, picture.top, client.right, picture.bottom});
    }
    // The widened picture when it was made at this factor; else the back buffer stretched.
    IDirectDrawSurface7* shown =
        scale > 1 && g_display.scaledFactor == scale ? g_display.scaled : g_display.back;
    return g_display.front->Blt(&picture, shown, nullptr, DDBLT_WAIT, nullptr);
}

// The back buffer onto the screen: a flip, or a blit into the window's client area.
bool ShowBack() {
    const HRESULT shown =
        g_display.fullScreen ? g_display.front->Flip(nullptr, DDFLIP_WAIT) : BlitIntoWindow();
    if (shown == DDERR_SURFACELOST) Win32RestoreSurfaces();
    return shown == DD_OK;
}

}  // namespace

bool PlatformGrantDisplayStep(int32_t step) {
    switch (step) {
        case DisplayStepDevice:
            if (g_display.device) return true;
            return DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&g_display.device),
                                      IID_IDirectDraw7, nullptr) == DD_OK;
        case DisplayStepCooperation:
            // A mode change starts here: the old surfaces go, and the window's plain
            // cooperation is the ground either mode is built on.
            ReleaseSurfaces();
            if (g_display.device && g_display.modeChanged) g_display.device->RestoreDisplayMode();
            g_display.modeChanged = false;
            return g_display.device && Win32MainWindow() &&
                   g_display.device->SetCooperativeLevel(Win32MainWindow(), DDSCL_NORMAL) == DD_OK;
        case DisplayStepFrontBuffer: return CreateFront();
        case DisplayStepBackBuffer: return CreateBack();
        case DisplayStepClipper:
            return g_display.device &&
                   g_display.device->CreateClipper(0, &g_display.clipper, nullptr) == DD_OK;
        case DisplayStepClipperWindow:
            return g_display.clipper && g_display.clipper->SetHWnd(0, Win32MainWindow()) == DD_OK;
        case DisplayStepClipperTaken:
            return g_display.front && g_display.front->SetClipper(g_display.clipper) == DD_OK;
        case DisplayStepPixelFormat: return ReadPixelFormat();
        case DisplayStepTextAccess: return TryTextAccess();
        default: return false;
    }
}

bool PlatformSetFullScreen(bool fullScreen) {
    HWND window = Win32MainWindow();
    if (!g_display.device || !window) return false;
    ReleaseSurfaces();
    if (fullScreen) {
        if (g_display.device->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) !=
            DD_OK)
            return false;
        Win32ShapeWindow(true, static_cast<int32_t>(kScreenWidth),
                         static_cast<int32_t>(kScreenHeight));
        if (g_display.device->SetDisplayMode(kScreenWidth, kScreenHeight, kScreenBits, 0, 0) !=
            DD_OK)
            return false;
        g_display.modeChanged = true;
    } else {
        if (g_display.modeChanged) g_display.device->RestoreDisplayMode();
        g_display.modeChanged = false;
        // Shaped first: the system may size what it presents by the window it cooperates with.
        Win32ShapeWindow(false, static_cast<int32_t>(kScreenWidth),
                         static_cast<int32_t>(kScreenHeight));
        if (!CooperateWithWindow(window)) return false;
    }
    g_display.fullScreen = fullScreen;
    return true;
}

bool PlatformPresent(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height) {
    if (!g_display.front || !g_display.back || !pixels || pitch < 0) return false;
    // In a window at 2x or more the picture is widened here, pixel by pixel: a stretching
    // blit may smooth it (Wine's does), and the pixels must stay square blocks.
    const int32_t scale = g_display.fullScreen ? 1 : WindowScale();
    if (scale > 1 && ScaledSurface(scale)) {
        if (!FillSurface(g_display.scaled, pixels, pitch, width, height, scale)) return false;
    } else if (!FillSurface(g_display.back, pixels, pitch, width, height, 1)) {
        return false;
    }
    return ShowBack();
}

void Win32RestoreSurfaces() {
    if (!g_display.front) return;
    // The primary brings its flipping back buffer with it; the windowed back buffer is apart.
    if (g_display.front->IsLost() == DDERR_SURFACELOST) g_display.front->Restore();
    if (!g_display.fullScreen && g_display.back && g_display.back->IsLost() == DDERR_SURFACELOST)
        g_display.back->Restore();
}

void Win32ReleaseDisplay() {
    ReleaseSurfaces();
    if (g_display.device) {
        if (g_display.modeChanged) g_display.device->RestoreDisplayMode();
        HWND window = Win32MainWindow();
        if (window) g_display.device->SetCooperativeLevel(window, DDSCL_NORMAL);
    }
    Release(&g_display.device);
    g_display = Win32Display{};
}
