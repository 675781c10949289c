#pragma once
// Checking a replay with the rules alone: the game of the file played from its header and its
// buttons, as fast as the rules run, and its result compared with the one recorded. What a
// ranking server, a fuzzer or `plusrail-sim --replay FILE --verify` links.
#include <cstddef>
#include <cstdint>

#include "rules/replay_file.h"

enum class ReplayVerdict { Same, Different, Refused };

// Reads `bytes` as a replay file, plays it to its end and compares the result field by field.
// `message` names the first field that differs ("score differs: recorded 1200, replayed
// 1150"), why the bytes were refused, or the result reached. Plays no more updates than the
// file holds (the reader takes only files whose runs give exactly the updates they claim).
// Allocates nothing.
ReplayVerdict VerifyReplay(const uint8_t* bytes, size_t size, char* message, size_t messageSize);

// The result of the last VerifyReplay that played a game.
const ReplayResult& VerifiedResult();
// Back to the state of a process that has just started: no result.
void ResetVerification();

// The game's result so far as a replay keeps it (all but the updates), with how it ended.
void TakeGameResult(ReplayResult* result, int32_t end);

// The first field of `got` that differs from `want`, in the order a verification compares
// them ("score", "medal chain", ...), with both values; null when they agree.
const char* FirstResultDifference(const ReplayResult& want, const ReplayResult& got,
                                  int64_t* wantValue, int64_t* gotValue);
