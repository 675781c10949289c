#pragma once
// What each route of the API answers, without the HTTP server: the request's parts in, a
// status and a body out. The HTTP layer (server/http.cpp), the fuzz target and the benches
// call these.
#include <cstddef>
#include <cstdint>
#include <string>

#include "server/store.h"

struct ApiAnswer {
    int status;
    std::string body;
    const char* contentType;
};

// The most updates a replay may claim and still be played: the recording buffer filled at
// 0.6 bytes an update, the pace of the slowest play the recording is sized for (about two
// hours at 60 updates a second). It bounds what one file can cost to verify.
constexpr uint32_t kMaxVerifiedUpdates = static_cast<uint32_t>(kReplayFrameBytes * 5 / 3);

// Three characters of the ranking alphabet: A-Z, 1-9, : - + . ! ? and the blank (a space).
bool ValidRankingName(const std::string& name);

// The SHA-256 of the bytes in hex.
ReplayDigest DigestOf(const uint8_t* bytes, size_t size);

// POST /api/v1/games?name=NAME with the replay as body.
ApiAnswer SubmitGame(RankingStore& store, const std::string& name, const uint8_t* bytes,
                     size_t size);
// GET /api/v1/ranking; the query's values as given (empty when absent).
ApiAnswer GetRanking(RankingStore& store, const std::string& startLevel, const std::string& limit,
                     const std::string& offset);
// GET /api/v1/games/{id} and its replay.
ApiAnswer GetGame(RankingStore& store, const std::string& id);
ApiAnswer GetReplay(RankingStore& store, const std::string& id);

ApiAnswer ErrorAnswer(int status, const std::string& message);
// The JSON of an entry; `rank` 0 leaves it out.
std::string EntryJson(const RankingEntry& entry, int64_t rank);
