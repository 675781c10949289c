#pragma once
// The game screen and the field on it. GameDraw puts the screen together every frame; the
// name entry reuses its pieces (here and in game/game_screen_panel.h) to show the game as it
// ended.
#include <cstdint>

#include "rules/field.h"

// One display code per line position, rebuilt whenever the field is drawn:
// 1..8 a piece, preview or flashing line; 21..28 a settled line; 29 a grey line;
// 31..38 the shadow; 0 nothing.
extern int32_t ViewXGrid[kXGridColumns][kXGridRows];
extern int32_t ViewYGrid[kYGridColumns][kYGridRows];

constexpr int32_t ViewSettled = 20;  // added to a settled line's colour
constexpr int32_t ViewShadow = 30;   // added to a shadow line's colour

// Screen positions of the lines of the field.
int32_t XLineScreenX(int32_t i);
int32_t XLineScreenY(int32_t j);
int32_t YLineScreenX(int32_t i);
int32_t YLineScreenY(int32_t j);

// The whole game screen, every frame of the game scene.
void GameDraw();

// The field.
void ClearViewGrids();           // the visible positions only
void FillSettledView();          // every settled line as its settled picture
void DrawFieldLines();           // the visible lines from the view grids
void DrawFrozenField();          // clear, fill settled, draw: the field as a game left it
void DrawPreview(int32_t kind);  // kind in its entry rotation just above the field

// Back to a process that has just started (tests).
void ResetGameScreen();
