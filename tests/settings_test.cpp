// The settings and ranking files: what reaches the disk, byte for byte, and what a start-up
// makes of files that are missing, short, long, foreign or in the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "shell/settings.h"
#include "support/fresh.h"
#include "support/work_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::string;

// Little-endian words, worked out here on their own, after `head`.
Bytes Words(std::initializer_list<int32_t> values, Bytes head = {}) {
    for (int32_t v : values)
        for (int b = 0; b < 4; ++b) head += static_cast<char>(uint32_t(v) >> 8 * b);
    return head;
}

void WriteFile(const char* name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

Bytes ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The first-start tables as a player sees them on the ranking screen, entries from `rank` on.
Bytes DefaultFile(bool expert, int rank = 1, Bytes head = {}) {
    const char* names =
        expert ? "R58417HVKWQLBZFGXNPLYTVDSFQ736" : "QTVLBRZNFPWDGYLVHQDXRFJBYPM252";
    auto letter = [](char c) { return c >= 'A' ? c - 'A' + 1 : c - '1' + 27; };
    for (const char* name = names + 3 * (rank - 1); rank <= 10; ++rank, name += 3) {
        const int k = 11 - rank;
        head = Words(
            {letter(name[0]), letter(name[1]), letter(name[2]), expert ? 50 * k : k * k * 10000,
             expert ? 150000 + 15000 * k : k * k * k, 0, 0, 0, 0, 0, 0},
            head);
    }
    return head;
}

std::string g_saved;  // the files written, in order

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { FreshProcess(); }
    // The next save shows what the program holds.
    static Bytes Saved(const char* name) {
        g_saved.clear();
        SetSaveTrace([](const char* file) { g_saved += std::string(file) + " "; });
        SaveSettings();
        return ReadFile(name);
    }
    ScopedWorkDir dir_;
};

}  // namespace

TEST_F(SettingsTest, FirstSaveWritesTheDefaultsByteForByte) {
    LoadSettings();
    EXPECT_EQ(Saved("config.dat"), Words({0, 1, 1, 1, 1}));
    EXPECT_EQ(g_saved, "config.dat rank_n.dat rank_e.dat ");
    EXPECT_EQ(ReadFile("rank_n.dat"), DefaultFile(false));
    EXPECT_EQ(ReadFile("rank_e.dat"), DefaultFile(true));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 3);
}

TEST_F(SettingsTest, EverythingSavedComesBackAtTheNextStart) {
    LoadSettings();
    Settings = SettingsRecord{17, -2, 0, 1, 0};
    for (int i = 0; i < kRankingEntries; ++i) {
        NormalRanking.entries[i] = RankingEntry{{i, 41 - i, 99}, 123456789, -i, {0, 1, 2, 3, i, 7}};
        ExpertRanking.entries[i].lines = INT32_MIN + i;
    }
    const Bytes config = Saved("config.dat"), normal = ReadFile("rank_n.dat");
    const Bytes expert = ReadFile("rank_e.dat");
    EXPECT_EQ(config, Words({17, -2, 0, 1, 0}));
    // What a new start reads is what it would write back.
    FreshProcess();
    LoadSettings();
    EXPECT_EQ(Saved("config.dat"), config);
    EXPECT_EQ(ReadFile("rank_n.dat"), normal);
    EXPECT_EQ(ReadFile("rank_e.dat"), expert);
}

TEST_F(SettingsTest, ShortFilesKeepTheDefaultsForMissingWordsAndLongOnesAreCut) {
    WriteFile("config.dat", Words({3, 0}) + "\x09\x09");  // the half word is no value
    const Bytes firstEntry = Words({1, 2, 3, 555, 66, 1, 2, 3, 0, 1, 2});
    WriteFile("rank_n.dat", firstEntry);
    WriteFile("rank_e.dat", {});
    LoadSettings();
    EXPECT_EQ(Saved("config.dat"), Words({3, 0, 1, 1, 1}));
    EXPECT_EQ(ReadFile("rank_n.dat"), DefaultFile(false, 2, firstEntry));
    EXPECT_EQ(ReadFile("rank_e.dat"), DefaultFile(true));

    WriteFile("config.dat", Words({5, 0, 0, 0, 0, 77, 88}));
    WriteFile("rank_n.dat", Words({1, 2, 3, 4}, DefaultFile(true)));
    LoadSettings();
    EXPECT_EQ(Saved("config.dat"), Words({5, 0, 0, 0, 0}));
    EXPECT_EQ(ReadFile("rank_n.dat"), DefaultFile(true));
}

TEST_F(SettingsTest, OnlyTheKeyConfigNumberIsKeptInRange) {
    const int32_t cases[][2] = {{0, 0}, {20, 20}, {21, 0}, {-1, 0}, {INT32_MIN, 0}};
    for (const auto& [stored, loaded] : cases) {
        WriteFile("config.dat", Words({stored, 7, -3, 0, 2}));
        LoadSettings();
        EXPECT_EQ(Saved("config.dat"), Words({loaded, 7, -3, 0, 2})) << stored;
    }
}

// A file that cannot be written keeps its old contents whole; the others are written all the
// same.
TEST_F(SettingsTest, FilesInTheWayAreSkipped) {
    LoadSettings();
    NormalRanking.entries[0].score = 31337;
    const Bytes before = Saved("rank_n.dat");
    fs::remove("config.dat");
    fs::create_directory("config.dat");
    fs::create_directory("rank_n.dat.tmp");
    NormalRanking.entries[0].score = 1;
    ExpertRanking.entries[0].score = 2;
    EXPECT_EQ(Saved("rank_n.dat"), before);
    EXPECT_EQ(g_saved, "rank_e.dat ");
    EXPECT_EQ(ReadFile("rank_e.dat")[12], 2);
    EXPECT_TRUE(fs::is_directory("config.dat") && fs::is_directory("rank_n.dat.tmp"));
    EXPECT_FALSE(fs::exists("config.dat.tmp"));
}
