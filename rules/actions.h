#pragma once
// What the rules read of the player: the twelve logical buttons of one update, the key
// layouts that turn them into the seven game actions, and the actions' hold counters.
#include <cstdint>

// ButtonState values.
constexpr uint8_t ButtonIdle = 0;
constexpr uint8_t ButtonReleased = 1;
constexpr uint8_t ButtonPressed = 2;
constexpr uint8_t ButtonHeld = 3;

// Pressed in this frame: the first frame of a press, the state menus and confirmations act on.
constexpr bool ButtonPressedNow(int32_t state) { return state == ButtonPressed; }
// Down in this frame, whether pressed now or held from before.
constexpr bool ButtonIsDown(int32_t state) { return state >= ButtonPressed; }

// One frame's ButtonState of each logical button.
struct ButtonLatchState {
    int32_t up, down, right, left;
    int32_t key[9];  // KEY 1..KEY 8 at [1]..[8]; [0] unused
};

// GameAction codes.
enum GameAction : int32_t {
    ActionNoUse = 0,
    ActionRotateRight = 1,
    ActionRotateLeft = 2,
    ActionSpeedyFall = 3,
    ActionInstantFall = 4,
    ActionFallAndFix = 5,
};

constexpr int kKeyConfigCount = 21;
constexpr int kKeyConfigColumns = 10;  // UP, DOWN, KEY 1..KEY 8
extern const int32_t KeyConfigTable[kKeyConfigCount][kKeyConfigColumns];

// The KeyConfigTable row in force: keyConfig when it is 0..20, otherwise row 0.
int32_t EffectiveKeyConfig(int32_t keyConfig);

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

// Steps the counters by one update's buttons under the layout keyConfig (any number).
void UpdateActionCounters(const ButtonLatchState& buttons, int32_t keyConfig);

// Every counter 0, as at a game's start and in a process that has just started.
void ResetActionCounters();
