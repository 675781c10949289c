#include "frame/display.h"

#include "frame/diagnostics.h"
#include "frame/start_choice.h"
#include "platform/platform_window.h"

namespace {

DisplayDeviceState Constructed() {
    DisplayDeviceState d{};
    d.windowedFlags = kWindowedFlags;
    d.fullScreenFlags = kFullScreenFlags;
    d.gdiRop = kCopyPenRop;
    return d;
}

bool FullScreenFlags(uint32_t flags) { return (flags & 1u) != 0; }

// A surface of the screen's size, when the system grants the buffer.
Surface* CreateScreenSurface(int32_t step) {
    const DisplayDeviceState& d = DisplayDevice;
    return PlatformGrantDisplayStep(step) ? CreateSurface(d.width, d.height, 0) : nullptr;
}

void ReleaseFront() {
    ReleaseSurface(DisplayDevice.front);
    DisplayDevice.front = nullptr;
}

// Full screen: a front buffer with one back buffer that flips. Windowed: a front buffer,
// an off-screen back buffer copied into the window, and a clipper bound to the window.
int32_t CreateDisplaySurfaces() {
    DisplayDeviceState& d = DisplayDevice;
    if (!d.deviceCreated) {
        ErrorBox("サーフェイス作成時点でDirectDrawが存在しません");
        return 0;
    }
    if (FullScreenFlags(d.cooperativeFlags)) {
        d.front = CreateScreenSurface(DisplayStepFrontBuffer);
        if (!d.front) {
            ErrorBox("複合サーフェイスの作成に失敗しました");
            return 0;
        }
        d.back = CreateScreenSurface(DisplayStepBackBuffer);
        if (!d.back) {
            ReleaseFront();
            ErrorBox("バックバッファを取得できません");
            return 0;
        }
        return 1;
    }
    d.front = CreateScreenSurface(DisplayStepFrontBuffer);
    if (!d.front) {
        ErrorBox("フロントバッファの作成に失敗しました");
        return 0;
    }
    d.back = CreateScreenSurface(DisplayStepBackBuffer);
    if (!d.back) {
        ReleaseFront();
        ErrorBox("オフスクリーンバッファの作成に失敗しました");
        return 0;
    }
    const char* clipperFailure = nullptr;
    if (!PlatformGrantDisplayStep(DisplayStepClipper))
        clipperFailure = "クリッパーの作成に失敗しました";
    else if (!PlatformGrantDisplayStep(DisplayStepClipperWindow))
        clipperFailure = "クリッパーの関連付けに失敗しました";
    else if (!PlatformGrantDisplayStep(DisplayStepClipperTaken))
        clipperFailure = "フロントバッファがクリッパーを拒否しました";
    if (clipperFailure) {
        ReleaseSurface(d.back);
        d.back = nullptr;
        ReleaseFront();
        ErrorBox("%s", clipperFailure);
        return 0;
    }
    d.clipper = 1;
    return 1;
}

// Also what Alt+Enter runs after releasing the surfaces.
int32_t ApplyMode() {
    DisplayDeviceState& d = DisplayDevice;
    if (!d.deviceCreated) {
        ErrorBox("DirectDrawが存在しないため設定できません");
        return 0;
    }
    if (!PlatformGrantDisplayStep(DisplayStepCooperation)) {
        ErrorBox("強調レベルの設定に失敗しました");
        return 0;
    }
    if (FullScreenFlags(d.cooperativeFlags)) {
        if (!PlatformSetFullScreen(true)) {
            ErrorBoxAdvised(PlatformTrouble::DisplayMode, "ディスプレイモードが変更できません");
            return 0;
        }
    } else {
        // A window can always be had; the platform sizes and centres it.
        PlatformSetFullScreen(false);
    }
    if (!CreateDisplaySurfaces()) return 0;
    d.ready = 1;
    return 1;
}

}  // namespace

DisplayDeviceState DisplayDevice = Constructed();

