#pragma once
// What the SDL platform's files share among themselves.
#include <SDL.h>

// The Windows virtual-key code of a key position; 0 for keys the game cannot name.
int SdlVirtualKey(SDL_Scancode scancode);

// Connects to the desktop's display; false when none can be reached (a driver that shows
// nothing counts only when the player asked for it).
bool SdlOpenVideo();

// The game's window, or null while there is none.
SDL_Window* SdlMainWindow();

// Process exit: the game controllers, the window and SDL itself.
void SdlCloseJoysticks();
void SdlShutdown();

// The first half of a presentation: the picture into the window's streaming texture (converted
// to the window's format on a software renderer); false when there is no texture or it fails.
bool SdlFillTexture(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height);

// True when a second start has asked for the window to come to the front since the last call.
bool SdlTakeRaiseRequest();
