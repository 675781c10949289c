// The shared store: one PostgreSQL database behind any number of server processes. Each
// request takes a connection of this process's pool; an entry goes in with one transaction,
// and the digest's unique key decides between two processes adding the same replay at once.
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "server/migrations.h"
#include "server/store.h"

namespace {

const char* const kEntryColumns =
    "id, name, score, lines, level, time_ms, medal0, medal1, medal2, medal3, medal4, medal5, "
    "start_level, submitted";

// Any number the whole schema's history locks on while a process migrates it.
constexpr long long kMigrationLock = 0x2B5241494CLL;

int64_t Int(const PGresult* r, int row, int column) {
    return std::strtoll(PQgetvalue(r, row, column), nullptr, 10);
}

void ReadEntry(const PGresult* r, int row, RankingEntry* e) {
    *e = RankingEntry{};
    e->id = Int(r, row, 0);
    std::snprintf(e->name, sizeof e->name, "%s", PQgetvalue(r, row, 1));
    e->score = static_cast<int32_t>(Int(r, row, 2));
    e->lines = static_cast<int32_t>(Int(r, row, 3));
    e->level = static_cast<int32_t>(Int(r, row, 4));
    e->timeMs = static_cast<int32_t>(Int(r, row, 5));
    for (int m = 0; m < kReplayMedals; ++m) e->medals[m] = static_cast<int32_t>(Int(r, row, 6 + m));
    e->startLevel = static_cast<int32_t>(Int(r, row, 12));
    e->submitted = Int(r, row, 13);
}

// A query's result, cleared when it goes out of scope.
struct Result {
    PGresult* r = nullptr;
    explicit Result(PGresult* result) : r(result) {}
    ~Result() { PQclear(r); }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    bool Ok() const {
        const ExecStatusType s = PQresultStatus(r);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    }
};

// Parameters as text, the replay's bytes as binary.
struct Params {
    std::string text[16];
    const char* values[16] = {};
    int lengths[16] = {};
    int formats[16] = {};
    int count = 0;
    void Add(int64_t value) {
        text[count] = std::to_string(value);
        values[count] = text[count].c_str();
        ++count;
    }
    void Add(const std::string& value) {
        text[count] = value;
        values[count] = text[count].c_str();
        ++count;
    }
    void AddBytes(const uint8_t* bytes, size_t size) {
        values[count] = reinterpret_cast<const char*>(bytes);
        lengths[count] = static_cast<int>(size);
        formats[count] = 1;
        ++count;
    }
};

PGresult* Run(PGconn* c, const char* sql, const Params& p, int resultFormat = 0) {
    return PQexecParams(c, sql, p.count, nullptr, p.values, p.lengths, p.formats, resultFormat);
}

class PostgresStore final : public RankingStore {
public:
    explicit PostgresStore(std::string url) : url_(std::move(url)) {}
    ~PostgresStore() override {
        for (PGconn* c : free_) PQfinish(c);
    }

    bool Open(std::string* error) {
        PGconn* c = Take(error);
        if (!c) return false;
        Give(c);
        return true;
    }

    bool Migrate(std::string* error) override {
        PGconn* c = Take(error);
        if (!c) return false;
        const bool ok = MigrateOn(c, error);
        Give(c);
        return ok;
    }

    bool Ping() override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        Result r(PQexec(c, "SELECT 1"));
        const bool ok = r.Ok();
        Give(c);
        return ok;
    }

    bool Add(const RankingEntry& entry, const ReplayDigest& digest, const uint8_t* bytes,
             size_t size, RankingEntry* stored, bool* created, std::string* error) override {
        PGconn* c = Take(error);
        if (!c) return false;
        const bool ok = AddOn(c, entry, digest, bytes, size, stored, created, error);
        if (!ok) Result(PQexec(c, "ROLLBACK"));
        Give(c);
        return ok;
    }

