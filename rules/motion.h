#pragma once
// Moving the falling piece: falling, landing, locking.
#include <cstdint>

void UpdateFalling();
void UpdateLanded();
