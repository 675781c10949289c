// config.dat from any bytes: the settings come from the file's whole words, the defaults fill
// the words a short file lacks, and the key layout number always indexes a layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "input/buttons.h"
#include "shell/settings.h"

namespace {

int32_t Word(const uint8_t* bytes) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
        static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

void Expect(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetSettings();
    const int taken = ParseSettingsBytes(data, size);
    Expect(taken == static_cast<int>(size / 4 < 5 ? size / 4 : 5));

    const SettingsRecord defaults;
    const int32_t got[5] = {Settings.keyConfig, Settings.fpsDisplay, Settings.useVram,
                            Settings.showLineShadow, Settings.eraseProperty};
    const int32_t fallback[5] = {defaults.keyConfig, defaults.fpsDisplay, defaults.useVram,
                                 defaults.showLineShadow, defaults.eraseProperty};
    Expect(got[0] >= 0 && got[0] < kKeyConfigCount);
    for (int i = 0; i < 5; ++i) {
        if (i >= taken) {
            Expect(got[i] == fallback[i]);
        } else if (i == 0) {
            const int32_t stored = Word(data);
            Expect(got[0] == (stored >= 0 && stored < kKeyConfigCount ? stored : 0));
        } else {
            Expect(got[i] == Word(data + 4 * i));
        }
    }
    // The same bytes give the same settings a second time, whatever the first parse left.
    ParseSettingsBytes(data, size);
    const int32_t again[5] = {Settings.keyConfig, Settings.fpsDisplay, Settings.useVram,
                              Settings.showLineShadow, Settings.eraseProperty};
    for (int i = 0; i < 5; ++i) Expect(again[i] == got[i]);
    return 0;
}
