#pragma once
// Dealing pieces: the sequence of kinds, the next kind and a new piece's entry.
#include <cstdint>

void DealSequence(int32_t seed);
void SpawnPiece();
// The drop a caller of SpawnPiece does after the entry; does nothing while instantGravity is off.
void InstantGravityAfterEntry();

// The kind shown as next: sequence[dealt mod 1000].
int32_t NextPieceKind();
