#include "platform/win32/win32_game.h"

#include "app/application.h"
#include "app/game_folder.h"
#include "frame/display.h"
#include "scenes/callbacks.h"
#include "sound/sound.h"

void Win32RunGame() {
    // Started from anywhere, the game still finds its pictures and sounds.
    EnterGameFolder();
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    // The display and sound objects live until the process ends, and go in reverse order.
    ReleaseSound();
    ReleaseDisplay();
}
