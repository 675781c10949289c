#pragma once
// The option menu (KEY CONFIG, KEY TEST, GRAPHIC OPTION, SOUND TEST, RESET DATA, RETURN
// MAINMENU) and what its four screens share: the way back, the backdrop and the highlights.
#include <cstdint>

// from: the SceneId being left. From the title (0) the items slide in; from an option screen
// (3..7) the menu shows at once with the cursor on that screen's item.
void EnterOptionMenu(int32_t from);
void OptionMenuUpdate();
void OptionMenuDraw();

// The background of the current BackgroundIndex and the "+RAIL" logo above every option screen.
void DrawOptionBackdrop();
// The row under the cursor: a new colour every fourth frame.
int32_t OptionBlinkFont();
// The item just chosen, during the leave phase: a new colour every frame.
int32_t OptionFlashFont();
