// The ranking server's API over real HTTP on 127.0.0.1, against each store: SQLite in a
// temporary folder and a PostgreSQL started for the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>

#include "rules/replay_file.h"
#include "tests/server/replay_maker.h"
#include "tests/server/server_test_support.h"

namespace {

using nlohmann::json;

constexpr size_t kUpdatesOffset = 36;

class ServerApi : public ::testing::TestWithParam<StoreKind> {
protected:
    // A server on a new, empty store; extra options after the store's.
    void StartServer(std::vector<std::string> extra = {"--rate", "1000", "--burst", "1000"}) {
        std::string why;
        std::vector<std::string> args = NewStoreArguments(GetParam(), folder_, &why);
        if (args.empty() && PostgresMissing(why))
            GTEST_SKIP() << "PostgreSQL suite skipped: " << why;
        ASSERT_FALSE(args.empty()) << why;
        args.insert(args.end(), extra.begin(), extra.end());
        std::string error;
        ASSERT_TRUE(server_.Start(args, &error)) << error;
        client_ = std::make_unique<httplib::Client>("127.0.0.1", server_.port());
        client_->set_read_timeout(30, 0);
    }

    json Ranking(const std::string& query = "") {
        auto r = client_->Get(("/api/v1/ranking" + query).c_str());
        EXPECT_TRUE(r);
        if (!r) return json();
        EXPECT_EQ(r->status, 200) << r->body;
        return JsonOf(r);
    }

    TempFolder folder_;
    ServerProcess server_;
    std::unique_ptr<httplib::Client> client_;
};

TEST_P(ServerApi, AcceptedGameIsRankedAndItsReplayServedBack) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(101, 0);
    ASSERT_GT(game.score, 0) << "the player should score in a whole game";
    auto posted = PostGame(*client_, "AB%2B", game.bytes);
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->status, 201) << posted->body;
    const json answer = JsonOf(posted);
    EXPECT_EQ(answer["rank"], 1);
    const json entry = answer["entry"];
    EXPECT_EQ(entry["name"], "AB+");
    EXPECT_EQ(entry["score"], game.score);
    EXPECT_EQ(entry["lines"], game.lines);
    EXPECT_EQ(entry["level"], game.level);
    EXPECT_EQ(entry["start_level"], 0);
    EXPECT_EQ(entry["medals"].size(), 6u);
    EXPECT_EQ(entry["time_ms"], FieldAt(game.bytes, 64));
    EXPECT_TRUE(std::regex_match(entry["submitted"].get<std::string>(),
                                 std::regex("20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-9:]{8}Z")));
    const std::string id = std::to_string(entry["id"].get<int64_t>());
    EXPECT_EQ(entry["replay_url"], "/api/v1/games/" + id + "/replay");

    auto got = client_->Get(("/api/v1/games/" + id).c_str());
    ASSERT_TRUE(got);
    ASSERT_EQ(got->status, 200);
    json fetched = JsonOf(got);
    EXPECT_EQ(fetched["rank"], 1);
    fetched.erase("rank");
    EXPECT_EQ(fetched, entry);

    auto replay = client_->Get(("/api/v1/games/" + id + "/replay").c_str());
    ASSERT_TRUE(replay);
    ASSERT_EQ(replay->status, 200);
    EXPECT_EQ(replay->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(replay->body, game.bytes);
    EXPECT_EQ(replay->get_header_value("Cache-Control"), "public, max-age=31536000, immutable");

    const json list = Ranking();
    EXPECT_EQ(list["total"], 1);
    ASSERT_EQ(list["entries"].size(), 1u);
    EXPECT_EQ(list["entries"][0]["id"], entry["id"]);

    auto missing = client_->Get("/api/v1/games/999999");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_EQ(JsonOf(missing)["error"], "no such game");
    auto missingReplay = client_->Get("/api/v1/games/abc/replay");
    ASSERT_TRUE(missingReplay);
    EXPECT_EQ(missingReplay->status, 404);
}

