#pragma once
// The option menu (KEY CONFIG, KEY TEST, GRAPHIC OPTION, SOUND TEST, RESET DATA, RETURN
// MAINMENU), which is also the way back from each of its four screens.
#include <cstdint>

// from: the SceneId being left. From the title (0) the items slide in; from an option screen
// (3..7) the menu shows at once with the cursor on that screen's item.
void EnterOptionMenu(int32_t from);
void OptionMenuUpdate();
void OptionMenuDraw();
