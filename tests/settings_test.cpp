// The settings and ranking files: what reaches the disk, byte for byte, and what a start-up
// makes of files that are missing, short, long, foreign or in the way.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "support/fresh.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// Each test runs in a directory of its own, the program's working directory.
class DataFiles : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        static std::atomic<int> counter{0};
        dir_ = fs::path(testing::TempDir()) /
               ("plusrail_settings_" + std::to_string(counter++) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        oldDir_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(oldDir_);
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
    fs::path oldDir_;
};

void AppendWord(Bytes& bytes, int32_t value) {
    uint32_t word = static_cast<uint32_t>(value);
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(word >> (8 * b)));
}

Bytes Words(std::initializer_list<int32_t> values) {
    Bytes bytes;
    for (int32_t v : values) AppendWord(bytes, v);
    return bytes;
}

void WriteFile(const char* name, const Bytes& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// NameLetters of a ranking name: A..Z are 1..26, the digits 1..9 are 27..35.
int32_t Letter(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 1 : c - '1' + 27; }

struct ExpectedEntry {
    const char* name;
    int32_t score;
    int32_t second;
};

// The first-start tables as a player sees them on the ranking screen.
ExpectedEntry NormalDefault(int rank) {
    static const char* names[] = {"QTV", "LBR", "ZNF", "PWD", "GYL",
                                  "VHQ", "DXR", "FJB", "YPM", "252"};
    int k = 11 - rank;
    return {names[rank - 1], k * k * 10000, k * k * k};
}

ExpectedEntry ExpertDefault(int rank) {
    static const char* names[] = {"R58", "417", "HVK", "WQL", "BZF",
                                  "GXN", "PLY", "TVD", "SFQ", "736"};
    return {names[rank - 1], 50 * (11 - rank), 300000 - 15000 * (rank - 1)};
}

Bytes DefaultFileBytes(ExpectedEntry (*table)(int)) {
    Bytes bytes;
    for (int rank = 1; rank <= 10; ++rank) {
        ExpectedEntry e = table(rank);
        for (int c = 0; c < 3; ++c) AppendWord(bytes, Letter(e.name[c]));
        AppendWord(bytes, e.score);
        AppendWord(bytes, e.second);
        for (int m = 0; m < 6; ++m) AppendWord(bytes, 0);
    }
    return bytes;
}

void ExpectEntry(const RankingEntry& entry, const ExpectedEntry& expected, int rank) {
    SCOPED_TRACE(testing::Message() << "rank " << rank << " " << expected.name);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(entry.name[c], Letter(expected.name[c]));
    EXPECT_EQ(entry.score, expected.score);
    EXPECT_EQ(entry.lines, expected.second);
    for (int m = 0; m < kMedalKinds; ++m) EXPECT_EQ(entry.medals[m], 0);
}

void ExpectDefaultTable(const RankingTable& table, ExpectedEntry (*expected)(int)) {
    for (int rank = 1; rank <= 10; ++rank) ExpectEntry(table.entries[rank - 1], expected(rank), rank);
}

void ExpectSettings(int32_t key, int32_t fps, int32_t vram, int32_t shadow, int32_t erase) {
    EXPECT_EQ(Settings.keyConfig, key);
    EXPECT_EQ(Settings.fpsDisplay, fps);
    EXPECT_EQ(Settings.useVram, vram);
    EXPECT_EQ(Settings.showLineShadow, shadow);
    EXPECT_EQ(Settings.eraseProperty, erase);
}

std::vector<std::string> g_saved;
void RecordSave(const char* name) { g_saved.emplace_back(name); }

// True when the process may update a read-only file anyway (it runs as root).
bool CanUpdate(const char* path) {
    std::FILE* file = std::fopen(path, "r+b");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// True when a file can be created here even though the folder is read-only.
bool CanCreate(const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    std::fclose(file);
    std::remove(path);
    return true;
}

}  // namespace

TEST_F(DataFiles, FirstStartHasDefaultsAndQuittingWritesAllThreeFiles) {
    LoadSettings();
    ExpectSettings(0, 1, 1, 1, 1);
    ExpectDefaultTable(NormalRanking, NormalDefault);
    ExpectDefaultTable(ExpertRanking, ExpertDefault);

    g_saved.clear();
    SetSaveTrace(RecordSave);
    SaveSettings();
    EXPECT_EQ(g_saved, (std::vector<std::string>{"config.dat", "rank_n.dat", "rank_e.dat"}));
    EXPECT_EQ(ReadFile("config.dat"), Words({0, 1, 1, 1, 1}));
    Bytes normal = ReadFile("rank_n.dat");
    Bytes expert = ReadFile("rank_e.dat");
    EXPECT_EQ(normal.size(), 440u);
    EXPECT_EQ(expert.size(), 440u);
    EXPECT_EQ(normal, DefaultFileBytes(NormalDefault));
    EXPECT_EQ(expert, DefaultFileBytes(ExpertDefault));
    // Nothing but the three files is left beside them.
    int files = 0;
    for (const auto& item : fs::directory_iterator(".")) files += item.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 3);
}

