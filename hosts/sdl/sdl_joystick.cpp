// Joysticks as the multimedia joystick functions show them: game controllers opened once at
// detection, sticks and d-pad as 0..65535 positions, eight buttons.
#define SDL_MAIN_HANDLED
#include "hosts/sdl/sdl_platform.h"
#include "platform/platform.h"

namespace {

constexpr int kMaxPads = 8;
constexpr uint32_t kCentre = 32767;
constexpr uint32_t kFarEnd = 65535;
// A stick resting a little off centre must not read as pushed.
constexpr int kDeadZone = 8000;

// Buttons 1..8 in the order the game's key layouts count them.
constexpr SDL_GameControllerButton kPadButtons[8] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
};

struct SdlPads {
    bool opened;
    int count;
    SDL_GameController* pads[kMaxPads];
};

SdlPads g_pads;

void OpenPads() {
    if (g_pads.opened) return;
    g_pads.opened = true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) < 0) return;
    for (int i = 0; i < SDL_NumJoysticks() && g_pads.count < kMaxPads; ++i) {
        if (!SDL_IsGameController(i)) continue;
        SDL_GameController* pad = SDL_GameControllerOpen(i);
        if (pad) g_pads.pads[g_pads.count++] = pad;
    }
}

uint32_t AxisPosition(Sint16 value) {
    if (value > -kDeadZone && value < kDeadZone) return kCentre;
    return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768);
}

}  // namespace

int PlatformJoystickDevices() {
    OpenPads();
    return g_pads.count;
}

bool PlatformJoystickCaps(int id) {
    return id >= 0 && id < g_pads.count && SDL_GameControllerGetAttached(g_pads.pads[id]);
}

bool PlatformJoystickPos(int id, PlatformJoyPos* pos) {
    *pos = PlatformJoyPos{kCentre, kCentre, 0};
    if (!PlatformJoystickCaps(id)) return false;
    SDL_GameController* pad = g_pads.pads[id];
    pos->x = AxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    pos->y = AxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) pos->x = 0;
    if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) pos->x = kFarEnd;
    if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP)) pos->y = 0;
    if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) pos->y = kFarEnd;
    for (int b = 0; b < 8; ++b)
        if (SDL_GameControllerGetButton(pad, kPadButtons[b])) pos->buttons |= 1u << b;
    return true;
}

void SdlCloseJoysticks() {
    for (int i = 0; i < g_pads.count; ++i) SDL_GameControllerClose(g_pads.pads[i]);
    g_pads = SdlPads{};
}