int32_t SetupDisplay() {
    DisplayDeviceState& d = DisplayDevice;
    // The software device has no 3-D capability, so the default device is the one.
    if (!PlatformGrantDisplayStep(DisplayStepDevice)) {
        ErrorBox("DirectDrawの作成に失敗しました");
        return 0;
    }
    d.deviceCreated = 1;
    DebugLine("標準のデバイスを使用します\n");

    d.width = kScreenWidth;
    d.height = kScreenHeight;
    d.bufferCount = 2;
    // The player may ask for a window from the start; Alt+Enter switches from there as ever.
    d.cooperativeFlags = StartChoice.windowed ? d.windowedFlags : d.fullScreenFlags;
    const int32_t desktopBits = PlatformDesktopBitsPerPixel();
    DebugLine("現在のディスプレイモードは%dbitカラーです\n", desktopBits);
    d.bitsPerPixel = kScreenBitsPerPixel;
    // Only a 16-bit desktop can show the 16-bit picture in a window.
    if (desktopBits != kScreenBitsPerPixel) d.toggleForbidden = 1;
    DebugLine("%dbitカラーで起動します\n", d.bitsPerPixel);
    d.clip = ClipRect{0, kScreenWidth, 0, kScreenHeight};
    d.gdiClipRegion = 1;

    if (!ApplyMode()) return 0;
    // RGB565 is the only pixel format the surfaces have; the system still has to tell it.
    if (!PlatformGrantDisplayStep(DisplayStepPixelFormat)) {
        ErrorBox("ピクセルフォーマットの取得に失敗しました\n");
        return 0;
    }
    if (!PlatformGrantDisplayStep(DisplayStepTextAccess)) {
        ErrorBox("GDIをアクセスできません");
        return 0;
    }
    return 1;
}

int32_t IsFullScreen() { return FullScreenFlags(DisplayDevice.cooperativeFlags) ? 1 : 0; }

void PresentFrame() {
    DisplayDeviceState& d = DisplayDevice;
    if (!d.ready) return;
    if (!d.presentationSuspended &&
        CopySurfaceRect(d.front, 0, 0, d.back, 0, 0, d.width, d.height, 0) == SurfaceOk)
        PlatformPresent(d.front->pixels, d.front->pitch, d.width, d.height);
    // The back buffer is restored with the front one also in a window, where it is a
    // surface of its own: left lost, nothing would be drawn again.
    if (SurfaceIsLost(d.front) || SurfaceIsLost(d.back)) {
        DebugLine("Flont/Back Bufferを復元します。\n");
        RestoreSurface(d.front);
        RestoreSurface(d.back);
    }
}

void RepaintWindow() {
    const DisplayDeviceState& d = DisplayDevice;
    if (!d.ready || IsFullScreen() || SurfaceIsLost(d.back)) return;
    PlatformPresent(d.back->pixels, d.back->pitch, d.width, d.height);
}

void ReleaseDisplaySurfaces() {
    DisplayDeviceState& d = DisplayDevice;
    // The region goes for good: text contexts after a toggle are clipped by the surface only.
    d.gdiClipRegion = 0;
    d.clipper = 0;
    ReleaseSurface(d.back);
    d.back = nullptr;
    ReleaseSurface(d.front);
    d.front = nullptr;
    d.ready = 0;
}

void ToggleFullScreen() {
    DisplayDeviceState& d = DisplayDevice;
    if (d.toggleForbidden) return;
    const bool wasFullScreen = FullScreenFlags(d.cooperativeFlags);
    ReleaseDisplaySurfaces();
    d.cooperativeFlags = wasFullScreen ? d.windowedFlags : d.fullScreenFlags;
    ApplyMode();
}

void ReleaseDisplay() {
    ReleaseDisplaySurfaces();
    DisplayDevice.deviceCreated = 0;
}

Surface* GetTextContext(ClipRect* clip) {
    const DisplayDeviceState& d = DisplayDevice;
    if (!d.ready || !d.back || SurfaceIsLost(d.back)) return nullptr;
    ClipRect c{0, d.back->width, 0, d.back->height};
    if (d.gdiClipRegion) {
        if (d.clip.left > c.left) c.left = d.clip.left;
        if (d.clip.top > c.top) c.top = d.clip.top;
        if (d.clip.right < c.right) c.right = d.clip.right;
        if (d.clip.bottom < c.bottom) c.bottom = d.clip.bottom;
    }
    *clip = c;
    return d.back;
}

void ReleaseTextContext(Surface*) {}

void ResetDisplay() {
    ReleaseAllSurfaces();
    DisplayDevice = Constructed();
}
