#pragma once
// Key and joystick state machines. Keys are sampled when queried; joysticks are read once
// per frame by PollJoysticks and queries only read the stored states.
#include <cstdint>

#include "rules/actions.h"  // the ButtonState values

constexpr int kMaxJoysticks = 8;

// JoystickCode values besides the button bits 1, 2, 4, ... 128.
constexpr uint32_t JoystickUp = 0x80000001u;
constexpr uint32_t JoystickDown = 0x80000002u;
constexpr uint32_t JoystickLeft = 0x80000003u;
constexpr uint32_t JoystickRight = 0x80000004u;

struct JoystickRecord {
    int32_t usable;
    uint8_t up, down, left, right;
    uint8_t buttons[8];
};

struct InputState {
    uint8_t keyStates[256];  // KeyStateTable
    JoystickRecord joysticks[kMaxJoysticks];
    int32_t joystickCount;  // usable joysticks, always ids 0..count - 1
};
extern InputState Input;

void StepButtonState(bool down, uint8_t& state);
uint8_t QueryKey(int code);
void DetectJoysticks();
int32_t EnableJoystick(int32_t on);
void ResetJoystick(int id);
void PollJoysticks();
int32_t QueryJoystick(int id, uint32_t code);
int32_t AnyKeyReleased(int32_t acceptMouse);

// Back to the state of a process that has just started: every key idle, no joystick.
void ResetInput();
