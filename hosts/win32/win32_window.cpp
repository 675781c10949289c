// The window of class "Class Kestrel": its window procedure turns the Win32 messages the frame
// handles into PlatformMessages, queued for PlatformPeekMessage in the order they came. In a
// window the picture is shown at a whole factor: the largest that fits the monitor's work area
// when the window opens, in proportion when it moves to a monitor of another DPI, snapped while
// the player drags its edges.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <windowsx.h>

#include "hosts/window_scale.h"
#include "platform/platform_window.h"

namespace {

constexpr int32_t kQueueSize = 256;
constexpr int32_t kNameLength = 128;
constexpr DWORD kPopupStyle = WS_POPUP;
constexpr DWORD kWindowedStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
// Sent to a per-monitor aware window whose monitor's DPI changed (Windows 8.1 on).
constexpr UINT kDpiChanged = 0x02E0;

struct Win32Window {
    HWND window;
    wchar_t className[kNameLength];
    PlatformMessage queue[kQueueSize];
    int32_t head, count;
    bool quitPosted;
    bool minimized;
    bool fullScreen;
    int32_t scale;  // the windowed picture's factor, kept across full screen; 0 before the first
    int32_t dpi;    // of the monitor the window was last shaped for
};

Win32Window g_win;

// The DPI calls of Windows 10, looked up where they exist: on older systems the whole desktop
// has one DPI, and the classic calls measure at it.
using DpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustForDpiCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <typename Call>
Call User32Call(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    // Through the generic function type, which converts to any other without complaint.
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(found));
}

