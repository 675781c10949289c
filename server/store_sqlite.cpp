// The embedded store: one SQLite file in WAL mode, a connection per request thread (taken from
// a small pool), writers one at a time (BEGIN IMMEDIATE), readers never blocked by them.
#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <mutex>

#include "server/migrations.h"
#include "server/store.h"

namespace {

const char* const kEntryColumns =
    "id, name, score, lines, level, time_ms, medal0, medal1, medal2, medal3, medal4, medal5, "
    "start_level, submitted";

// The statements a request uses, prepared once per connection.
enum Statement {
    StFindDigest,
    StInsertGame,
    StInsertReplay,
    StCount,
    StBumpCount,
    StFind,
    StRankAbove,
    StRankAll,
    StRankLevel,
    StReplay,
    kStatements,
};

struct Connection {
    sqlite3* db = nullptr;
    sqlite3_stmt* statements[kStatements] = {};
};

void ReadEntry(sqlite3_stmt* st, RankingEntry* e) {
    *e = RankingEntry{};
    e->id = sqlite3_column_int64(st, 0);
    const unsigned char* name = sqlite3_column_text(st, 1);
    std::snprintf(e->name, sizeof e->name, "%s", name ? reinterpret_cast<const char*>(name) : "");
    e->score = sqlite3_column_int(st, 2);
    e->lines = sqlite3_column_int(st, 3);
    e->level = sqlite3_column_int(st, 4);
    e->timeMs = sqlite3_column_int(st, 5);
    for (int m = 0; m < kReplayMedals; ++m) e->medals[m] = sqlite3_column_int(st, 6 + m);
    e->startLevel = sqlite3_column_int(st, 12);
    e->submitted = sqlite3_column_int64(st, 13);
}

class SqliteStore final : public RankingStore {
public:
    explicit SqliteStore(std::string path) : path_(std::move(path)) {}
    ~SqliteStore() override {
        for (Connection* c : free_) Close(c);
    }

    bool Open(std::string* error) {
        Connection* c = Take(error);
        if (!c) return false;
        Give(c);
        return true;
    }

    bool Migrate(std::string* error) override {
        Connection* c = Take(error);
        if (!c) return false;
        const bool ok = MigrateOn(c->db, error);
        Give(c);
        // Statements prepared before the tables existed are prepared again.
        std::lock_guard<std::mutex> lock(mutex_);
        for (Connection* other : free_) Close(other);
        free_.clear();
        return ok;
    }

    bool Ping() override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        const bool ok = sqlite3_exec(c->db, "SELECT 1", nullptr, nullptr, nullptr) == SQLITE_OK;
        Give(c);
        return ok;
    }

    bool Add(const RankingEntry& entry, const ReplayDigest& digest, const uint8_t* bytes,
             size_t size, RankingEntry* stored, bool* created, std::string* error) override {
        Connection* c = Take(error);
        if (!c) return false;
        bool ok = AddOn(*c, entry, digest, bytes, size, stored, created, error);
        if (!ok) sqlite3_exec(c->db, "ROLLBACK", nullptr, nullptr, nullptr);
        Give(c);
        return ok;
    }

