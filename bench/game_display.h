#pragma once
// The headless window and display with the game's pictures loaded, brought up once per
// benchmark program. Run from build/game the real pictures load; elsewhere the slots stay empty.
#include "frame/display.h"
#include "hosts/headless/headless.h"
#include "platform/platform_window.h"
#include "shell/catalogue.h"

inline void BringUpGameDisplay() {
    static bool ready = false;
    if (ready) return;
    HeadlessReset();
    PlatformRegisterWindowClass("Class Kestrel");
    PlatformCreateWindow("Class Kestrel", "Untitled", 0, 0, 640, 480);
    SetupDisplay();
    LoadFonts();
    LoadGameBitmaps();
    ready = true;
}