// The replays the game itself wrote in its recorded sessions: finished games are ranked with
// their recorded score; a game left before its end is not.
TEST_P(ServerApi, ReplaysTheGameWroteAreJudgedByHowTheyEnded) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    int accepted = 0;
    for (const char* file : {"level0.last.rpl", "level0.rank_n_5.rpl", "level100.last.rpl",
                             "level15.last.rpl", "level35_50.last.rpl", "menus.last.rpl"}) {
        const std::string bytes = ReadFile(SourcePath(std::string("tests/golden/") + file));
        ASSERT_GT(bytes.size(), kReplayHeaderBytes) << file;
        auto r = PostGame(*client_, "GLD", bytes);
        ASSERT_TRUE(r) << file;
        const uint8_t end = static_cast<uint8_t>(bytes[10]);
        if (end == ReplayEndGameOver) {
            EXPECT_TRUE(r->status == 201 || r->status == 200) << file << ": " << r->body;
            EXPECT_EQ(JsonOf(r)["entry"]["score"], FieldAt(bytes, 52)) << file;
            accepted += r->status == 201;
        } else {
            EXPECT_EQ(r->status, 422) << file;
            EXPECT_EQ(JsonOf(r)["error"], "the game did not end in a game over") << file;
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST_P(ServerApi, RankingIsBestFirstFilteredAndPaged) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    struct Sent {
        int64_t id;
        int32_t score;
        int32_t startLevel;
    };
    std::vector<Sent> sent;
    for (int i = 0; i < 12; ++i) {
        const int32_t level = i % 3 == 0 ? 15 : 0;
        const MadeGame game = MakeGame(200 + i, level);
        auto r =
            PostGame(*client_, "R%20" + std::string(1, static_cast<char>('A' + i)), game.bytes);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->status, 201) << r->body;
        sent.push_back({JsonOf(r)["entry"]["id"].get<int64_t>(), game.score, level});
    }
    // The same score twice: the earlier stays ahead.
    std::vector<Sent> best = sent;
    std::stable_sort(best.begin(), best.end(), [](const Sent& a, const Sent& b) {
        return a.score != b.score ? a.score > b.score : a.id < b.id;
    });
    const json all = Ranking();
    EXPECT_EQ(all["total"], 12);
    ASSERT_EQ(all["entries"].size(), 12u);
    for (size_t i = 0; i < best.size(); ++i) {
        EXPECT_EQ(all["entries"][i]["id"], best[i].id) << "place " << i + 1;
        EXPECT_EQ(all["entries"][i]["rank"], i + 1);
        EXPECT_EQ(all["entries"][i]["name"].get<std::string>().substr(0, 2), "R ");
    }
    // Each game's own page tells the same place.
    for (size_t i = 0; i < best.size(); ++i) {
        auto r = client_->Get(("/api/v1/games/" + std::to_string(best[i].id)).c_str());
        ASSERT_TRUE(r);
        EXPECT_EQ(JsonOf(r)["rank"], i + 1);
    }
    const json page = Ranking("?limit=5&offset=5");
    EXPECT_EQ(page["total"], 12);
    EXPECT_EQ(page["offset"], 5);
    ASSERT_EQ(page["entries"].size(), 5u);
    EXPECT_EQ(page["entries"][0]["id"], best[5].id);
    EXPECT_EQ(page["entries"][0]["rank"], 6);

    const json fifteen = Ranking("?start_level=15");
    EXPECT_EQ(fifteen["total"], 4);
    ASSERT_EQ(fifteen["entries"].size(), 4u);
    int64_t lastScore = INT64_MAX;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(fifteen["entries"][i]["start_level"], 15);
        EXPECT_EQ(fifteen["entries"][i]["rank"], i + 1);
        EXPECT_LE(fifteen["entries"][i]["score"].get<int64_t>(), lastScore);
        lastScore = fifteen["entries"][i]["score"].get<int64_t>();
    }
    EXPECT_EQ(Ranking("?start_level=100")["total"], 0);
    for (const char* bad : {"?limit=0", "?limit=1001", "?limit=x", "?offset=-1", "?start_level=16",
                            "?start_level=abc"}) {
        auto r = client_->Get((std::string("/api/v1/ranking") + bad).c_str());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << bad;
        EXPECT_TRUE(JsonOf(r).contains("error")) << bad;
    }
}

