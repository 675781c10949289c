#pragma once
// The game scene: its entry and update, which run a game through the rules and act on what
// the rules report; GameDraw (game/game_screen.h) draws it.
#include <cstdint>

void StartGame(int32_t mode);
void GameUpdate();
