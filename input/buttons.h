#pragma once
// The twelve logical buttons, the key configurations and the per-action hold counters.
#include <cstdint>

// ButtonLatch: this frame's ButtonState of each logical button, written by LatchButtons.
struct ButtonLatchState {
    int32_t up, down, right, left;
    int32_t key[9];  // KEY 1..KEY 8 at [1]..[8]; [0] unused
};
extern ButtonLatchState ButtonLatch;

// GameAction codes.
enum GameAction : int32_t {
    ActionNoUse = 0,
    ActionRotateRight = 1,
    ActionRotateLeft = 2,
    ActionSpeedyFall = 3,
    ActionInstantFall = 4,
    ActionFallAndFix = 5,
};
extern const char* const GameActionLabel[6];

constexpr int kKeyConfigCount = 21;
constexpr int kKeyConfigColumns = 10;  // UP, DOWN, KEY 1..KEY 8
extern const int32_t KeyConfigTable[kKeyConfigCount][kKeyConfigColumns];

// ActionCounter indices.
enum ActionIndex {
    CounterRight = 0,
    CounterLeft = 1,
    CounterRotateRight = 2,
    CounterRotateLeft = 3,
    CounterSpeedyFall = 4,
    CounterInstantFall = 5,
    CounterFallAndFix = 6,
};
constexpr int kActionCounters = 7;
extern int8_t ActionCounters[kActionCounters];

// Back to the state of a process that has just started: every button idle, counters 0.
void ResetButtons();

void LatchButtons();
// keyConfig: the layout in force (the settings' keyConfig), any number.
void UpdateActionCounters(int32_t keyConfig);

// The KeyConfigTable row in force: keyConfig when it is 0..20, otherwise row 0.
int32_t EffectiveKeyConfig(int32_t keyConfig);
