#pragma once
// The game scene: its entry and update; GameDraw (game/game_screen.h) draws it.
#include <cstdint>

void StartGame(int32_t mode);
void GameUpdate();
int32_t DangerLevel();
