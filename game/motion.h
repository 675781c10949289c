#pragma once
// Dealing pieces and moving the falling piece.
#include <cstdint>

void DealSequence(int32_t seed);
void SpawnPiece();
void DropToRest();
void InstantGravityAfterEntry();   // the drop a caller of SpawnPiece does when instantGravity is on
void UpdateFalling();
void UpdateLanded();
void LockPiece();
