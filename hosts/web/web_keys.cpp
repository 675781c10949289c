// Keys by Windows virtual-key code, kept from the page's key events (a browser has no query
// of the keyboard's state).
#include <cstring>

#include "hosts/web/web_platform.h"
#include "platform/keys.h"
#include "platform/platform.h"

namespace {

struct KeyName {
    const char* code;  // KeyboardEvent.code: the key's position, whatever the keyboard layout
    int virtualKey;
};

// Key positions of a US keyboard. Shift, Ctrl and Alt appear twice: the first code is the
// one their messages carry, the second the left- or right-hand code a query may also ask for.
constexpr KeyName kKeyNames[] = {
    {"KeyA", 'A'},
    {"KeyB", 'B'},
    {"KeyC", 'C'},
    {"KeyD", 'D'},
    {"KeyE", 'E'},
    {"KeyF", 'F'},
    {"KeyG", 'G'},
    {"KeyH", 'H'},
    {"KeyI", 'I'},
    {"KeyJ", 'J'},
    {"KeyK", 'K'},
    {"KeyL", 'L'},
    {"KeyM", 'M'},
    {"KeyN", 'N'},
    {"KeyO", 'O'},
    {"KeyP", 'P'},
    {"KeyQ", 'Q'},
    {"KeyR", 'R'},
    {"KeyS", 'S'},
    {"KeyT", 'T'},
    {"KeyU", 'U'},
    {"KeyV", 'V'},
    {"KeyW", 'W'},
    {"KeyX", 'X'},
    {"KeyY", 'Y'},
    {"KeyZ", 'Z'},
    {"Digit1", '1'},
    {"Digit2", '2'},
    {"Digit3", '3'},
    {"Digit4", '4'},
    {"Digit5", '5'},
    {"Digit6", '6'},
    {"Digit7", '7'},
    {"Digit8", '8'},
    {"Digit9", '9'},
    {"Digit0", '0'},
    {"ArrowLeft", VkLeft},
    {"ArrowUp", VkUp},
    {"ArrowRight", VkRight},
    {"ArrowDown", VkDown},
    {"Backspace", VkBack},
    {"Tab", VkTab},
    {"Enter", VkReturn},
    {"NumpadEnter", VkReturn},
    {"Pause", VkPause},
    {"CapsLock", VkCapital},
    {"Escape", VkEscape},
    {"Space", VkSpace},
    {"PageUp", VkPrior},
    {"PageDown", VkNext},
    {"End", VkEnd},
    {"Home", VkHome},
    {"Insert", VkInsert},
    {"Delete", VkDelete},
    {"ShiftLeft", VkShift},
    {"ShiftLeft", VkLShift},
    {"ShiftRight", VkShift},
    {"ShiftRight", VkRShift},
    {"ControlLeft", VkControl},
    {"ControlLeft", VkLControl},
    {"ControlRight", VkControl},
    {"ControlRight", VkRControl},
    {"AltLeft", VkMenu},
    {"AltLeft", VkLMenu},
    {"AltRight", VkMenu},
    {"AltRight", VkRMenu},
    {"F1", VkF1},
    {"F2", VkF1 + 1},
    {"F3", VkF1 + 2},
    {"F4", VkF1 + 3},
    {"F5", VkF1 + 4},
    {"F6", VkF1 + 5},
    {"F7", VkF1 + 6},
    {"F8", VkF1 + 7},
    {"F9", VkF1 + 8},
    {"F10", VkF1 + 9},
    {"F11", VkF1 + 10},
    {"F12", VkF1 + 11},
    {"Numpad0", VkNumpad0},
    {"Numpad1", VkNumpad0 + 1},
    {"Numpad2", VkNumpad0 + 2},
    {"Numpad3", VkNumpad0 + 3},
    {"Numpad4", VkNumpad0 + 4},
    {"Numpad5", VkNumpad0 + 5},
    {"Numpad6", VkNumpad0 + 6},
    {"Numpad7", VkNumpad0 + 7},
    {"Numpad8", VkNumpad0 + 8},
    {"Numpad9", VkNumpad0 + 9},
    {"NumpadMultiply", VkMultiply},
    {"NumpadAdd", VkAdd},
    {"NumpadSubtract", VkSubtract},
    {"NumpadDecimal", VkDecimal},
    {"NumpadDivide", VkDivide},
    {"Semicolon", VkOem1},
    {"Equal", VkOemPlus},
    {"Comma", VkOemComma},
    {"Minus", VkOemMinus},
    {"Period", VkOemPeriod},
    {"Slash", VkOem2},
    {"Backquote", VkOem3},
    {"BracketLeft", VkOem4},
    {"Backslash", VkOem5},
    {"BracketRight", VkOem6},
    {"Quote", VkOem7},
};

constexpr int kKeyCount = static_cast<int>(sizeof kKeyNames / sizeof kKeyNames[0]);

// Down or up by position; a virtual key reads down while any of its positions is.
bool g_positionDown[kKeyCount];

}  // namespace

int WebVirtualKey(const char* code) {
    for (const KeyName& k : kKeyNames)
        if (std::strcmp(k.code, code) == 0) return k.virtualKey;
    return 0;
}

bool WebSetKeyPosition(const char* code, bool down) {
    bool named = false;
    for (int i = 0; i < kKeyCount; ++i) {
        if (std::strcmp(kKeyNames[i].code, code) != 0) continue;
        g_positionDown[i] = down;
        named = true;
    }
    return named;
}

void WebReleaseAllKeys() {
    for (bool& down : g_positionDown) down = false;
}

bool PlatformKeyDown(int virtualKey) {
    for (int i = 0; i < kKeyCount; ++i)
        if (kKeyNames[i].virtualKey == virtualKey && g_positionDown[i]) return true;
    return false;
}