TEST_F(DataFiles, WordsAreLittleEndianWhateverTheirSign) {
    LoadSettings();
    Settings.keyConfig = 20;
    Settings.fpsDisplay = -2;
    NormalRanking.entries[9].score = 0x01020304;
    NormalRanking.entries[9].medals[5] = 3;
    SaveSettings();
    EXPECT_EQ(ReadFile("config.dat"), (Bytes{20, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0,
                                            1, 0, 0, 0, 1, 0, 0, 0}));
    Bytes normal = ReadFile("rank_n.dat");
    ASSERT_EQ(normal.size(), 440u);
    EXPECT_EQ(Bytes(normal.begin() + 9 * 44 + 12, normal.begin() + 9 * 44 + 16),
              (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(Bytes(normal.begin() + 436, normal.end()), (Bytes{3, 0, 0, 0}));
}

TEST_F(DataFiles, EverythingSavedComesBackAtTheNextStart) {
    LoadSettings();
    Settings = SettingsRecord{17, 0, 0, 1, 0};
    for (int i = 0; i < kRankingEntries; ++i) {
        RankingEntry& n = NormalRanking.entries[i];
        n = RankingEntry{{i, 41 - i, 99}, 123456789 - i, -i, {0, 1, 2, 3, i % 4, 7}};
        ExpertRanking.entries[i].lines = INT32_MIN + i;
    }
    const RankingTable normal = NormalRanking;
    const RankingTable expert = ExpertRanking;
    SaveSettings();

    FreshProcess();
    LoadSettings();
    ExpectSettings(17, 0, 0, 1, 0);
    for (int i = 0; i < kRankingEntries; ++i) {
        SCOPED_TRACE(i);
        const RankingEntry& got = NormalRanking.entries[i];
        const RankingEntry& want = normal.entries[i];
        for (int c = 0; c < 3; ++c) EXPECT_EQ(got.name[c], want.name[c]);
        EXPECT_EQ(got.score, want.score);
        EXPECT_EQ(got.lines, want.lines);
        for (int m = 0; m < kMedalKinds; ++m) EXPECT_EQ(got.medals[m], want.medals[m]);
        EXPECT_EQ(ExpertRanking.entries[i].lines, expert.entries[i].lines);
        EXPECT_EQ(ExpertRanking.entries[i].score, expert.entries[i].score);
    }
}

TEST_F(DataFiles, ShortFilesKeepTheDefaultsForTheWordsTheyLack) {
    // Two words and a half: the half word is not a value.
    Bytes config = Words({3, 0});
    config.push_back(9);
    config.push_back(9);
    WriteFile("config.dat", config);
    // One entry of the normal table; the words after it must not come from config.dat.
    WriteFile("rank_n.dat", Words({1, 2, 3, 555, 66, 1, 2, 3, 0, 1, 2}));
    LoadSettings();
    ExpectSettings(3, 0, 1, 1, 1);
    const RankingEntry& first = NormalRanking.entries[0];
    EXPECT_EQ(first.name[0], 1);
    EXPECT_EQ(first.name[1], 2);
    EXPECT_EQ(first.name[2], 3);
    EXPECT_EQ(first.score, 555);
    EXPECT_EQ(first.lines, 66);
    const int32_t medals[kMedalKinds] = {1, 2, 3, 0, 1, 2};
    for (int m = 0; m < kMedalKinds; ++m) EXPECT_EQ(first.medals[m], medals[m]);
    for (int rank = 2; rank <= 10; ++rank)
        ExpectEntry(NormalRanking.entries[rank - 1], NormalDefault(rank), rank);
    ExpectDefaultTable(ExpertRanking, ExpertDefault);
}

TEST_F(DataFiles, EmptyFilesGiveTheDefaults) {
    WriteFile("config.dat", {});
    WriteFile("rank_n.dat", {});
    WriteFile("rank_e.dat", {});
    LoadSettings();
    ExpectSettings(0, 1, 1, 1, 1);
    ExpectDefaultTable(NormalRanking, NormalDefault);
    ExpectDefaultTable(ExpertRanking, ExpertDefault);
}

TEST_F(DataFiles, LongerFilesAreReadOnlyUpToTheirSize) {
    WriteFile("config.dat", Words({5, 0, 0, 0, 0, 77, 88}));
    Bytes normal = DefaultFileBytes(NormalDefault);
    normal[12] = 0x2A;  // rank 1 score 1000000 -> low byte changed
    Bytes tail = Words({1, 2, 3, 4});
    normal.insert(normal.end(), tail.begin(), tail.end());
    WriteFile("rank_n.dat", normal);
    LoadSettings();
    ExpectSettings(5, 0, 0, 0, 0);
    EXPECT_EQ(NormalRanking.entries[0].score, (1000000 & ~0xFF) | 0x2A);
    SaveSettings();
    EXPECT_EQ(ReadFile("config.dat").size(), 20u);
    EXPECT_EQ(ReadFile("rank_n.dat").size(), 440u);
}

TEST_F(DataFiles, OnlyTheKeyConfigNumberIsKeptInRange) {
    struct Case {
        int32_t stored;
        int32_t loaded;
    } cases[] = {{0, 0}, {20, 20}, {21, 0}, {99, 0}, {-1, 0}, {INT32_MIN, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteFile("config.dat", Words({c.stored, 7, -3, 0, 2}));
        LoadSettings();
        ExpectSettings(c.loaded, 7, -3, 0, 2);
    }
}

TEST_F(DataFiles, DeletingOneRankingFileRestoresOnlyItsDefaults) {
    LoadSettings();
    NormalRanking.entries[0].score = 5;
    ExpertRanking.entries[0].score = 6;
    SaveSettings();
    fs::remove("rank_e.dat");
    FreshProcess();
    LoadSettings();
    EXPECT_EQ(NormalRanking.entries[0].score, 5);
    ExpectDefaultTable(ExpertRanking, ExpertDefault);
}

TEST_F(DataFiles, AFileThatCannotBeOpenedGivesTheDefaults) {
    fs::create_directory("config.dat");
    fs::create_directory("rank_n.dat");
    LoadSettings();
    ExpectSettings(0, 1, 1, 1, 1);
    ExpectDefaultTable(NormalRanking, NormalDefault);
}

TEST_F(DataFiles, AReadOnlyFileGivesTheDefaults) {
    WriteFile("config.dat", Words({4, 0, 0, 0, 0}));
    fs::permissions("config.dat", fs::perms::owner_read | fs::perms::group_read);
    if (CanUpdate("config.dat")) GTEST_SKIP() << "running with permissions ignored";
    LoadSettings();
    ExpectSettings(0, 1, 1, 1, 1);
}

TEST_F(DataFiles, AFileInTheWayIsSkippedAndTheOthersAreWritten) {
    LoadSettings();
    NormalRanking.entries[0].score = 42;
    fs::create_directory("rank_n.dat");
    g_saved.clear();
    SetSaveTrace(RecordSave);
    SaveSettings();
    EXPECT_EQ(g_saved, (std::vector<std::string>{"config.dat", "rank_e.dat"}));
    EXPECT_TRUE(fs::is_directory("rank_n.dat"));
    EXPECT_EQ(ReadFile("config.dat").size(), 20u);
    EXPECT_EQ(ReadFile("rank_e.dat"), DefaultFileBytes(ExpertDefault));
    EXPECT_FALSE(fs::exists("rank_n.dat.tmp"));
}

TEST_F(DataFiles, AnUnwritableFolderKeepsTheOldFilesWhole) {
    LoadSettings();
    SaveSettings();
    const Bytes before = ReadFile("rank_n.dat");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (CanCreate("probe.tmp")) GTEST_SKIP() << "running with permissions ignored";
    NormalRanking.entries[0].score = 1;
    g_saved.clear();
    SetSaveTrace(RecordSave);
    SaveSettings();
    EXPECT_TRUE(g_saved.empty());
    EXPECT_EQ(ReadFile("rank_n.dat"), before);
}

TEST_F(DataFiles, ASaveThatCannotBeFinishedLeavesTheOldFileAsItWas) {
    LoadSettings();
    NormalRanking.entries[0].score = 31337;
    SaveSettings();
    const Bytes before = ReadFile("rank_n.dat");
    // Something in the way of the new copy: the old table must survive untouched.
    fs::create_directory("rank_n.dat.tmp");
    NormalRanking.entries[0].score = 1;
    ExpertRanking.entries[0].score = 2;
    g_saved.clear();
    SetSaveTrace(RecordSave);
    SaveSettings();
    EXPECT_EQ(g_saved, (std::vector<std::string>{"config.dat", "rank_e.dat"}));
    EXPECT_EQ(ReadFile("rank_n.dat"), before);
    FreshProcess();
    LoadSettings();
    EXPECT_EQ(NormalRanking.entries[0].score, 31337);
    EXPECT_EQ(ExpertRanking.entries[0].score, 2);
}