    bool Find(int64_t id, RankingEntry* entry, bool* found) override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        sqlite3_stmt* st = c->statements[StFind];
        sqlite3_bind_int64(st, 1, id);
        const int rc = sqlite3_step(st);
        *found = rc == SQLITE_ROW;
        if (*found) ReadEntry(st, entry);
        sqlite3_reset(st);
        Give(c);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    bool Rank(const RankingEntry& entry, int64_t* rank) override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        sqlite3_stmt* st = c->statements[StRankAbove];
        sqlite3_bind_int(st, 1, entry.score);
        sqlite3_bind_int(st, 2, entry.score);
        sqlite3_bind_int64(st, 3, entry.id);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) *rank = sqlite3_column_int64(st, 0) + 1;
        sqlite3_reset(st);
        Give(c);
        return rc == SQLITE_ROW;
    }

    bool Ranking(int32_t startLevel, int32_t limit, int64_t offset,
                 std::vector<RankingEntry>* entries, int64_t* total) override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        // One read transaction: the count and the page see the same board.
        bool ok = sqlite3_exec(c->db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
        ok = ok && CountOn(*c, startLevel, total);
        sqlite3_stmt* st = c->statements[startLevel == kAnyStartLevel ? StRankAll : StRankLevel];
        int n = 1;
        if (startLevel != kAnyStartLevel) sqlite3_bind_int(st, n++, startLevel);
        sqlite3_bind_int(st, n++, limit);
        sqlite3_bind_int64(st, n, offset);
        entries->clear();
        int rc = SQLITE_DONE;
        while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) {
            entries->emplace_back();
            ReadEntry(st, &entries->back());
        }
        ok = ok && rc == SQLITE_DONE;
        sqlite3_reset(st);
        sqlite3_exec(c->db, "COMMIT", nullptr, nullptr, nullptr);
        Give(c);
        return ok;
    }

    bool Replay(int64_t id, std::string* bytes, bool* found) override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        sqlite3_stmt* st = c->statements[StReplay];
        sqlite3_bind_int64(st, 1, id);
        const int rc = sqlite3_step(st);
        *found = rc == SQLITE_ROW;
        if (*found) {
            const void* blob = sqlite3_column_blob(st, 0);
            const int size = sqlite3_column_bytes(st, 0);
            bytes->assign(static_cast<const char*>(blob), static_cast<size_t>(size));
        }
        sqlite3_reset(st);
        Give(c);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    bool Count(int32_t startLevel, int64_t* total) override {
        Connection* c = Take(nullptr);
        if (!c) return false;
        const bool ok = CountOn(*c, startLevel, total);
        Give(c);
        return ok;
    }

