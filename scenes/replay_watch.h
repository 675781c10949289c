#pragma once
// Watching a replay: the game started from the replay's header and fed the recorded buttons
// of each update, in the window (plusrail --replay FILE) or headless (plusrail-sim --replay
// FILE --verify). The game records itself again while it plays, in memory only; its result
// against the file's is the verification.
#include <cstddef>
#include <cstdint>

#include "rules/replay_file.h"

// Starts the game of `info`, whose runs are in `image` (a replay ReadReplay accepted): the
// replay's key layout and graphic options, start level and seed. The player's settings are
// not read, and nothing is saved while watching. The scene table becomes watching's own (the
// game scene alone), so that the game's hand-over enters no other scene.
void StartWatching(const ReplayInfo& info, const uint8_t* image);
// One update with the next recorded buttons; false once the game is over (it handed over or
// the runs are used up), when nothing is done.
bool StepWatching();
bool WatchingOver();
// The result the replay reached (its re-recording), once WatchingOver.
const ReplayResult& WatchedResult();

// The program's routines in replay mode (after ReadReplayFile accepted the file): startup
// loads the pictures and sounds and starts the game; each frame runs 0, 1 or 4 updates
// (KEY 3 held: every second frame; KEY 1 held: four), draws the game with the mark that says
// it is a replay (and the speed while a speed key is held), and after the end shows the
// recorded result for a few seconds before it asks to close. Escape closes at once.
void ReplayStartupCallback();
void ReplayFrameCallback();
int32_t ReplayCloseCallback();

// Back to the state of a process that has just started: nothing watched.
void ResetReplayWatch();
