// The simulator's input script from any text: a script is taken whole with its events in frame
// order and every code in range, or refused with one short line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/sim/sim_script.h"

namespace {

void Expect(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SimScript script;
    std::string error;
    const bool taken = ParseScript(text, &script, &error, "fuzz");

    // Any line over the limit is refused, whatever it holds.
    size_t longest = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end - start > longest) longest = end - start;
        start = end + 1;
    }
    if (longest > kMaxScriptLine) Expect(!taken);

    if (!taken) {
        // One line, and short: a bad word is never echoed whole.
        Expect(!error.empty() && error.size() < 200);
        Expect(error.find('\n') == std::string::npos);
        return 0;
    }
    Expect(error.empty());
    bool joystick = false;
    for (size_t i = 0; i < script.events.size(); ++i) {
        const SimEvent& e = script.events[i];
        Expect(e.frame >= 0 && e.frame <= INT32_MAX);
        if (i > 0) Expect(script.events[i - 1].frame <= e.frame);
        switch (e.kind) {
            case SimKeyDown:
            case SimKeyUp: Expect(e.code >= 0 && e.code <= 255); break;
            case SimJoyPress:
            case SimJoyRelease:
                Expect(e.code >= 0 && e.code < JoyInputButton1 + 8);
                joystick = true;
                break;
            case SimClose:
            case SimDeactivate:
            case SimActivate:
            case SimLoseSurfaces: Expect(e.code == 0); break;
            default: Expect(false);
        }
    }
    Expect(script.usesJoystick == joystick);
    // Events are at most one a line.
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    Expect(script.events.size() <= lines);
    return 0;
}