int32_t DpiOf(HWND window) {
    static const DpiForWindowCall dpiForWindow = User32Call<DpiForWindowCall>("GetDpiForWindow");
    if (window && dpiForWindow) {
        const UINT dpi = dpiForWindow(window);
        if (dpi > 0) return static_cast<int32_t>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int32_t dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kWindowStandardDpi;
}

// What the windowed frame adds to the client area at a DPI: borders, caption.
void FrameAt(int32_t dpi, int32_t* width, int32_t* height) {
    static const AdjustForDpiCall adjustForDpi =
        User32Call<AdjustForDpiCall>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, 0, 0};
    if (!adjustForDpi || !adjustForDpi(&frame, kWindowedStyle, FALSE, 0, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    *width = frame.right - frame.left;
    *height = frame.bottom - frame.top;
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

WindowPlace PlaceOn(const RECT& area, int32_t dpi) {
    WindowPlace place{area.right - area.left, area.bottom - area.top, dpi, 0, 0};
    FrameAt(dpi, &place.frameWidth, &place.frameHeight);
    return place;
}

// Places the window so that its client area is exactly the shape's: where the frame drawn is
// not the one measured (a system that draws every frame at one DPI), the size is corrected
// by the difference.
void PlaceWindow(HWND window, HWND after, int32_t x, int32_t y, const WindowShape& shape,
                 UINT flags) {
    SetWindowPos(window, after, x, y, shape.windowWidth, shape.windowHeight, flags);
    RECT client;
    if (!GetClientRect(window, &client)) return;
    const int32_t moreWidth = shape.clientWidth - client.right;
    const int32_t moreHeight = shape.clientHeight - client.bottom;
    if (moreWidth == 0 && moreHeight == 0) return;
    SetWindowPos(window, nullptr, 0, 0, shape.windowWidth + moreWidth,
                 shape.windowHeight + moreHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Dragging an edge: the window takes the snapped size, the edge opposite the one dragged
// staying where it is.
void SnapDrag(WPARAM edge, RECT* rect) {
    const HMONITOR monitor = MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST);
    const WindowPlace place = PlaceOn(WorkAreaOf(monitor), g_win.dpi);
    const WindowShape shape =
        WindowAfterResize(g_win.scale, rect->right - rect->left - place.frameWidth,
                          rect->bottom - rect->top - place.frameHeight, place);
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
        rect->left = rect->right - shape.windowWidth;
    else
        rect->right = rect->left + shape.windowWidth;
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
        rect->top = rect->bottom - shape.windowHeight;
    else
        rect->bottom = rect->top + shape.windowHeight;
}

// The window moved to a monitor of another DPI: it keeps its factor in proportion, where the
// system suggests putting it.
void FollowDpi(HWND window, int32_t dpi, const RECT* suggested) {
    const int32_t fromDpi = g_win.dpi;
    g_win.dpi = dpi;
    if (g_win.fullScreen || g_win.scale == 0) return;
    const HMONITOR monitor = MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST);
    const WindowShape shape =
        WindowAfterDpiChange(g_win.scale, fromDpi, PlaceOn(WorkAreaOf(monitor), dpi));
    g_win.scale = shape.scale;
    PlaceWindow(window, nullptr, suggested->left, suggested->top, shape,
                SWP_NOZORDER | SWP_NOACTIVATE);
    g_win.scale = shape.scale;
}

void Post(int32_t type, int32_t key, int32_t x, int32_t y) {
    // A full queue drops the newest; the frame takes every message each frame, so this
    // happens only while nothing is taken at all.
    if (g_win.count == kQueueSize) return;
    g_win.queue[(g_win.head + g_win.count) % kQueueSize] = PlatformMessage{type, key, x, y};
    ++g_win.count;
}

bool TakeQueued(PlatformMessage* message) {
    if (g_win.count == 0) return false;
    *message = g_win.queue[g_win.head];
    g_win.head = (g_win.head + 1) % kQueueSize;
    --g_win.count;
    return true;
}

void ClientOrigin(HWND window, int32_t* x, int32_t* y) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    *x = origin.x;
    *y = origin.y;
}

LRESULT CALLBACK KestrelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int32_t key = static_cast<int32_t>(wParam & 0xFF);
    switch (message) {
        case WM_ACTIVATEAPP:
            if (wParam) Win32RestoreSurfaces();
            Post(wParam ? MsgActivate : MsgDeactivate, 0, 0, 0);
            return 0;
        case WM_CLOSE:
            // The frame decides: the game may turn a close into a step back.
            Post(MsgClose, 0, 0, 0);
            return 0;
        case WM_KEYDOWN: Post(MsgKeyDown, key, 0, 0); return 0;
        case WM_KEYUP: Post(MsgKeyUp, key, 0, 0); return 0;
        case WM_SYSKEYDOWN:
            Post(MsgSysKeyDown, key, 0, 0);
            // Alt+F4 still closes through the system's own handling.
            if (key == VK_F4) break;
            return 0;
        case WM_SYSKEYUP:
            // Every system-key release is the frame's, so Alt alone opens no menu.
            Post(MsgSysKeyUp, key, 0, 0);
            return 0;
        case WM_SYSCHAR:
            // Alt+Enter has no menu to name; the system would beep.
            if (wParam == VK_RETURN) return 0;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && Win32CursorHidden()) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE: {
            int32_t x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            // The game knows the picture's pixels, not the window's.
            if (!g_win.fullScreen && g_win.scale > 0) {
                RECT client;
                GetClientRect(window, &client);
                ClientToPicture(client.right, client.bottom, &x, &y);
            }
            Post(MsgMouseMove, 0, x, y);
            return 0;
        }
        case WM_MOVE: {
            int32_t x = 0, y = 0;
            ClientOrigin(window, &x, &y);
            Post(MsgMove, 0, x, y);
            return 0;
        }
        case WM_SIZING:
            if (g_win.fullScreen || g_win.scale == 0) break;
            SnapDrag(wParam, reinterpret_cast<RECT*>(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            // A window is never smaller than the picture itself.
            if (!g_win.fullScreen && g_win.scale > 0) {
                int32_t frameWidth = 0, frameHeight = 0;
                FrameAt(g_win.dpi, &frameWidth, &frameHeight);
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize.x = kWindowPictureWidth + frameWidth;
                limits->ptMinTrackSize.y = kWindowPictureHeight + frameHeight;
                return 0;
            }
            break;
        case kDpiChanged:
            FollowDpi(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SIZE:
            // A size the player or the system gave the window: the present shows the largest
            // whole picture it holds, and a full screen returns to that.
            if (!g_win.fullScreen && g_win.scale > 0 && wParam == SIZE_RESTORED)
                g_win.scale = PictureScaleInClient(LOWORD(lParam), HIWORD(lParam));
            if (wParam == SIZE_MINIMIZED) {
                g_win.minimized = true;
                Post(MsgMinimize, 0, 0, 0);
            } else if (g_win.minimized && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) {
                g_win.minimized = false;
                Post(MsgRestore, 0, 0, 0);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            Post(MsgPaint, 0, 0, 0);
            return 0;
        }
        // The whole client area is the picture; an erased background would only flicker.
        case WM_ERASEBKGND: return 1;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND Win32MainWindow() { return g_win.window; }

// The first start's window answers to the class name, so a second start finds it by that.
bool PlatformClaimInstance(const char* className) {
    wchar_t name[kNameLength];
    Widen(name, kNameLength, className);
    return FindWindowW(name, nullptr) == nullptr;
}

bool PlatformShowOtherInstance(const char* className) {
    wchar_t name[kNameLength];
    Widen(name, kNameLength, className);
    HWND other = FindWindowW(name, nullptr);
    if (!other) return false;
    ShowWindow(other, SW_RESTORE);
    SetForegroundWindow(other);
    return true;
}

bool PlatformRegisterWindowClass(const char* className) {
    Widen(g_win.className, kNameLength, className);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = KestrelProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    // The icon the resource script links in (resource 1).
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = g_win.className;
    return RegisterClassExW(&windowClass) != 0;
}

bool PlatformCreateWindow(const char* className, const char* title, int32_t x, int32_t y,
                          int32_t width, int32_t height) {
    wchar_t wideClass[kNameLength], wideTitle[kNameLength];
    Widen(wideClass, kNameLength, className);
    Widen(wideTitle, kNameLength, title);
    g_win.window = CreateWindowExW(0, wideClass, wideTitle, kPopupStyle, x, y, width, height,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!g_win.window) return false;
    ShowWindow(g_win.window, SW_SHOW);
    UpdateWindow(g_win.window);
    return true;
}

void PlatformDestroyWindow() {
    if (g_win.window) DestroyWindow(g_win.window);
    g_win.window = nullptr;
    g_win.fullScreen = false;
    g_win.scale = 0;
    g_win.head = 0;
    g_win.count = 0;
}

bool PlatformPeekMessage(PlatformMessage* message) {
    if (TakeQueued(message)) return true;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *message = PlatformMessage{MsgQuit, 0, 0, 0};
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (TakeQueued(message)) return true;
    }
    if (g_win.quitPosted) {
        g_win.quitPosted = false;
        *message = PlatformMessage{MsgQuit, 0, 0, 0};
        return true;
    }
    return false;
}

void PlatformWaitMessage() {
    if (g_win.count > 0 || g_win.quitPosted) return;
    WaitMessage();
}

void PlatformPostQuit() { g_win.quitPosted = true; }

void PlatformScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

int32_t PlatformDesktopBitsPerPixel() {
    HDC screen = GetDC(nullptr);
    const int32_t bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

// Full screen: a popup of the mode's size, above every other window. A window: a resizable
// frame around the picture at a whole factor (the one it had before full screen, else the
// largest that fits), centred in its monitor's work area.
void Win32ShapeWindow(bool fullScreen, int32_t width, int32_t height) {
    HWND window = g_win.window;
    if (!window) return;
    g_win.fullScreen = fullScreen;
    if (fullScreen) {
        SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(kPopupStyle | WS_VISIBLE));
        SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        return;
    }
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    const RECT area = WorkAreaOf(monitor);
    g_win.dpi = DpiOf(window);
    const WindowPlace place = PlaceOn(area, g_win.dpi);
    const int32_t fits = WindowScaleToFit(place);
    const int32_t scale = g_win.scale > 0 && g_win.scale < fits ? g_win.scale : fits;
    const WindowShape shape = WindowShapeAt(scale, place);
    g_win.scale = shape.scale;
    int32_t x = area.left + (place.areaWidth - shape.windowWidth) / 2;
    int32_t y = area.top + (place.areaHeight - shape.windowHeight) / 2;
    // A window larger than the work area keeps its caption on the screen.
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(kWindowedStyle | WS_VISIBLE));
    PlaceWindow(window, HWND_NOTOPMOST, x, y, shape, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // Whatever sizes the style change passed through on the way.
    g_win.scale = shape.scale;
}