private:
    static bool Exec(sqlite3* db, const char* sql, std::string* error) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
        if (error) *error = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        return false;
    }

    static bool MigrateOn(sqlite3* db, std::string* error) {
        if (!Exec(db, "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)",
                  error))
            return false;
        for (const Migration& m : kMigrations) {
            // The check and the step in one write transaction: a second process starting at
            // the same time waits, then finds the step done.
            if (!Exec(db, "BEGIN IMMEDIATE", error)) return false;
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "SELECT coalesce(max(version), 0) FROM schema_version", -1, &st,
                               nullptr);
            int current = 0;
            if (st && sqlite3_step(st) == SQLITE_ROW) current = sqlite3_column_int(st, 0);
            sqlite3_finalize(st);
            if (current >= m.version) {
                Exec(db, "COMMIT", nullptr);
                continue;
            }
            sqlite3_stmt* mark = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO schema_version (version) VALUES (?)", -1, &mark,
                               nullptr);
            sqlite3_bind_int(mark, 1, m.version);
            const bool ok = Exec(db, m.sqlite, error) && sqlite3_step(mark) == SQLITE_DONE &&
                            Exec(db, "COMMIT", error);
            sqlite3_finalize(mark);
            if (!ok) {
                Exec(db, "ROLLBACK", nullptr);
                return false;
            }
        }
        return true;
    }

    static bool CountOn(Connection& c, int32_t startLevel, int64_t* total) {
        sqlite3_stmt* st = c.statements[StCount];
        sqlite3_bind_int(st, 1, startLevel);
        const int rc = sqlite3_step(st);
        *total = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        sqlite3_reset(st);
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    static bool StepDone(sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        return rc == SQLITE_DONE;
    }

    bool AddOn(Connection& c, const RankingEntry& entry, const ReplayDigest& digest,
               const uint8_t* bytes, size_t size, RankingEntry* stored, bool* created,
               std::string* error) {
        if (!Exec(c.db, "BEGIN IMMEDIATE", error)) return false;
        sqlite3_stmt* st = c.statements[StFindDigest];
        sqlite3_bind_text(st, 1, digest.c_str(), static_cast<int>(digest.size()), SQLITE_STATIC);
        int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) ReadEntry(st, stored);
        sqlite3_reset(st);
        if (rc == SQLITE_ROW) {
            *created = false;
            return Exec(c.db, "COMMIT", error);
        }
        if (rc != SQLITE_DONE) return Fail(c, error);
        *stored = entry;
        stored->submitted = static_cast<int64_t>(std::time(nullptr));
        st = c.statements[StInsertGame];
        int n = 1;
        sqlite3_bind_text(st, n++, digest.c_str(), static_cast<int>(digest.size()), SQLITE_STATIC);
        sqlite3_bind_text(st, n++, stored->name, -1, SQLITE_STATIC);
        sqlite3_bind_int(st, n++, stored->score);
        sqlite3_bind_int(st, n++, stored->lines);
        sqlite3_bind_int(st, n++, stored->level);
        sqlite3_bind_int(st, n++, stored->timeMs);
        for (int m = 0; m < kReplayMedals; ++m) sqlite3_bind_int(st, n++, stored->medals[m]);
        sqlite3_bind_int(st, n++, stored->startLevel);
        sqlite3_bind_int64(st, n, stored->submitted);
        if (!StepDone(st)) return Fail(c, error);
        stored->id = sqlite3_last_insert_rowid(c.db);
        st = c.statements[StInsertReplay];
        sqlite3_bind_int64(st, 1, stored->id);
        sqlite3_bind_blob(st, 2, bytes, static_cast<int>(size), SQLITE_STATIC);
        if (!StepDone(st)) return Fail(c, error);
        for (int32_t level : {kAnyStartLevel, stored->startLevel}) {
            st = c.statements[StBumpCount];
            sqlite3_bind_int(st, 1, level);
            if (!StepDone(st)) return Fail(c, error);
        }
        if (!Exec(c.db, "COMMIT", error)) return false;
        *created = true;
        return true;
    }

    static bool Fail(Connection& c, std::string* error) {
        if (error) *error = sqlite3_errmsg(c.db);
        return false;
    }

    Connection* Take(std::string* error) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!free_.empty()) {
                Connection* c = free_.back();
                free_.pop_back();
                return c;
            }
        }
        auto* c = new Connection;
        if (sqlite3_open_v2(path_.c_str(), &c->db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            if (error) *error = sqlite3_errmsg(c->db);
            Close(c);
            return nullptr;
        }
        // WAL: readers go on while one writer commits. FULL: an entry acknowledged is on the
        // disk, not only in the system's cache.
        sqlite3_busy_timeout(c->db, 10000);
        if (!Exec(c->db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", error)) {
            Close(c);
            return nullptr;
        }
        PrepareAll(*c);
        return c;
    }

    // Statements on tables a fresh file lacks stay null until Migrate has made them.
    static void PrepareAll(Connection& c) {
        std::string columns = kEntryColumns;
        const std::string sql[kStatements] = {
            "SELECT " + columns + " FROM games WHERE sha256 = ?",
            "INSERT INTO games (sha256, name, score, lines, level, time_ms, medal0, medal1, "
            "medal2, medal3, medal4, medal5, start_level, submitted) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            "INSERT INTO replays (id, bytes) VALUES (?, ?)",
            "SELECT n FROM board_counts WHERE start_level = ?",
            "INSERT INTO board_counts (start_level, n) VALUES (?, 1) "
            "ON CONFLICT (start_level) DO UPDATE SET n = n + 1",
            "SELECT " + columns + " FROM games WHERE id = ?",
            "SELECT (SELECT count(*) FROM games WHERE score > ?) + "
            "(SELECT count(*) FROM games WHERE score = ? AND id < ?)",
            "SELECT " + columns + " FROM games ORDER BY score DESC, id LIMIT ? OFFSET ?",
            "SELECT " + columns +
                " FROM games WHERE start_level = ? ORDER BY score DESC, id LIMIT ? OFFSET ?",
            "SELECT bytes FROM replays WHERE id = ?",
        };
        for (int s = 0; s < kStatements; ++s)
            sqlite3_prepare_v3(c.db, sql[s].c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                               &c.statements[s], nullptr);
    }

    void Give(Connection* c) {
        // A connection whose statements are missing (before Migrate) is not kept.
        for (sqlite3_stmt* st : c->statements) {
            if (!st) {
                Close(c);
                return;
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(c);
    }

    static void Close(Connection* c) {
        for (sqlite3_stmt* st : c->statements) sqlite3_finalize(st);
        sqlite3_close_v2(c->db);
        delete c;
    }

    std::string path_;
    std::mutex mutex_;
    std::vector<Connection*> free_;
};

}  // namespace

std::unique_ptr<RankingStore> OpenSqliteStore(const std::string& path, std::string* error) {
    auto store = std::make_unique<SqliteStore>(path);
    if (!store->Open(error)) return nullptr;
    return store;
}