    bool Find(int64_t id, RankingEntry* entry, bool* found) override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        Params p;
        p.Add(id);
        Result r(Run(
            c, (std::string("SELECT ") + kEntryColumns + " FROM games WHERE id = $1").c_str(), p));
        const bool ok = r.Ok();
        *found = ok && PQntuples(r.r) == 1;
        if (*found) ReadEntry(r.r, 0, entry);
        Give(c);
        return ok;
    }

    bool Rank(const RankingEntry& entry, int64_t* rank) override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        Params p;
        p.Add(entry.score);
        p.Add(entry.id);
        Result r(Run(c,
                     "SELECT (SELECT count(*) FROM games WHERE score > $1) + "
                     "(SELECT count(*) FROM games WHERE score = $1 AND id < $2)",
                     p));
        const bool ok = r.Ok() && PQntuples(r.r) == 1;
        if (ok) *rank = Int(r.r, 0, 0) + 1;
        Give(c);
        return ok;
    }

    bool Ranking(int32_t startLevel, int32_t limit, int64_t offset,
                 std::vector<RankingEntry>* entries, int64_t* total) override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        // One snapshot for the count and the page.
        Result begin(PQexec(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        bool ok = begin.Ok() && CountOn(c, startLevel, total);
        Params p;
        std::string sql = std::string("SELECT ") + kEntryColumns + " FROM games ";
        if (startLevel != kAnyStartLevel) {
            p.Add(startLevel);
            sql += "WHERE start_level = $1 ORDER BY score DESC, id LIMIT $2 OFFSET $3";
        } else {
            sql += "ORDER BY score DESC, id LIMIT $1 OFFSET $2";
        }
        p.Add(limit);
        p.Add(offset);
        entries->clear();
        if (ok) {
            Result r(Run(c, sql.c_str(), p));
            ok = r.Ok();
            for (int row = 0; ok && row < PQntuples(r.r); ++row) {
                entries->emplace_back();
                ReadEntry(r.r, row, &entries->back());
            }
        }
        Result end(PQexec(c, "COMMIT"));
        Give(c);
        return ok;
    }

    bool Replay(int64_t id, std::string* bytes, bool* found) override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        Params p;
        p.Add(id);
        Result r(Run(c, "SELECT bytes FROM replays WHERE id = $1::bigint", p, 1));
        const bool ok = r.Ok();
        *found = ok && PQntuples(r.r) == 1;
        if (*found)
            bytes->assign(PQgetvalue(r.r, 0, 0), static_cast<size_t>(PQgetlength(r.r, 0, 0)));
        Give(c);
        return ok;
    }

    bool Count(int32_t startLevel, int64_t* total) override {
        PGconn* c = Take(nullptr);
        if (!c) return false;
        const bool ok = CountOn(c, startLevel, total);
        Give(c);
        return ok;
    }

