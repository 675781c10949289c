#include "input/buttons.h"

#include "input/input.h"
#include "platform/keys.h"

ButtonLatchState ButtonLatch;

const char* const GameActionLabel[6] = {
    "NO USE", "ROTATE RIGHT", "ROTATE LEFT", "SPEEDY FALL", "INSTANT FALL", "FALL & FIX",
};

namespace {

// Each logical button has one fixed key and one fixed input of joystick 0.
struct ButtonBinding {
    int32_t* latch;
    int key;  // Windows virtual-key code
    uint32_t joystickCode;
};

// In the order the buttons are sampled.
const ButtonBinding kBindings[] = {
    {&ButtonLatch.up, VkUp, JoystickUp},
    {&ButtonLatch.down, VkDown, JoystickDown},
    {&ButtonLatch.right, VkRight, JoystickRight},
    {&ButtonLatch.left, VkLeft, JoystickLeft},
    {&ButtonLatch.key[1], 'Z', 1},
    {&ButtonLatch.key[2], 'S', 2},
    {&ButtonLatch.key[3], 'X', 4},
    {&ButtonLatch.key[4], 'C', 8},
    {&ButtonLatch.key[5], 'W', 16},
    {&ButtonLatch.key[6], 'E', 32},
    {&ButtonLatch.key[7], 'Q', 64},
    {&ButtonLatch.key[8], 'R', 128},
};

}  // namespace

void LatchButtons() {
    for (const ButtonBinding& binding : kBindings) {
        int32_t value = QueryKey(binding.key);
        int32_t joystick = QueryJoystick(0, binding.joystickCode);
        // Held beats pressed beats released beats idle: a button is up only when both are.
        if (joystick > value) value = joystick;
        *binding.latch = value;
    }
}

void ResetButtons() {
    ButtonLatch = ButtonLatchState{};
    ResetActionCounters();
}
