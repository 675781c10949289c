#include "game/game_scene.h"

#include "frame/frame.h"
#include "frame/sprite.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/play.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kNoRank = 10;

// The first rank whose score the game beats; an equal score stays below the older entry.
int32_t FindNewRank() {
    for (int32_t r = 0; r < kRankingEntries; ++r) {
        if (NormalRanking.entries[r].score < Game.score) return r;
    }
    return kNoRank;
}

// Each kind, or pair of kinds, has its own entry chime naming the piece that comes next.
uint16_t AnnounceSlot(int32_t kind) {
    switch (kind) {
        case 0: return WaveSlotNewLine1;
        case 1:
        case 5: return WaveSlotNewLine26;
        case 2: return WaveSlotNewLine3;
        case 3:
        case 6: return WaveSlotNewLine47;
        case 4: return WaveSlotNewLine5;
        default: return kWaveSlots;  // never dealt: no chime
    }
}

// The game's countdowns are the scene's shared timers while the game is the scene.
void ShowTimers() {
    Scene.enterTimer = Game.readyTimer;
    Scene.leaveTimer = Game.overTimer;
}

void Hear(uint16_t slot) { PlayWave(slot, 0); }

// What the rules reported, in the order it happened.
void ActOnEvents() {
    for (int32_t n = 0; n < PlayEvents.count; ++n) {
        const PlayEvent& e = PlayEvents.events[n];
        switch (e.kind) {
            case PlayLanded:
            case PlayLinesDropped: Hear(WaveSlotLineFall); break;
            case PlayLocked: Hear(WaveSlotLineSet); break;
            case PlayEntered: {
                const uint16_t chime = AnnounceSlot(e.value);
                if (chime < kWaveSlots) Hear(chime);
                break;
            }
            case PlayPreRotated: Hear(WaveSlotPreRotate); break;
            case PlayToppedOut: Hear(WaveSlotChissoku); break;
            case PlayEraseBegan: PlayWave(WaveSlotErasing, 1); break;
            case PlayEraseEnded: StopWave(WaveSlotErasing); break;
            case PlayLevelSet: Scene.backgroundIndex = e.detail; break;
            case PlayLevelRose: Hear(WaveSlotLevelChange); break;
            case PlayMedalWon: Hear(WaveSlotMedal); break;
            case PlayDanger: Hear(WaveSlotPinch); break;
            case PlayRankDue: Scene.newRank = FindNewRank(); break;
            case PlayOver:
                FinishRecording(ReplayEndGameOver);
                EnterScene(Scene.newRank != kNoRank ? SceneNameEntry : SceneTitle, Scene.id);
                break;
            case PlayAborted:
                // A close request, as Escape makes it in a game: back to the title.
                FinishRecording(ReplayEndAbort);
                AskCloseCallback();
                break;
        }
    }
}

}  // namespace

void StartGame(int32_t mode) {
    Scene.id = 100 + mode;
    SetFade(0);
    if (mode == 1) Game.seed = Scene.frame;
    BeginPlay(Game.seed, Scene.startLevel);
    ShowTimers();
    ActOnEvents();
    Scene.newRank = kNoRank;
    Scene.frame = 0;
    BeginRecording(mode);
}

void GameUpdate() {
    RecordButtons();
    StepPlay(PlayInput{ButtonLatch, Settings.keyConfig, Scene.frame});
    ShowTimers();
    ActOnEvents();
}
