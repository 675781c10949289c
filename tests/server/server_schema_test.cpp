// The schema brought up to date at start: a file left by an older server keeps its entries,
// and the steps it lacked run once, in order.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <signal.h>

#include <filesystem>

#include "server/migrations.h"
#include "tests/server/server_test_support.h"

namespace {

int64_t Scalar(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    int64_t value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return value;
}

TEST(ServerSchema, AnOlderFileIsMigratedAndKeepsItsEntries) {
    TempFolder folder;
    const std::string dir = folder.path + "/data";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/ranking.sqlite3";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    // As the first version of the server left it: its schema and three entries.
    const std::string first =
        std::string(
            "CREATE TABLE schema_version (version INTEGER NOT NULL);"
            "INSERT INTO schema_version VALUES (1);") +
        kMigrations[0].sqlite +
        ";INSERT INTO games VALUES (1, 'a', 'OLD', 500, 5, 0, 1000, 0, 0, 0, "
        "0, 0, 0, 0, 1765000000);"
        "INSERT INTO games VALUES (2, 'b', 'NEW', 900, 9, 15, 2000, 0, 0, 0, "
        "1, 0, 0, 15, 1765000001);"
        "INSERT INTO games VALUES (3, 'c', 'TIE', 500, 4, 0, 900, 0, 0, 0, 0, "
        "0, 0, 0, 1765000002);"
        "INSERT INTO replays VALUES (1, x'00'), (2, x'01'), (3, x'02');";
    ASSERT_EQ(sqlite3_exec(db, first.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);

    ServerProcess server;
    std::string error;
    ASSERT_TRUE(server.Start({"--data", dir}, &error)) << error;
    httplib::Client client("127.0.0.1", server.port());
    auto r = client.Get("/api/v1/ranking");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200);
    const nlohmann::json all = nlohmann::json::parse(r->body);
    EXPECT_EQ(all["total"], 3);
    ASSERT_EQ(all["entries"].size(), 3u);
    EXPECT_EQ(all["entries"][0]["name"], "NEW");
    EXPECT_EQ(all["entries"][1]["name"], "OLD");
    EXPECT_EQ(all["entries"][2]["name"], "TIE");
    r = client.Get("/api/v1/ranking?start_level=15");
    ASSERT_TRUE(r);
    EXPECT_EQ(nlohmann::json::parse(r->body)["total"], 1);
    EXPECT_EQ(server.Stop(SIGTERM, 10), 0);

    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const int64_t latest = std::end(kMigrations)[-1].version;
    EXPECT_EQ(Scalar(db, "SELECT max(version) FROM schema_version"), latest);
    EXPECT_EQ(Scalar(db, "SELECT count(*) FROM schema_version"), latest) << "each step once";
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal");
    sqlite3_finalize(st);
    sqlite3_close(db);

    // Started again, nothing runs twice.
    ServerProcess again;
    ASSERT_TRUE(again.Start({"--data", dir}, &error)) << error;
    EXPECT_EQ(again.Stop(SIGTERM, 10), 0);
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(Scalar(db, "SELECT count(*) FROM schema_version"), latest);
    EXPECT_EQ(Scalar(db, "SELECT n FROM board_counts WHERE start_level = -1"), 3);
    sqlite3_close(db);
}

}  // namespace
