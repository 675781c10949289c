#include "support/fresh.h"

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_window.h"
#include "scenes/scene_table.h"
#include "scenes/state.h"

void FreshProcess() {
    HeadlessReset();
    ResetProcessState();
    HeadlessResetWindow();
    HeadlessAudioReset();
    RegisterScenes();
}
