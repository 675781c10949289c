#pragma once
// The title menu: GAME START, RANKING, OPTION, EXIT.
#include <cstdint>

// from: the SceneId being left. Back from the mode select or the option menu the title
// appears at once on the same background; from anywhere else it fades in on a new one.
void EnterTitle(int32_t from);
void TitleUpdate();
void TitleDraw();