private:
    static bool Exec(PGconn* c, const char* sql, std::string* error) {
        Result r(PQexec(c, sql));
        if (r.Ok()) return true;
        if (error) *error = PQerrorMessage(c);
        return false;
    }

    static bool MigrateOn(PGconn* c, std::string* error) {
        // Processes starting together take turns: the second finds the steps done.
        if (!Exec(c, "SELECT pg_advisory_lock(" + std::to_string(kMigrationLock) + ")", error))
            return false;
        bool ok =
            Exec(c, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", error);
        for (const Migration& m : kMigrations) {
            if (!ok) break;
            Result current(PQexec(c, "SELECT coalesce(max(version), 0) FROM schema_version"));
            if (!current.Ok()) {
                if (error) *error = PQerrorMessage(c);
                ok = false;
                break;
            }
            if (Int(current.r, 0, 0) >= m.version) continue;
            Params p;
            p.Add(m.version);
            ok = Exec(c, "BEGIN", error) && Exec(c, m.postgres, error);
            if (ok) {
                Result mark(Run(c, "INSERT INTO schema_version (version) VALUES ($1)", p));
                ok = mark.Ok();
                if (!ok && error) *error = PQerrorMessage(c);
            }
            ok = ok && Exec(c, "COMMIT", error);
            if (!ok) Exec(c, "ROLLBACK", nullptr);
        }
        Exec(c, "SELECT pg_advisory_unlock(" + std::to_string(kMigrationLock) + ")", nullptr);
        return ok;
    }
    static bool Exec(PGconn* c, const std::string& sql, std::string* error) {
        return Exec(c, sql.c_str(), error);
    }

    static bool CountOn(PGconn* c, int32_t startLevel, int64_t* total) {
        Params p;
        p.Add(startLevel);
        Result r(Run(c, "SELECT n FROM board_counts WHERE start_level = $1", p));
        if (!r.Ok()) return false;
        *total = PQntuples(r.r) == 1 ? Int(r.r, 0, 0) : 0;
        return true;
    }

    bool AddOn(PGconn* c, const RankingEntry& entry, const ReplayDigest& digest,
               const uint8_t* bytes, size_t size, RankingEntry* stored, bool* created,
               std::string* error) {
        if (!Exec(c, "BEGIN", error)) return false;
        *stored = entry;
        stored->submitted = static_cast<int64_t>(std::time(nullptr));
        Params p;
        p.Add(digest);
        p.Add(std::string(stored->name));
        p.Add(stored->score);
        p.Add(stored->lines);
        p.Add(stored->level);
        p.Add(stored->timeMs);
        for (int m = 0; m < kReplayMedals; ++m) p.Add(stored->medals[m]);
        p.Add(stored->startLevel);
        p.Add(stored->submitted);
        // A replay another process is adding at this moment makes this insert wait for that
        // transaction, then do nothing.
        Result inserted(Run(c,
                            "INSERT INTO games (sha256, name, score, lines, level, time_ms, "
                            "medal0, medal1, medal2, medal3, medal4, medal5, start_level, "
                            "submitted) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, "
                            "$12, $13, $14) ON CONFLICT (sha256) DO NOTHING RETURNING id",
                            p));
        if (!inserted.Ok()) return Fail(c, error);
        if (PQntuples(inserted.r) == 0) {
            Exec(c, "ROLLBACK", nullptr);
            Params q;
            q.Add(digest);
            Result existing(Run(
                c,
                (std::string("SELECT ") + kEntryColumns + " FROM games WHERE sha256 = $1").c_str(),
                q));
            if (!existing.Ok() || PQntuples(existing.r) != 1) return Fail(c, error);
            ReadEntry(existing.r, 0, stored);
            *created = false;
            return true;
        }
        stored->id = Int(inserted.r, 0, 0);
        Params b;
        b.Add(stored->id);
        b.AddBytes(bytes, size);
        Result replay(Run(c, "INSERT INTO replays (id, bytes) VALUES ($1, $2)", b));
        if (!replay.Ok()) return Fail(c, error);
        Params n;
        n.Add(stored->startLevel);
        Result counts(Run(c,
                          "INSERT INTO board_counts (start_level, n) VALUES (-1, 1), ($1, 1) "
                          "ON CONFLICT (start_level) DO UPDATE SET n = board_counts.n + 1",
                          n));
        if (!counts.Ok()) return Fail(c, error);
        if (!Exec(c, "COMMIT", error)) return false;
        *created = true;
        return true;
    }

    static bool Fail(PGconn* c, std::string* error) {
        if (error) *error = PQerrorMessage(c);
        return false;
    }

    PGconn* Take(std::string* error) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!free_.empty()) {
                PGconn* c = free_.back();
                free_.pop_back();
                return c;
            }
        }
        PGconn* c = PQconnectdb(url_.c_str());
        if (PQstatus(c) != CONNECTION_OK) {
            if (error) *error = PQerrorMessage(c);
            PQfinish(c);
            return nullptr;
        }
        return c;
    }

    void Give(PGconn* c) {
        // A broken connection is dropped; the next request opens a new one.
        if (PQstatus(c) != CONNECTION_OK || PQtransactionStatus(c) != PQTRANS_IDLE) {
            PQfinish(c);
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(c);
    }

    std::string url_;
    std::mutex mutex_;
    std::vector<PGconn*> free_;
};

}  // namespace

std::unique_ptr<RankingStore> OpenPostgresStore(const std::string& url, std::string* error) {
    auto store = std::make_unique<PostgresStore>(url);
    if (!store->Open(error)) return nullptr;
    return store;
}
