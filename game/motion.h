#pragma once
// Dealing pieces and moving the falling piece.
#include <cstdint>

void DealSequence(int32_t seed);
void SpawnPiece();
// Drops the piece while it fits freely; returns the number of rows it fell.
int32_t DropToRest();
// The drop a caller of SpawnPiece does after the entry; does nothing while instantGravity is off.
void InstantGravityAfterEntry();
void UpdateFalling();
void UpdateLanded();
void LockPiece();

// The kind shown as next: sequence[dealt mod 1000].
int32_t NextPieceKind();
