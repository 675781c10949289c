#include "scenes/state.h"

#include "app/application.h"
#include "app/pacing.h"
#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/frame.h"
#include "frame/gdi_text.h"
#include "frame/random.h"
#include "frame/sprite.h"
#include "frame/start_choice.h"
#include "game/game_screen.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "input/input.h"
#include "options/sound_test.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/verify.h"
#include "scenes/name_entry.h"
#include "scenes/ranking.h"
#include "scenes/replay_watch.h"
#include "shell/data_file.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"

void ResetProcessState() {
    // Slots first: they give their surfaces back before the display drops the rest.
    ResetBitmapSlots();
    ResetDisplay();
    ResetSprites();
    ResetGdiText();
    ResetSound();
    ResetFrame();
    ResetStartChoice();
    ResetApplication();
    ResetPacing();
    ResetRandom();
    ResetInput();
    ResetButtons();
    ResetSoundTest();
    ResetSceneValues();
    ResetRanking();
    ResetNameEntry();
    ResetSettings();
    ResetDataFiles();
    ResetGame();
    ClearPlayEvents();
    ResetVerification();
    ResetGameScreen();
    ResetRecording();
    ResetRankingReplays();
    ResetReplayWatch();
}
