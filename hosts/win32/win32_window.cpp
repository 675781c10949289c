// The window of class "Class Kestrel": its window procedure turns the Win32 messages the frame
// handles into PlatformMessages, queued for PlatformPeekMessage in the order they came.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <windowsx.h>

#include "platform/platform_window.h"

namespace {

constexpr int32_t kQueueSize = 256;
constexpr int32_t kNameLength = 128;
constexpr DWORD kPopupStyle = WS_POPUP;
constexpr DWORD kWindowedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct Win32Window {
    HWND window;
    wchar_t className[kNameLength];
    PlatformMessage queue[kQueueSize];
    int32_t head, count;
    bool quitPosted;
    bool minimized;
};

Win32Window g_win;

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
        case WM_MOUSEMOVE:
            Post(MsgMouseMove, 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOVE: {
            int32_t x = 0, y = 0;
            ClientOrigin(window, &x, &y);
            Post(MsgMove, 0, x, y);
            return 0;
        }
        case WM_SIZE:
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

// Full screen: a popup covering the screen, above every other window. A window: a frame
// around a 640 x 480 client area, centred on the desktop.
void Win32ShapeWindow(bool fullScreen, int32_t width, int32_t height) {
    HWND window = g_win.window;
    if (!window) return;
    if (fullScreen) {
        SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(kPopupStyle | WS_VISIBLE));
        SetWindowPos(window, HWND_TOPMOST, 0, 0, width, height, SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        return;
    }
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, kWindowedStyle, FALSE, 0);
    const int32_t frameWidth = frame.right - frame.left;
    const int32_t frameHeight = frame.bottom - frame.top;
    int32_t screenWidth = 0, screenHeight = 0;
    PlatformScreenSize(&screenWidth, &screenHeight);
    SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(kWindowedStyle | WS_VISIBLE));
    SetWindowPos(window, HWND_NOTOPMOST, (screenWidth - frameWidth) / 2,
                 (screenHeight - frameHeight) / 2, frameWidth, frameHeight,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}
