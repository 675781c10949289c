#include "support/fresh.h"

#include "app/state.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/headless_window.h"
#include "scenes/scene_table.h"

void FreshProcess() {
    HeadlessReset();
    ResetProcessState();
    HeadlessResetWindow();
    HeadlessAudioReset();
    RegisterScenes();
}
