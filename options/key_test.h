#pragma once
// The key test screen: the twelve logical buttons by name, each lit while it is down.
// KEY 1 + KEY 3 (or Escape) goes back to the option menu; nothing else acts, nothing sounds.
#include <cstdint>

void EnterKeyTest();
void KeyTestUpdate();
void KeyTestDraw();
