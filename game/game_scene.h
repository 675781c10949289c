#pragma once
// The game scene: its entry, update and draw.
#include <cstdint>

void StartGame(int32_t mode);
void GameUpdate();
void GameDraw();
int32_t DangerLevel();