TEST_P(ServerApi, ForgedResultIsRefusedWithTheFieldThatDiffers) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(303, 0);
    const std::string forged = ForgeScore(game.bytes, game.score + 1000);
    auto r = PostGame(*client_, "CHT", forged);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422);
    EXPECT_EQ(JsonOf(r)["error"], "score differs: recorded " + std::to_string(game.score + 1000) +
                                      ", replayed " + std::to_string(game.score));
    // Edited without fixing the CRC: the reader's own word.
    std::string damaged = game.bytes;
    damaged[56] = static_cast<char>(damaged[56] + 1);
    r = PostGame(*client_, "CHT", damaged);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422);
    EXPECT_EQ(JsonOf(r)["error"], "the replay file is damaged (its CRC does not match)");
    EXPECT_EQ(Ranking()["total"], 0);
}

TEST_P(ServerApi, NamesOutsideTheAlphabetAreRefused) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(404, 0);
    for (const char* name : {"abc", "AB", "ABCD", "A0B", "A%00B", "A%C3%A9", "A_B", ""}) {
        auto r = PostGame(*client_, name, game.bytes);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << name;
        EXPECT_TRUE(JsonOf(r).contains("error")) << name;
    }
    auto r = client_->Post("/api/v1/games", game.bytes, "application/octet-stream");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 400);
    EXPECT_EQ(Ranking()["total"], 0);
    // The whole alphabet's odd ones: colon, minus, plus, dot, bang, question, blank.
    r = PostGame(*client_, "%3A-%2B", game.bytes);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 201) << r->body;
    EXPECT_EQ(JsonOf(r)["entry"]["name"], ":-+");
    r = PostGame(*client_, ".!%3F", MakeGame(405, 0).bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(JsonOf(r)["entry"]["name"], ".!?");
    r = PostGame(*client_, "%20Z%20", MakeGame(406, 0).bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(JsonOf(r)["entry"]["name"], " Z ");
}

TEST_P(ServerApi, TheSameReplayTwiceIsOneEntry) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(505, 0);
    auto first = PostGame(*client_, "ONE", game.bytes);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->status, 201);
    auto second = PostGame(*client_, "TWO", game.bytes);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 200);
    EXPECT_EQ(JsonOf(second)["entry"], JsonOf(first)["entry"]);
    EXPECT_EQ(JsonOf(second)["entry"]["name"], "ONE");
    EXPECT_EQ(Ranking()["total"], 1);
}

