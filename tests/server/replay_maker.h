#pragma once
// Games played with the rules by a simple random player, recorded as the game records them:
// real replays in any number, for the server's suites and benches. Each seed gives its own
// game (its own deal and its own presses).
#include <cstdint>
#include <string>

struct MadeGame {
    std::string bytes;  // the replay file
    int32_t score;
    int32_t lines;
    int32_t level;
    uint32_t updates;
};

// Plays from `startLevel` with deal `seed` until the game hands over or `maxUpdates` pass
// (then the replay ends as a close request would leave it). `pressEvery`: about one press
// every that many updates.
MadeGame MakeGame(int32_t seed, int32_t startLevel, uint32_t maxUpdates = 200000,
                  int pressEvery = 6);

// The same bytes with the recorded score changed and the CRC made right again: a forgery only
// playing the game finds out.
std::string ForgeScore(const std::string& replay, int32_t score);
// The value of the little-endian 32-bit field at `offset`.
int32_t FieldAt(const std::string& replay, size_t offset);
