#pragma once
// Everything of the game screen around the field: backdrop, score panel, medals, the erase
// popup, the LEVEL banner, READY and GAME OVER, the phase number and the frame rate; and the
// mark of a replay being watched.
#include <cstdint>

void DrawGameBackdrop();            // background picture, then the field frame
void DrawPanel();                   // score, lines, level and the time played
int32_t MedalFrame(int32_t flash);  // sheet column for a medal's flash timer
void DrawMedals();
void DrawErasePopup();
void DrawLevelBanner();
void DrawReadyText(int32_t t);  // t = the READY countdown, > 0
void DrawGameOverText();
void DrawPhaseNumber();
void DrawFrameRateText();  // only with the FPS display on
// "REPLAY" in the bottom-left corner, where nothing of the game screen ever reaches, and after
// it `speed` (null: none), the speed the player holds. Only while a replay is watched.
void DrawReplayMark(const char* speed);
