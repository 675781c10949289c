#include "support/fresh.h"

#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "scenes/scene_table.h"
#include "scenes/state.h"

void FreshProcess() {
    HeadlessReset();
    ResetProcessState();
    HeadlessResetWindow();
    HeadlessAudioReset();
    RegisterScenes();
}
