#include "rules/actions.h"

int8_t ActionCounters[kActionCounters];

// Letters A..E say where INSTANT FALL lies (UP, KEY 5, KEY 6, KEY 7, nowhere); digits 1..4
// say how the two rotations are spread over KEY 1..KEY 4. F is a small layout of its own.
const int32_t KeyConfigTable[kKeyConfigCount][kKeyConfigColumns] = {
    //  UP DOWN  K1 K2 K3 K4  K5 K6 K7 K8
    {4, 3, 2, 1, 1, 2, 0, 0, 0, 0},
    {4, 3, 1, 2, 2, 1, 0, 0, 0, 0},
    {4, 3, 2, 1, 2, 1, 0, 0, 0, 0},
    {4, 3, 1, 2, 1, 2, 0, 0, 0, 0},
    {0, 3, 2, 1, 1, 2, 4, 0, 0, 0},  // B-1
    {0, 3, 1, 2, 2, 1, 4, 0, 0, 0},  // B-2
    {0, 3, 2, 1, 2, 1, 4, 0, 0, 0},  // B-3
    {0, 3, 1, 2, 1, 2, 4, 0, 0, 0},  // B-4
    {0, 3, 2, 1, 1, 2, 0, 4, 0, 0},  // C-1
    {0, 3, 1, 2, 2, 1, 0, 4, 0, 0},  // C-2
    {0, 3, 2, 1, 2, 1, 0, 4, 0, 0},  // C-3
    {0, 3, 1, 2, 1, 2, 0, 4, 0, 0},  // C-4
    {0, 3, 2, 1, 1, 2, 0, 0, 4, 0},  // D-1
    {0, 3, 1, 2, 2, 1, 0, 0, 4, 0},  // D-2
    {0, 3, 2, 1, 2, 1, 0, 0, 4, 0},  // D-3
    {0, 3, 1, 2, 1, 2, 0, 0, 4, 0},  // D-4
    {0, 3, 2, 1, 1, 2, 0, 0, 0, 0},  // E-1
    {0, 3, 1, 2, 2, 1, 0, 0, 0, 0},  // E-2
    {0, 3, 2, 1, 2, 1, 0, 0, 0, 0},  // E-3
    {0, 3, 1, 2, 1, 2, 0, 0, 0, 0},  // E-4
    {0, 2, 0, 5, 5, 0, 0, 0, 0, 0},  // F
};

namespace {

constexpr int kKeyButtons = 8;

// Column of the KeyConfigTable for UP, DOWN and KEY n.
constexpr int kColumnUp = 0;
constexpr int kColumnDown = 1;
constexpr int kColumnKey1 = 2;

constexpr int kCounterTop = 11;     // a held source counts up to 11 ...
constexpr int kCounterRepeat = 10;  // ... then swings 10, 11, 10, 11 for the auto-repeat

void CountAction(int rises[], int32_t state, int32_t action) {
    if (ButtonIsDown(state) && action != ActionNoUse) ++rises[1 + action];
}

}  // namespace

int32_t EffectiveKeyConfig(int32_t config) {
    // A config.dat from elsewhere may hold any number; never index past the table.
    return (config >= 0 && config < kKeyConfigCount) ? config : 0;
}

void UpdateActionCounters(const ButtonLatchState& buttons, int32_t keyConfig) {
    // The additions of this frame are kept apart from the 8-bit counters, so that a counter
    // left high by another screen cannot wrap round and read as "no source down".
    int8_t before[kActionCounters];
    for (int i = 0; i < kActionCounters; ++i) before[i] = ActionCounters[i];
    int rises[kActionCounters] = {};

    if (ButtonIsDown(buttons.right)) ++rises[CounterRight];
    if (ButtonIsDown(buttons.left)) ++rises[CounterLeft];

    const int32_t* row = KeyConfigTable[EffectiveKeyConfig(keyConfig)];
    CountAction(rises, buttons.up, row[kColumnUp]);
    CountAction(rises, buttons.down, row[kColumnDown]);
    for (int n = 1; n <= kKeyButtons; ++n) {
        CountAction(rises, buttons.key[n], row[kColumnKey1 + n - 1]);
    }

    // Any number of sources down in one frame advance a counter by one step only.
    for (int i = 0; i < kActionCounters; ++i) {
        if (rises[i] > 0) {
            int next = before[i] + 1;
            if (next > kCounterTop) next = kCounterRepeat;
            ActionCounters[i] = static_cast<int8_t>(next);
        } else {
            ActionCounters[i] = 0;
        }
    }
}

void ResetActionCounters() {
    for (int8_t& counter : ActionCounters) counter = 0;
}
