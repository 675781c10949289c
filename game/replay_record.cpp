#include "game/replay_record.h"

#include "input/buttons.h"
#include "rules/field.h"
#include "rules/verify.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"

namespace {

constexpr uint32_t kRunLengthMax = 0x7FFFFFFFu;

struct RecorderState {
    bool active;
    bool finished;
    bool memoryOnly;
    bool full;  // the runs no longer fit: the rest of the game goes unrecorded
    ReplayInfo info;
    uint32_t runPacked;
    uint32_t runLength;  // 0: no run open
};
RecorderState g_recorder;

// Closes the open run into the image; false when it does not fit.
bool FlushRun() {
    RecorderState& r = g_recorder;
    if (r.runLength == 0) return true;
    uint8_t* at = RecordingImage().bytes + kReplayHeaderBytes + r.info.frameBytes;
    if (kReplayFrameBytes - r.info.frameBytes < kReplayRunMaxBytes) return false;
    r.info.frameBytes += static_cast<uint32_t>(EncodeRun(r.runPacked, r.runLength, at));
    r.info.frames += r.runLength;
    r.info.runs += 1;
    r.runLength = 0;
    return true;
}

}  // namespace

void BeginRecording(int32_t mode) {
    RecorderState& r = g_recorder;
    r.active = true;
    r.finished = false;
    r.full = false;
    r.runLength = 0;
    r.info = ReplayInfo{};
    r.info.rulesVersion = kReplayRulesVersion;
    r.info.mode = mode;
    r.info.seed = Game.seed;
    r.info.startLevel = Scene.startLevel;
    r.info.keyConfig = EffectiveKeyConfig(Settings.keyConfig);
    r.info.showLineShadow = Settings.showLineShadow == 1 ? 1 : 0;
    r.info.eraseProperty = Settings.eraseProperty == 1 ? 1 : 0;
    r.info.fpsDisplay = Settings.fpsDisplay == 1 ? 1 : 0;
    RecordingImage().size = 0;
}

void RecordButtons() {
    RecorderState& r = g_recorder;
    if (!r.active) return;
    r.info.result.updates += 1;
    if (r.full) return;
    const uint32_t packed = PackLatch(ButtonLatch);
    if (r.runLength > 0 && packed == r.runPacked && r.runLength < kRunLengthMax) {
        r.runLength += 1;
        return;
    }
    if (!FlushRun()) {
        r.full = true;
        r.info.incomplete = true;
        return;
    }
    r.runPacked = packed;
    r.runLength = 1;
}

void FinishRecording(int32_t end) {
    RecorderState& r = g_recorder;
    if (!r.active) return;
    r.active = false;
    if (!r.full && !FlushRun()) r.info.incomplete = true;
    TakeGameResult(&r.info.result, end);
    SealReplay(RecordingImage(), r.info);
    r.finished = !r.memoryOnly;
    if (!r.memoryOnly) WriteLastReplay();
}

bool RecordingActive() { return g_recorder.active; }

bool RecordingFinished() { return g_recorder.finished; }

void ForgetFinishedRecording() { g_recorder.finished = false; }

const ReplayInfo& RecordedInfo() { return g_recorder.info; }

void SetRecordingWritesFiles(bool writes) { g_recorder.memoryOnly = !writes; }

void ResetRecording() { g_recorder = RecorderState{}; }
