#include "input/input.h"

#include "frame/diagnostics.h"
#include "frame/frame.h"
#include "platform/platform.h"

InputState Input;

namespace {

constexpr int kKeyCodes = 256;
constexpr int kJoystickButtons = 8;

// Stick thresholds on the 0..65535 axis range. The dead zone is lopsided on purpose:
// a stick resting a little above the centre already reads as down or right.
constexpr uint32_t kStickLow = 0x7000;
constexpr uint32_t kStickHigh = 0x8000;
constexpr uint32_t kStickCentre = 32767;

bool IsUsableJoystick(int id) {
    return id >= 0 && id < Input.joystickCount && Input.joysticks[id].usable != 0;
}

}  // namespace

void StepButtonState(bool down, uint8_t& state) {
    if (down) {
        // A press right after a release reads as held, not as a second press.
        state = (state == ButtonIdle) ? ButtonPressed : ButtonHeld;
    } else {
        state = (state == ButtonPressed || state == ButtonHeld) ? ButtonReleased : ButtonIdle;
    }
}

uint8_t QueryKey(int code) {
    // While a modal box is open the keys belong to it: nothing is sampled or stepped.
    if (Frame.messageBoxShowing == 1) return ButtonIdle;
    if (code < 0 || code >= kKeyCodes) return ButtonIdle;
    // Every query steps the state: a second reader of a key in one frame sees held, not pressed.
    StepButtonState(PlatformKeyDown(code), Input.keyStates[code]);
    return Input.keyStates[code];
}

void DetectJoysticks() {
    if (PlatformJoystickDevices() == 0) return;

    int count = 0;
    for (int id = 0; id < kMaxJoysticks; ++id) {
        PlatformJoyPos pos{};
        bool usable = PlatformJoystickCaps(id) && PlatformJoystickPos(id, &pos);
        Input.joysticks[id].usable = usable ? 1 : 0;
        // Joysticks are numbered without gaps; one that answers after a missing id is ignored.
        if (!usable) break;
        ++count;
    }
    Input.joystickCount = count;
    DebugLine("%d個のジョイスティックが使用可能です\n", count);
}

int32_t EnableJoystick(int32_t on) {
    Frame.joystickPolling = on;
    // Switching off forgets every state, so no stale "held" survives a later switch-on.
    if (on == 0) {
        for (int id = 0; id < Input.joystickCount; ++id) ResetJoystick(id);
    }
    return Input.joystickCount;
}

void ResetJoystick(int id) {
    if (id < 0 || id >= kMaxJoysticks) return;
    JoystickRecord& joy = Input.joysticks[id];
    joy.up = joy.down = joy.left = joy.right = ButtonIdle;
    for (uint8_t& button : joy.buttons) button = ButtonIdle;
}

void PollJoysticks() {
    for (int id = 0; id < Input.joystickCount; ++id) {
        JoystickRecord& joy = Input.joysticks[id];
        if (!joy.usable) break;

        // A failed read counts as the stick at rest with nothing pressed, so an unplugged
        // pad lets go of its inputs instead of leaving them held.
        PlatformJoyPos pos{};
        if (!PlatformJoystickPos(id, &pos)) pos = PlatformJoyPos{kStickCentre, kStickCentre, 0};

        StepButtonState(pos.y < kStickLow, joy.up);
        StepButtonState(pos.y > kStickHigh, joy.down);
        StepButtonState(pos.x < kStickLow, joy.left);
        StepButtonState(pos.x > kStickHigh, joy.right);
        for (int b = 0; b < kJoystickButtons; ++b) {
            StepButtonState((pos.buttons >> b) & 1u, joy.buttons[b]);
        }
    }
}

int32_t QueryJoystick(int id, uint32_t code) {
    if (!IsUsableJoystick(id)) return ButtonIdle;
    const JoystickRecord& joy = Input.joysticks[id];
    switch (code) {
        case JoystickUp: return joy.up;
        case JoystickDown: return joy.down;
        case JoystickLeft: return joy.left;
        case JoystickRight: return joy.right;
        default: break;
    }
    for (int b = 0; b < kJoystickButtons; ++b) {
        if (code == (1u << b)) return joy.buttons[b];
    }
    return ButtonIdle;
}

int32_t AnyKeyReleased(int32_t acceptMouse) {
    for (int code = 0; code < kKeyCodes; ++code) {
        if (QueryKey(code) == ButtonReleased) return 1;
    }
    if (Frame.mouseMoved) {
        Frame.mouseMoved = 0;
        return acceptMouse != 0 ? 1 : 0;
    }
    return 0;
}

void ResetInput() { Input = InputState{}; }
