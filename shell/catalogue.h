#pragma once
// The fixed catalogue of asset files and the routines that load them into their slots.

void LoadFonts();
void LoadGameBitmaps();
void LoadWaves();
