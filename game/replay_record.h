#pragma once
// The recorder: every game from StartGame to its hand-over is kept as a replay (the deal's
// seed, start level, settings, the twelve buttons of each update, the result) in the
// recording image, and written to replays/last.rpl when the game hands over. Watching a
// replay records it again without writing anything, which is how a replay is verified.
#include <cstdint>

#include "rules/replay_file.h"

// Called by StartGame once the game of `mode` is set up.
void BeginRecording(int32_t mode);
// Called by GameUpdate before it reads the buttons.
void RecordButtons();
// Called where the game hands over (end: ReplayEnd); nothing when no game is recorded.
void FinishRecording(int32_t end);

// The game is being recorded (from StartGame to the hand-over).
bool RecordingActive();
// The last game's replay is complete in RecordingImage and has not yet gone to a rank.
bool RecordingFinished();
// The name entry took the finished recording for a rank.
void ForgetFinishedRecording();
// The header and result of the last recording, as SealReplay wrote them.
const ReplayInfo& RecordedInfo();

// While on, recordings are kept in memory only (watching a replay).
void SetRecordingWritesFiles(bool writes);

// Back to the state of a process that has just started: nothing recorded, files written.
void ResetRecording();