TEST_P(ServerApi, ReplaysThatCannotBeRankedAreRefusedBeforeOrByPlaying) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(606, 0);
    struct Case {
        const char* what;
        std::string bytes;
        const char* error;  // the start of the message
    };
    std::vector<Case> cases;
    cases.push_back({"empty", "", "the replay file is cut short"});
    cases.push_back({"not a replay", std::string(200, 'x'), "not a replay file"});
    cases.push_back(
        {"cut short", game.bytes.substr(0, game.bytes.size() - 1), "the replay file is cut short"});
    cases.push_back({"trailing", game.bytes + "x", "the replay file has bytes after its end"});

    // Made under other rules, CRC right: the reader's last check.
    std::string otherRules = game.bytes;
    otherRules[6] = static_cast<char>(kReplayRulesVersion + 1);
    cases.push_back({"other rules", ForgeScore(otherRules, game.score),
                     "the replay was made under other rules"});
    // A start level the mode select cannot give.
    std::string level = game.bytes;
    level[16] = 16;
    cases.push_back({"start level", ForgeScore(level, game.score),
                     "the replay file holds values no game can make"});
    // A key layout past the last.
    std::string layout = game.bytes;
    layout[20] = 21;
    cases.push_back({"key layout", ForgeScore(layout, game.score),
                     "the replay file holds values no game can make"});
    // Incomplete: the game outgrew its recording.
    std::string incomplete = game.bytes;
    incomplete[9] = 1;
    cases.push_back({"incomplete", ForgeScore(incomplete, game.score), "the replay is incomplete"});

    // An idle game claiming far more updates than the game records, in one long run: refused
    // from its header alone.
    {
        static ReplayImage image;
        ReplayInfo info{};
        info.rulesVersion = kReplayRulesVersion;
        info.mode = 1;
        info.seed = 1;
        info.frames = 3000000;
        info.result.updates = 3000000;
        info.result.end = ReplayEndGameOver;
        info.frameBytes =
            static_cast<uint32_t>(EncodeRun(0, 3000000, image.bytes + kReplayHeaderBytes));
        info.runs = 1;
        SealReplay(image, info);
        cases.push_back({"too long",
                         std::string(reinterpret_cast<const char*>(image.bytes), image.size),
                         "the replay claims 3000000 updates, more than the game records"});
    }
    for (const Case& c : cases) {
        auto r = PostGame(*client_, "BAD", c.bytes);
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->status, 422) << c.what;
        const std::string error = JsonOf(r)["error"].get<std::string>();
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.what << ": " << error;
    }

    // Random bytes, and random bytes behind a real header: each refused, the server unharmed.
    std::mt19937 random(7);
    for (int i = 0; i < 100; ++i) {
        std::string bytes(static_cast<size_t>(random() % 4096), '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        if (i % 2 == 1) bytes = game.bytes.substr(0, 40) + bytes;
        auto r = PostGame(*client_, "RND", bytes);
        ASSERT_TRUE(r) << "random body " << i << " got no answer";
        EXPECT_EQ(r->status, 422) << i;
    }
    auto health = client_->Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    EXPECT_EQ(Ranking()["total"], 0);
}

TEST_P(ServerApi, BodiesOverTheLargestReplayAre413) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    auto r = PostGame(*client_, "BIG", std::string(kReplayMaxBytes + 1, 'x'));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 413);
    EXPECT_TRUE(JsonOf(r).contains("error"));
    // The largest allowed size is read and judged as a replay.
    httplib::Client fresh("127.0.0.1", server_.port());
    r = PostGame(fresh, "BIG", std::string(kReplayMaxBytes, 'x'));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422);
    EXPECT_EQ(Ranking()["total"], 0);
}

TEST_P(ServerApi, ClientsSendingTooFastGet429WithRetryAfter) {
    StartServer({"--rate", "0.2", "--burst", "3"});
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(707, 0);
    for (int i = 0; i < 3; ++i) {
        auto r = PostGame(*client_, "FST", game.bytes);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, i == 0 ? 201 : 200);
    }
    auto r = PostGame(*client_, "FST", game.bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 429);
    const int wait = std::atoi(r->get_header_value("Retry-After").c_str());
    EXPECT_GE(wait, 1);
    EXPECT_LE(wait, 5);
    // Reading is not limited.
    EXPECT_EQ(Ranking()["total"], 1);
}

