// The server under the ways it ends and under several at once: killed in the middle of a
// stream of games, stopped with SIGTERM while games are in flight, and two processes taking
// games for one PostgreSQL database.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "tests/server/replay_maker.h"
#include "tests/server/server_test_support.h"

namespace {

using nlohmann::json;

std::vector<MadeGame> MakeGames(int count, int32_t firstSeed) {
    std::vector<MadeGame> games;
    for (int i = 0; i < count; ++i)
        games.push_back(MakeGame(firstSeed + i, i % 2 ? 0 : 15, 200000, 5));
    return games;
}

// Every entry on the board, best first, read page by page.
std::vector<json> WholeBoard(httplib::Client& client) {
    std::vector<json> all;
    for (int offset = 0;; offset += 1000) {
        auto r =
            client.Get(("/api/v1/ranking?limit=1000&offset=" + std::to_string(offset)).c_str());
        if (!r || r->status != 200) return {};
        const json page = json::parse(r->body);
        for (const json& e : page["entries"]) all.push_back(e);
        if (page["entries"].size() < 1000) break;
    }
    return all;
}

class ServerEnds : public ::testing::TestWithParam<StoreKind> {
protected:
    std::vector<std::string> StoreArguments() {
        std::string why;
        std::vector<std::string> args = NewStoreArguments(GetParam(), folder_, &why);
        if (args.empty()) skipWhy_ = why;
        return args;
    }
    TempFolder folder_;
    std::string skipWhy_;
};

// Each accepted game is one transaction: a kill between two leaves every acknowledged entry
// whole (its replay with it) and nothing of the one in flight.
TEST_P(ServerEnds, KilledMidStreamKeepsEveryAcknowledgedEntryWhole) {
    std::vector<std::string> args = StoreArguments();
    if (args.empty() && PostgresMissing(skipWhy_))
        GTEST_SKIP() << "PostgreSQL suite skipped: " << skipWhy_;
    ASSERT_FALSE(args.empty()) << skipWhy_;
    for (const char* a : {"--rate", "1000", "--burst", "1000"}) args.push_back(a);
    const std::vector<MadeGame> games = MakeGames(120, 5000);
    ServerProcess server;
    std::string error;
    ASSERT_TRUE(server.Start(args, &error)) << error;

    std::mutex mutex;
    std::map<size_t, int64_t> acknowledged;  // game index -> id
    std::atomic<size_t> next{0};
    std::atomic<bool> killed{false};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto sender = [&] {
        httplib::Client client("127.0.0.1", server.port());
        client.set_read_timeout(10, 0);
        for (size_t i; (i = next++) < games.size() && std::chrono::steady_clock::now() < until;) {
            auto r = PostGame(client, "KIL", games[i].bytes);
            if (!r) {
                // Cut off by the kill: that game may or may not be there.
                if (killed) break;
                continue;
            }
            if (r->status == 201) {
                std::lock_guard<std::mutex> lock(mutex);
                acknowledged[i] = json::parse(r->body)["entry"]["id"].get<int64_t>();
            }
        }
    };
    std::vector<std::thread> senders;
    for (int t = 0; t < 4; ++t) senders.emplace_back(sender);
    // Killed once a good part is in, with games still being sent.
    while (std::chrono::steady_clock::now() < until) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (acknowledged.size() >= 40) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    server.Stop(SIGKILL, 5);
    killed = true;
    for (std::thread& t : senders) t.join();
    ASSERT_GE(acknowledged.size(), 40u);
    ASSERT_LT(acknowledged.size(), games.size()) << "the kill should come before the stream ends";

    ServerProcess again;
    ASSERT_TRUE(again.Start(args, &error)) << error;
    httplib::Client client("127.0.0.1", again.port());
    const std::vector<json> board = WholeBoard(client);
    ASSERT_FALSE(board.empty());
    auto total = client.Get("/api/v1/ranking?limit=1");
    ASSERT_TRUE(total);
    EXPECT_EQ(json::parse(total->body)["total"], board.size())
        << "the counts and the entries agree";
    std::map<int64_t, json> byId;
    for (const json& e : board) byId[e["id"].get<int64_t>()] = e;
    EXPECT_EQ(byId.size(), board.size()) << "no entry twice";
    for (const auto& [index, id] : acknowledged) {
        ASSERT_EQ(byId.count(id), 1u) << "acknowledged game " << index << " (id " << id << ") lost";
        EXPECT_EQ(byId[id]["score"], games[index].score);
    }
    // Every entry there, acknowledged or caught by the kill, has its whole replay.
    for (const json& e : board) {
        auto replay = client.Get(e["replay_url"].get<std::string>().c_str());
        ASSERT_TRUE(replay);
        ASSERT_EQ(replay->status, 200) << "entry " << e["id"] << " without its replay";
        bool known = false;
        for (const MadeGame& g : games) known = known || g.bytes == replay->body;
        EXPECT_TRUE(known) << "entry " << e["id"] << " holds bytes no one sent";
    }
}

// SIGTERM: the listening socket closes, the games in flight are answered, then it exits 0.
TEST_P(ServerEnds, SigtermFinishesTheGamesInFlightAndStops) {
    std::vector<std::string> args = StoreArguments();
    if (args.empty() && PostgresMissing(skipWhy_))
        GTEST_SKIP() << "PostgreSQL suite skipped: " << skipWhy_;
    ASSERT_FALSE(args.empty()) << skipWhy_;
    for (const char* a : {"--rate", "1000", "--burst", "1000"}) args.push_back(a);
    const std::vector<MadeGame> games = MakeGames(60, 9000);
    ServerProcess server;
    std::string error;
    ASSERT_TRUE(server.Start(args, &error)) << error;

    std::mutex mutex;
    std::map<size_t, int64_t> acknowledged;
    std::atomic<size_t> next{0};
    std::atomic<int> malformed{0};
    auto sender = [&] {
        httplib::Client client("127.0.0.1", server.port());
        client.set_read_timeout(10, 0);
        for (size_t i; (i = next++) < games.size();) {
            auto r = PostGame(client, "TRM", games[i].bytes);
            if (!r) break;  // the server has gone: no new connection is taken
            if (r->status != 201) {
                ++malformed;
                continue;
            }
            std::lock_guard<std::mutex> lock(mutex);
            acknowledged[i] = json::parse(r->body)["entry"]["id"].get<int64_t>();
        }
    };
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t) senders.emplace_back(sender);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (next.load() < 15 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(server.Stop(SIGTERM, 15), 0) << server.Output();
    for (std::thread& t : senders) t.join();
    EXPECT_EQ(malformed.load(), 0);
    EXPECT_NE(server.Output().find("plusrail-server: stopped"), std::string::npos);

    ServerProcess again;
    ASSERT_TRUE(again.Start(args, &error)) << error;
    httplib::Client client("127.0.0.1", again.port());
    const std::vector<json> board = WholeBoard(client);
    std::map<int64_t, json> byId;
    for (const json& e : board) byId[e["id"].get<int64_t>()] = e;
    for (const auto& [index, id] : acknowledged)
        EXPECT_EQ(byId.count(id), 1u) << "acknowledged game " << index << " lost";
    EXPECT_EQ(board.size(), acknowledged.size()) << "an answered stop leaves only answered games";
}

// A game whose body is still arriving when SIGTERM comes is read to its end, ranked and
// answered before the server exits.
TEST_P(ServerEnds, SigtermWaitsForAGameHalfSent) {
    std::vector<std::string> args = StoreArguments();
    if (args.empty() && PostgresMissing(skipWhy_))
        GTEST_SKIP() << "PostgreSQL suite skipped: " << skipWhy_;
    ASSERT_FALSE(args.empty()) << skipWhy_;
    const MadeGame game = MakeGame(777, 0);
    ServerProcess server;
    std::string error;
    ASSERT_TRUE(server.Start(args, &error)) << error;

    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(server.port()));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const std::string head =
        "POST /api/v1/games?name=HLF HTTP/1.1\r\nHost: 127.0.0.1\r\n"
        "Content-Type: application/octet-stream\r\nConnection: close\r\n"
        "Content-Length: " +
        std::to_string(game.bytes.size()) + "\r\n\r\n";
    const std::string first = head + game.bytes.substr(0, game.bytes.size() / 2);
    ASSERT_EQ(send(s, first.data(), first.size(), 0), static_cast<ssize_t>(first.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(server.pid(), SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string rest = game.bytes.substr(game.bytes.size() / 2);
    ASSERT_EQ(send(s, rest.data(), rest.size(), 0), static_cast<ssize_t>(rest.size()));
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, static_cast<size_t>(n));
    close(s);
    EXPECT_EQ(answer.rfind("HTTP/1.1 201", 0), 0u) << answer;
    EXPECT_EQ(server.Stop(SIGTERM, 15), 0) << server.Output();

    ServerProcess again;
    ASSERT_TRUE(again.Start(args, &error)) << error;
    httplib::Client client("127.0.0.1", again.port());
    const std::vector<json> board = WholeBoard(client);
    ASSERT_EQ(board.size(), 1u);
    EXPECT_EQ(board[0]["name"], "HLF");
    EXPECT_EQ(board[0]["score"], game.score);
}

INSTANTIATE_TEST_SUITE_P(Stores, ServerEnds,
                         ::testing::Values(StoreKind::Sqlite, StoreKind::Postgres),
                         [](const ::testing::TestParamInfo<StoreKind>& p) {
                             return p.param == StoreKind::Sqlite ? "Sqlite" : "Postgres";
                         });

// Two stateless processes in front of one database, both taking games at once, some of them
// the same games: every game on the board once, and both serve the same ranking.
TEST(ServerCluster, TwoProcessesOnOnePostgresRankEveryGameOnce) {
    TempFolder folder;
    std::string why;
    std::vector<std::string> args = NewStoreArguments(StoreKind::Postgres, folder, &why);
    if (args.empty() && PostgresMissing(why)) GTEST_SKIP() << "PostgreSQL suite skipped: " << why;
    ASSERT_FALSE(args.empty()) << why;
    for (const char* a : {"--rate", "1000", "--burst", "1000"}) args.push_back(a);
    const std::vector<MadeGame> games = MakeGames(80, 12000);
    ServerProcess a, b;
    std::string error;
    ASSERT_TRUE(a.Start(args, &error)) << error;
    ASSERT_TRUE(b.Start(args, &error)) << error;

    std::mutex mutex;
    std::map<size_t, std::vector<int64_t>> ids;  // game -> the ids the answers gave
    std::atomic<int> created{0}, failures{0};
    // Each process gets every game, from two threads each, in opposite orders.
    auto sender = [&](int port, bool reverse, int part) {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(30, 0);
        for (size_t k = static_cast<size_t>(part); k < games.size(); k += 2) {
            const size_t i = reverse ? games.size() - 1 - k : k;
            auto r = PostGame(client, "DUO", games[i].bytes);
            if (!r || (r->status != 201 && r->status != 200)) {
                ++failures;
                continue;
            }
            created += r->status == 201;
            std::lock_guard<std::mutex> lock(mutex);
            ids[i].push_back(json::parse(r->body)["entry"]["id"].get<int64_t>());
        }
    };
    std::vector<std::thread> senders;
    for (int part = 0; part < 2; ++part) {
        senders.emplace_back(sender, a.port(), false, part);
        senders.emplace_back(sender, b.port(), true, part);
    }
    for (std::thread& t : senders) t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(created.load(), static_cast<int>(games.size())) << "each game created exactly once";
    ASSERT_EQ(ids.size(), games.size());
    for (const auto& [index, answered] : ids) {
        ASSERT_EQ(answered.size(), 2u);
        EXPECT_EQ(answered[0], answered[1]) << "game " << index << " got two entries";
    }
    httplib::Client ca("127.0.0.1", a.port()), cb("127.0.0.1", b.port());
    const std::vector<json> boardA = WholeBoard(ca), boardB = WholeBoard(cb);
    EXPECT_EQ(boardA.size(), games.size());
    EXPECT_EQ(boardA, boardB);
}

}  // namespace
