#pragma once
// Moving the falling piece: falling, landing, locking.
#include <cstdint>

// Drops the piece while it fits freely; returns the number of rows it fell.
int32_t DropToRest();
void UpdateFalling();
void UpdateLanded();
void LockPiece();
