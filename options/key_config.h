#pragma once
// The key config screen: picks the keyConfig setting by letter (A..F) and digit (1..4) and
// shows the GameAction that each of UP, DOWN and KEY 1..KEY 8 performs with it.
#include <cstdint>

void EnterKeyConfig();
void KeyConfigUpdate();
void KeyConfigDraw();
