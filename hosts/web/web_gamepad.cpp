// The Gamepad API as joystick 0: the first pad with the standard mapping, its d-pad and left
// stick as the 0..65535 positions, eight buttons. A browser shows a pad only once a button on
// it has been pressed, so the slot is offered from the start and reads centred until then.
#include <emscripten/html5.h>

#include <cstring>

#include "platform/platform.h"

namespace {

constexpr uint32_t kCentre = 32767;
constexpr uint32_t kFarEnd = 65535;
// A stick resting a little off centre must not read as pushed (as the desktop's 8000 of 32768).
constexpr double kDeadZone = 0.25;

// Buttons 1..8 in the order the game's key layouts count them: A, B, X, Y, the shoulders,
// Back and Start in the standard mapping's numbering.
constexpr int kPadButtons[8] = {0, 1, 2, 3, 4, 5, 8, 9};
constexpr int kDpadUp = 12, kDpadDown = 13, kDpadLeft = 14, kDpadRight = 15;

bool HasGamepadApi() { return emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS; }

uint32_t AxisPosition(double value) {
    if (value > -kDeadZone && value < kDeadZone) return kCentre;
    if (value <= -1.0) return 0;
    if (value >= 1.0) return kFarEnd;
    return static_cast<uint32_t>((value + 1.0) * 32767.5);
}

// The first connected pad with the standard mapping; false when there is none.
bool FirstPad(EmscriptenGamepadEvent* pad) {
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
        if (emscripten_get_gamepad_status(i, pad) != EMSCRIPTEN_RESULT_SUCCESS) continue;
        if (pad->connected && std::strcmp(pad->mapping, "standard") == 0) return true;
    }
    return false;
}

bool Pressed(const EmscriptenGamepadEvent& pad, int button) {
    return button < pad.numButtons && pad.digitalButton[button];
}

}  // namespace

int PlatformJoystickDevices() { return HasGamepadApi() ? 1 : 0; }

bool PlatformJoystickCaps(int id) { return id == 0 && HasGamepadApi(); }

bool PlatformJoystickPos(int id, PlatformJoyPos* pos) {
    *pos = PlatformJoyPos{kCentre, kCentre, 0};
    if (id != 0 || !HasGamepadApi()) return false;
    EmscriptenGamepadEvent pad;
    if (!FirstPad(&pad)) return true;
    if (pad.numAxes >= 2) {
        pos->x = AxisPosition(pad.axis[0]);
        pos->y = AxisPosition(pad.axis[1]);
    }
    if (Pressed(pad, kDpadLeft)) pos->x = 0;
    if (Pressed(pad, kDpadRight)) pos->x = kFarEnd;
    if (Pressed(pad, kDpadUp)) pos->y = 0;
    if (Pressed(pad, kDpadDown)) pos->y = kFarEnd;
    for (int b = 0; b < 8; ++b)
        if (Pressed(pad, kPadButtons[b])) pos->buttons |= 1u << b;
    return true;
}