TEST_P(ServerApi, CrossOriginRequestsAreRefusedUnlessAllowed) {
    StartServer({"--rate", "1000", "--burst", "1000", "--allow-origin", "https://friend.example"});
    if (IsSkipped() || HasFatalFailure()) return;
    const MadeGame game = MakeGame(808, 0);
    const std::string own = "http://127.0.0.1:" + std::to_string(server_.port());
    auto refused = client_->Post("/api/v1/games?name=XOR", {{"Origin", "https://evil.example"}},
                                 game.bytes, "application/octet-stream");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403);
    EXPECT_EQ(JsonOf(refused)["error"], "cross-origin request refused");
    auto read = client_->Get("/api/v1/ranking", {{"Origin", "https://evil.example"}});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->status, 403);
    EXPECT_EQ(Ranking()["total"], 0);

    auto same = client_->Post("/api/v1/games?name=OWN", {{"Origin", own}}, game.bytes,
                              "application/octet-stream");
    ASSERT_TRUE(same);
    EXPECT_EQ(same->status, 201) << same->body;
    EXPECT_FALSE(same->has_header("Access-Control-Allow-Origin"));

    auto friendly = client_->Get("/api/v1/ranking", {{"Origin", "https://friend.example"}});
    ASSERT_TRUE(friendly);
    EXPECT_EQ(friendly->status, 200);
    EXPECT_EQ(friendly->get_header_value("Access-Control-Allow-Origin"), "https://friend.example");
}

TEST_P(ServerApi, PageAndBrowserBuildComeWithTheirSecurityPolicies) {
    TempFolder files;
    std::filesystem::create_directories(files.path + "/page");
    std::filesystem::create_directories(files.path + "/web");
    std::ofstream(files.path + "/page/index.html") << "<!doctype html><title>ranking</title>";
    std::ofstream(files.path + "/web/index.html") << "<!doctype html><title>play</title>";
    StartServer({"--page", files.path + "/page", "--web", files.path + "/web"});
    if (IsSkipped() || HasFatalFailure()) return;
    auto page = client_->Get("/");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->status, 200);
    EXPECT_EQ(page->body, "<!doctype html><title>ranking</title>");
    const std::string pagePolicy = page->get_header_value("Content-Security-Policy");
    EXPECT_NE(pagePolicy.find("default-src 'self'"), std::string::npos);
    EXPECT_NE(pagePolicy.find("script-src 'self';"), std::string::npos);
    EXPECT_EQ(pagePolicy.find("unsafe-inline"), std::string::npos);
    auto play = client_->Get("/play/index.html");
    ASSERT_TRUE(play);
    ASSERT_EQ(play->status, 200);
    EXPECT_EQ(play->body, "<!doctype html><title>play</title>");
    EXPECT_NE(play->get_header_value("Content-Security-Policy").find("'wasm-unsafe-eval'"),
              std::string::npos);
    auto outside = client_->Get("/play/../../etc/passwd");
    ASSERT_TRUE(outside);
    EXPECT_NE(outside->status, 200);
}

TEST_P(ServerApi, HealthAndMetricsCountWhatHappened) {
    StartServer();
    if (IsSkipped() || HasFatalFailure()) return;
    auto health = client_->Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    EXPECT_EQ(health->body, "ok\n");
    const MadeGame game = MakeGame(909, 0);
    ASSERT_EQ(PostGame(*client_, "MET", game.bytes)->status, 201);
    ASSERT_EQ(PostGame(*client_, "MET", ForgeScore(game.bytes, 1))->status, 422);
    Ranking();
    auto metrics = client_->Get("/metrics");
    ASSERT_TRUE(metrics);
    ASSERT_EQ(metrics->status, 200);
    const std::string& text = metrics->body;
    for (const char* line :
         {"plusrail_requests_total{route=\"POST /api/v1/games\",status=\"201\"} 1\n",
          "plusrail_requests_total{route=\"POST /api/v1/games\",status=\"422\"} 1\n",
          "plusrail_requests_total{route=\"/api/v1/ranking\",status=\"200\"} 1\n",
          "plusrail_requests_total{route=\"/healthz\",status=\"200\"} 1\n",
          "# TYPE plusrail_verify_seconds histogram\n", "plusrail_verify_seconds_count 2\n",
          "# TYPE plusrail_db_seconds histogram\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
}

INSTANTIATE_TEST_SUITE_P(Stores, ServerApi,
                         ::testing::Values(StoreKind::Sqlite, StoreKind::Postgres),
                         [](const ::testing::TestParamInfo<StoreKind>& p) {
                             return p.param == StoreKind::Sqlite ? "Sqlite" : "Postgres";
                         });

}  // namespace
