// The ranking server's figures: how long the rules take to check a five-minute game, how many
// games a second the whole path accepts on SQLite (HTTP, verification, one transaction each),
// and how many pages of the ranking a second it serves with 100,000 entries on the board, with
// the 99th percentile of their latency. Clients and server share this machine's cores.
#include <signal.h>
#include <sqlite3.h>

#include <httplib.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "rules/verify.h"
#include "server/store.h"
#include "tests/server/replay_maker.h"
#include "tests/server/server_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Five minutes at 60 updates a second.
constexpr uint32_t kFiveMinutes = 5 * 60 * 60;

void BenchVerify() {
    // The longest of a few games, cut at five minutes: the random player rarely lasts longer.
    MadeGame longest{};
    for (int32_t seed = 1; seed <= 40 && longest.updates < kFiveMinutes; ++seed) {
        MadeGame g = MakeGame(seed, 15, kFiveMinutes, 6);
        if (g.updates > longest.updates) longest = g;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(longest.bytes.data());
    std::vector<double> times;
    char message[256];
    for (int run = 0; run < 60; ++run) {
        const auto start = Clock::now();
        const ReplayVerdict verdict =
            VerifyReplay(bytes, longest.bytes.size(), message, sizeof message);
        times.push_back(Seconds(Clock::now() - start));
        if (verdict != ReplayVerdict::Same) {
            std::printf("verification failed: %s\n", message);
            return;
        }
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf(
        "verify: a game of %u updates (%.1f minutes, %zu bytes): median %.2f ms "
        "(%.0f ns an update; a five-minute game %.2f ms; target <= 5 ms)\n",
        longest.updates, longest.updates / 3600.0, longest.bytes.size(), median * 1e3,
        median / longest.updates * 1e9, median / longest.updates * kFiveMinutes * 1e3);
}

void BenchSubmissions() {
    constexpr int kGames = 1500;
    std::vector<MadeGame> games;
    for (int i = 0; i < kGames; ++i)
        games.push_back(MakeGame(100000 + i, i % 2 ? 0 : 15, 40000, 6));
    double updates = 0;
    for (const MadeGame& g : games) updates += g.updates;
    TempFolder folder;
    ServerProcess server;
    std::string error;
    if (!server.Start({"--data", folder.path + "/data", "--rate", "100000", "--burst", "100000"},
                      &error)) {
        std::printf("submissions: %s\n", error.c_str());
        return;
    }
    std::atomic<int> next{0}, accepted{0}, other{0};
    const auto start = Clock::now();
    const auto until = start + std::chrono::seconds(60);
    auto sender = [&] {
        httplib::Client client("127.0.0.1", server.port());
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        for (int i; (i = next++) < kGames && Clock::now() < until;) {
            auto r = client.Post("/api/v1/games?name=BEN", games[static_cast<size_t>(i)].bytes,
                                 "application/octet-stream");
            if (r && r->status == 201)
                ++accepted;
            else
                ++other;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(sender);
    for (std::thread& t : threads) t.join();
    const double elapsed = Seconds(Clock::now() - start);
    std::printf(
        "submit: %d games accepted in %.2f s: %.0f a second end to end on SQLite "
        "(games of %.0f updates on average; %d not accepted; target >= 300/s)\n",
        accepted.load(), elapsed, accepted / elapsed, updates / kGames, other.load());
    server.Stop(SIGTERM, 10);
}

// 100,000 entries written straight into the store's file in one transaction: the reads do not
// care how they came, and sending them through the API would take minutes.
bool FillBoard(const std::string& dataDir, int entries) {
    std::filesystem::create_directories(dataDir);
    const std::string path = dataDir + "/ranking.sqlite3";
    std::string error;
    {
        auto store = OpenSqliteStore(path, &error);
        if (!store || !store->Migrate(&error)) return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return false;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* game = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO games (sha256, name, score, lines, level, time_ms, medal0, "
                       "medal1, medal2, medal3, medal4, medal5, start_level, submitted) VALUES "
                       "(?, 'BEN', ?, ?, ?, ?, 0, 1, 2, 3, 0, 1, ?, 1765000000)",
                       -1, &game, nullptr);
    sqlite3_stmt* replay = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO replays (id, bytes) VALUES (?, zeroblob(2000))", -1,
                       &replay, nullptr);
    const int levels[] = {0, 15, 25, 35, 50, 70, 100};
    uint32_t x = 1;
    for (int i = 0; i < entries; ++i) {
        x = x * 1664525u + 1013904223u;
        const std::string digest = "bench" + std::to_string(i);
        sqlite3_bind_text(game, 1, digest.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(game, 2, static_cast<int>(x % 2000000));
        sqlite3_bind_int(game, 3, static_cast<int>(x % 300));
        sqlite3_bind_int(game, 4, static_cast<int>(x % 120));
        sqlite3_bind_int(game, 5, static_cast<int>(x % 1800000));
        sqlite3_bind_int(game, 6, levels[i % 7]);
        sqlite3_step(game);
        sqlite3_reset(game);
        sqlite3_bind_int64(replay, 1, sqlite3_last_insert_rowid(db));
        sqlite3_step(replay);
        sqlite3_reset(replay);
    }
    sqlite3_finalize(game);
    sqlite3_finalize(replay);
    sqlite3_exec(
        db,
        "DELETE FROM board_counts; INSERT INTO board_counts SELECT -1, count(*) FROM games;"
        "INSERT INTO board_counts SELECT start_level, count(*) FROM games GROUP BY start_level;"
        "COMMIT",
        nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return true;
}

// Pages of the ranking read by four clients for five seconds, with `writing` a fifth client
// sending new games all the while (each one changes the board, so the pages are read from
// the database again).
void MeasureReads(int port, int entries, const std::vector<MadeGame>* writing) {
    constexpr int kThreads = 4;
    const auto warm = Clock::now() + std::chrono::seconds(1);
    const auto until = warm + std::chrono::seconds(5);
    std::vector<std::vector<double>> latencies(kThreads);
    std::atomic<int> failed{0}, written{0};
    auto reader = [&](int t) {
        httplib::Client client("127.0.0.1", port);
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        for (;;) {
            const auto start = Clock::now();
            if (start >= until) break;
            auto r = client.Get("/api/v1/ranking?limit=100");
            const double took = Seconds(Clock::now() - start);
            if (!r || r->status != 200 || r->body.size() < 100 * 200) ++failed;
            if (start >= warm) latencies[static_cast<size_t>(t)].push_back(took);
        }
    };
    auto writer = [&] {
        httplib::Client client("127.0.0.1", port);
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        for (size_t i = 0; i < writing->size() && Clock::now() < until; ++i) {
            auto r = client.Post("/api/v1/games?name=NEW", (*writing)[i].bytes,
                                 "application/octet-stream");
            if (r && r->status == 201 && Clock::now() >= warm) ++written;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(reader, t);
    if (writing) threads.emplace_back(writer);
    for (std::thread& t : threads) t.join();
    std::vector<double> all;
    for (const auto& l : latencies) all.insert(all.end(), l.begin(), l.end());
    std::sort(all.begin(), all.end());
    if (all.empty()) return;
    std::printf(
        "ranking: GET /api/v1/ranking?limit=100 with %d entries%s: %.0f a second, p50 "
        "%.2f ms, p99 %.2f ms (%d clients, %d failed; targets >= 5000/s, p99 <= 5 ms)\n",
        entries, writing ? ", games arriving" : "", static_cast<double>(all.size()) / 5.0,
        all[all.size() / 2] * 1e3, all[all.size() * 99 / 100] * 1e3, kThreads, failed.load());
    if (writing) std::printf("ranking: meanwhile %.0f games a second accepted\n", written / 5.0);
}

void BenchReads() {
    constexpr int kEntries = 100000;
    TempFolder folder;
    if (!FillBoard(folder.path + "/data", kEntries)) {
        std::printf("reads: the board could not be filled\n");
        return;
    }
    ServerProcess server;
    std::string error;
    if (!server.Start({"--data", folder.path + "/data", "--rate", "100000", "--burst", "100000"},
                      &error)) {
        std::printf("reads: %s\n", error.c_str());
        return;
    }
    MeasureReads(server.port(), kEntries, nullptr);
    std::vector<MadeGame> games;
    for (int i = 0; i < 3000; ++i) games.push_back(MakeGame(300000 + i, 0, 40000, 6));
    MeasureReads(server.port(), kEntries, &games);
    server.Stop(SIGTERM, 10);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "verify") BenchVerify();
    if (only.empty() || only == "submit") BenchSubmissions();
    if (only.empty() || only == "ranking") BenchReads();
    return 0;
}
