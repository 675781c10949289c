// Keys by Windows virtual-key code, sampled at the moment of the query.
#define SDL_MAIN_HANDLED
#include "hosts/sdl/sdl_platform.h"
#include "platform/keys.h"
#include "platform/platform.h"

namespace {

struct KeyName {
    SDL_Scancode scancode;
    int virtualKey;
};

// Key positions of a US keyboard. Shift, Ctrl and Alt appear twice: the first code is the
// one their messages carry, the second the left- or right-hand code a query may also ask for.
constexpr KeyName kKeyNames[] = {
    {SDL_SCANCODE_A, 'A'},
    {SDL_SCANCODE_B, 'B'},
    {SDL_SCANCODE_C, 'C'},
    {SDL_SCANCODE_D, 'D'},
    {SDL_SCANCODE_E, 'E'},
    {SDL_SCANCODE_F, 'F'},
    {SDL_SCANCODE_G, 'G'},
    {SDL_SCANCODE_H, 'H'},
    {SDL_SCANCODE_I, 'I'},
    {SDL_SCANCODE_J, 'J'},
    {SDL_SCANCODE_K, 'K'},
    {SDL_SCANCODE_L, 'L'},
    {SDL_SCANCODE_M, 'M'},
    {SDL_SCANCODE_N, 'N'},
    {SDL_SCANCODE_O, 'O'},
    {SDL_SCANCODE_P, 'P'},
    {SDL_SCANCODE_Q, 'Q'},
    {SDL_SCANCODE_R, 'R'},
    {SDL_SCANCODE_S, 'S'},
    {SDL_SCANCODE_T, 'T'},
    {SDL_SCANCODE_U, 'U'},
    {SDL_SCANCODE_V, 'V'},
    {SDL_SCANCODE_W, 'W'},
    {SDL_SCANCODE_X, 'X'},
    {SDL_SCANCODE_Y, 'Y'},
    {SDL_SCANCODE_Z, 'Z'},
    {SDL_SCANCODE_1, '1'},
    {SDL_SCANCODE_2, '2'},
    {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'},
    {SDL_SCANCODE_6, '6'},
    {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'},
    {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_LEFT, VkLeft},
    {SDL_SCANCODE_UP, VkUp},
    {SDL_SCANCODE_RIGHT, VkRight},
    {SDL_SCANCODE_DOWN, VkDown},
    {SDL_SCANCODE_BACKSPACE, VkBack},
    {SDL_SCANCODE_TAB, VkTab},
    {SDL_SCANCODE_RETURN, VkReturn},
    {SDL_SCANCODE_KP_ENTER, VkReturn},
    {SDL_SCANCODE_PAUSE, VkPause},
    {SDL_SCANCODE_CAPSLOCK, VkCapital},
    {SDL_SCANCODE_ESCAPE, VkEscape},
    {SDL_SCANCODE_SPACE, VkSpace},
    {SDL_SCANCODE_PAGEUP, VkPrior},
    {SDL_SCANCODE_PAGEDOWN, VkNext},
    {SDL_SCANCODE_END, VkEnd},
    {SDL_SCANCODE_HOME, VkHome},
    {SDL_SCANCODE_INSERT, VkInsert},
    {SDL_SCANCODE_DELETE, VkDelete},
    {SDL_SCANCODE_LSHIFT, VkShift},
    {SDL_SCANCODE_LSHIFT, VkLShift},
    {SDL_SCANCODE_RSHIFT, VkShift},
    {SDL_SCANCODE_RSHIFT, VkRShift},
    {SDL_SCANCODE_LCTRL, VkControl},
    {SDL_SCANCODE_LCTRL, VkLControl},
    {SDL_SCANCODE_RCTRL, VkControl},
    {SDL_SCANCODE_RCTRL, VkRControl},
    {SDL_SCANCODE_LALT, VkMenu},
    {SDL_SCANCODE_LALT, VkLMenu},
    {SDL_SCANCODE_RALT, VkMenu},
    {SDL_SCANCODE_RALT, VkRMenu},
    {SDL_SCANCODE_F1, VkF1},
    {SDL_SCANCODE_F2, VkF1 + 1},
    {SDL_SCANCODE_F3, VkF1 + 2},
    {SDL_SCANCODE_F4, VkF1 + 3},
    {SDL_SCANCODE_F5, VkF1 + 4},
    {SDL_SCANCODE_F6, VkF1 + 5},
    {SDL_SCANCODE_F7, VkF1 + 6},
    {SDL_SCANCODE_F8, VkF1 + 7},
    {SDL_SCANCODE_F9, VkF1 + 8},
    {SDL_SCANCODE_F10, VkF1 + 9},
    {SDL_SCANCODE_F11, VkF1 + 10},
    {SDL_SCANCODE_F12, VkF1 + 11},
    {SDL_SCANCODE_KP_0, VkNumpad0},
    {SDL_SCANCODE_KP_1, VkNumpad0 + 1},
    {SDL_SCANCODE_KP_2, VkNumpad0 + 2},
    {SDL_SCANCODE_KP_3, VkNumpad0 + 3},
    {SDL_SCANCODE_KP_4, VkNumpad0 + 4},
    {SDL_SCANCODE_KP_5, VkNumpad0 + 5},
    {SDL_SCANCODE_KP_6, VkNumpad0 + 6},
    {SDL_SCANCODE_KP_7, VkNumpad0 + 7},
    {SDL_SCANCODE_KP_8, VkNumpad0 + 8},
    {SDL_SCANCODE_KP_9, VkNumpad0 + 9},
    {SDL_SCANCODE_KP_MULTIPLY, VkMultiply},
    {SDL_SCANCODE_KP_PLUS, VkAdd},
    {SDL_SCANCODE_KP_MINUS, VkSubtract},
    {SDL_SCANCODE_KP_PERIOD, VkDecimal},
    {SDL_SCANCODE_KP_DIVIDE, VkDivide},
    {SDL_SCANCODE_SEMICOLON, VkOem1},
    {SDL_SCANCODE_EQUALS, VkOemPlus},
    {SDL_SCANCODE_COMMA, VkOemComma},
    {SDL_SCANCODE_MINUS, VkOemMinus},
    {SDL_SCANCODE_PERIOD, VkOemPeriod},
    {SDL_SCANCODE_SLASH, VkOem2},
    {SDL_SCANCODE_GRAVE, VkOem3},
    {SDL_SCANCODE_LEFTBRACKET, VkOem4},
    {SDL_SCANCODE_BACKSLASH, VkOem5},
    {SDL_SCANCODE_RIGHTBRACKET, VkOem6},
    {SDL_SCANCODE_APOSTROPHE, VkOem7},
};

}  // namespace

int SdlVirtualKey(SDL_Scancode scancode) {
    for (const KeyName& k : kKeyNames)
        if (k.scancode == scancode) return k.virtualKey;
    return 0;
}

bool PlatformKeyDown(int virtualKey) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    // As an asynchronous query: the state now, not as of the last message taken. The events
    // this brings in stay queued for the message pump.
    SDL_PumpEvents();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    for (const KeyName& k : kKeyNames)
        if (k.virtualKey == virtualKey && k.scancode < count && state[k.scancode]) return true;
    return false;
}
