#pragma once
// Where the ranking's entries live: one small interface, an embedded SQLite file for one
// machine and a PostgreSQL database that any number of server processes share. Every entry is
// added with its replay in one transaction, so a crash keeps it whole or not at all.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rules/replay_file.h"

constexpr int kNameLength = 3;

struct RankingEntry {
    int64_t id;
    char name[kNameLength + 1];
    int32_t score;
    int32_t lines;
    int32_t level;
    int32_t timeMs;
    int32_t medals[kReplayMedals];
    int32_t startLevel;
    int64_t submitted;  // seconds since 1970, UTC
};

// The SHA-256 of a replay's bytes, as 64 lowercase hex digits: one entry per distinct file.
using ReplayDigest = std::string;

// A start level filter that takes every entry.
constexpr int32_t kAnyStartLevel = -1;

class RankingStore {
public:
    virtual ~RankingStore() = default;
    // Brings the schema up to date; false with `error` when the database refuses.
    virtual bool Migrate(std::string* error) = 0;
    // The database answers.
    virtual bool Ping() = 0;
    // Adds `entry` (its id and time are the store's) with its replay, unless a replay with the
    // same digest is there; `stored` is the entry on the board afterwards, `created` whether
    // this call added it. One transaction: the entry, its replay and the counts, or nothing.
    virtual bool Add(const RankingEntry& entry, const ReplayDigest& digest, const uint8_t* bytes,
                     size_t size, RankingEntry* stored, bool* created, std::string* error) = 0;
    virtual bool Find(int64_t id, RankingEntry* entry, bool* found) = 0;
    // The place of `entry` on the whole board, 1 = best: higher scores first, then the
    // earlier submission.
    virtual bool Rank(const RankingEntry& entry, int64_t* rank) = 0;
    // Entries best first from `offset`, at most `limit`, of one start level or all of them,
    // with the count of that list.
    virtual bool Ranking(int32_t startLevel, int32_t limit, int64_t offset,
                         std::vector<RankingEntry>* entries, int64_t* total) = 0;
    virtual bool Replay(int64_t id, std::string* bytes, bool* found) = 0;
    // The count of entries of one start level or all: changes with every entry added.
    virtual bool Count(int32_t startLevel, int64_t* total) = 0;
};

// DIR/ranking.sqlite3, made when missing, in WAL mode.
std::unique_ptr<RankingStore> OpenSqliteStore(const std::string& path, std::string* error);
// A postgresql:// (or key=value) connection string.
std::unique_ptr<RankingStore> OpenPostgresStore(const std::string& url, std::string* error);
