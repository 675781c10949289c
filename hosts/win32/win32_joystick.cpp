// Joysticks through the multimedia joystick functions. Positions are scaled from each
// device's own range to 0..65535, the range the input layer reads.

// windows.h comes first: the other system headers build on it.
#include "hosts/win32/win32_platform.h"

#include <mmsystem.h>

#include "platform/platform.h"

namespace {

constexpr int kMaxDevices = 16;
constexpr uint32_t kFarEnd = 65535;

struct Win32Pads {
    bool known[kMaxDevices];
    UINT xMin[kMaxDevices], xMax[kMaxDevices];
    UINT yMin[kMaxDevices], yMax[kMaxDevices];
};

Win32Pads g_pads;

uint32_t Scaled(DWORD value, UINT low, UINT high) {
    if (high <= low) return static_cast<uint32_t>(value);
    if (value <= low) return 0;
    if (value >= high) return kFarEnd;
    return static_cast<uint32_t>(static_cast<uint64_t>(value - low) * kFarEnd / (high - low));
}

}  // namespace

int PlatformJoystickDevices() { return static_cast<int>(joyGetNumDevs()); }

bool PlatformJoystickCaps(int id) {
    if (id < 0 || id >= kMaxDevices) return false;
    JOYCAPSW caps;
    if (joyGetDevCapsW(static_cast<UINT_PTR>(id), &caps, sizeof caps) != JOYERR_NOERROR)
        return false;
    g_pads.known[id] = true;
    g_pads.xMin[id] = caps.wXmin;
    g_pads.xMax[id] = caps.wXmax;
    g_pads.yMin[id] = caps.wYmin;
    g_pads.yMax[id] = caps.wYmax;
    return true;
}

bool PlatformJoystickPos(int id, PlatformJoyPos* pos) {
    *pos = PlatformJoyPos{kFarEnd / 2, kFarEnd / 2, 0};
    if (id < 0 || id >= kMaxDevices) return false;
    JOYINFOEX info{};
    info.dwSize = sizeof info;
    info.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
    if (joyGetPosEx(static_cast<UINT>(id), &info) != JOYERR_NOERROR) return false;
    if (!g_pads.known[id] && !PlatformJoystickCaps(id)) return false;
    pos->x = Scaled(info.dwXpos, g_pads.xMin[id], g_pads.xMax[id]);
    pos->y = Scaled(info.dwYpos, g_pads.yMin[id], g_pads.yMax[id]);
    pos->buttons = static_cast<uint32_t>(info.dwButtons);
    return true;
}
