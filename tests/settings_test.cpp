// The settings and ranking files: what reaches the disk, byte for byte, and what a start-up
// makes of files that are missing, short, long, foreign or in the way.
#include <gtest/gtest.h>
#include <unistd.h>
// Runs as another user need the POSIX process and user calls; Windows builds leave them out.
#ifndef _WIN32
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
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

// The names in the working directory, sorted, each followed by a space.
std::string Listing() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += name + " ";
    return out;
}

std::string DebugLines() {
    std::string out;
    for (const std::string& line : HeadlessRecorded().debugLines) out += line;
    return out;
}

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

// A file that cannot be written keeps its old contents whole and says so; the others are
// written all the same, and no temporary file is left behind.
TEST_F(SettingsTest, FilesInTheWayAreSkipped) {
    LoadSettings();
    NormalRanking.entries[0].score = 31337;
    const Bytes before = Saved("rank_n.dat");
    fs::remove("config.dat");
    fs::create_directories("config.dat/inside");    // the rename cannot replace it
    HeadlessFailFileSync(HeadlessFileSyncs() + 2);  // rank_n.dat's: the disk is full
    NormalRanking.entries[0].score = 1;
    ExpertRanking.entries[0].score = 2;
    EXPECT_EQ(Saved("rank_n.dat"), before);
    EXPECT_EQ(g_saved, "rank_e.dat ");
    EXPECT_EQ(ReadFile("rank_e.dat")[12], 2);
    EXPECT_TRUE(fs::is_directory("config.dat/inside"));
    EXPECT_EQ(Listing(), "config.dat rank_e.dat rank_n.dat ");
    EXPECT_EQ(DebugLines(),
              "DAT[config.dat]の保存に失敗しました。\n"
              "DAT[rank_n.dat]の保存に失敗しました。\n");

    // The next save, with room on the disk, goes through.
    EXPECT_NE(Saved("rank_n.dat"), before);
    EXPECT_EQ(g_saved, "rank_n.dat rank_e.dat ");
}

// Each save's temporary file is its own: another instance's, beside it, is neither used nor
// removed, and a name taken already only costs that file's save.
TEST_F(SettingsTest, TemporaryFilesAreThisProcesssOwn) {
    LoadSettings();
    WriteFile("rank_n.dat.tmp", "old");
    WriteFile("rank_n.dat.tmp.77.2", "other instance");
    HeadlessSetProcessId(78);
    Saved("config.dat");
    EXPECT_EQ(g_saved, "config.dat rank_n.dat rank_e.dat ");
    EXPECT_EQ(ReadFile("rank_n.dat"), DefaultFile(false));
    EXPECT_EQ(ReadFile("rank_n.dat.tmp"), "old");
    EXPECT_EQ(ReadFile("rank_n.dat.tmp.77.2"), "other instance");
    EXPECT_EQ(Listing(), "config.dat rank_e.dat rank_n.dat rank_n.dat.tmp rank_n.dat.tmp.77.2 ");
    EXPECT_EQ(HeadlessFileSyncs(), 3);
    EXPECT_EQ(DebugLines(), "");
}

// A file that is there but cannot be read is not taken for missing: the defaults are used for
// the run, and the save leaves the file alone instead of writing them over it.
TEST_F(SettingsTest, UnreadableFilesAreNeverSavedOver) {
    fs::create_directory("config.dat");  // opens, but nothing can be read from it
    const Bytes mine = Words({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    WriteFile("rank_n.dat", mine);
    LoadSettings();
    EXPECT_EQ(Settings.fpsDisplay, 1);
    EXPECT_EQ(NormalRanking.entries[0].score, 4);
    Saved("rank_n.dat");
    EXPECT_EQ(g_saved, "rank_n.dat rank_e.dat ");
    EXPECT_TRUE(fs::is_directory("config.dat"));
    EXPECT_EQ(DebugLines(), "DAT[config.dat]を読み込めなかったので保存しません。\n");
}

#ifndef _WIN32
namespace {

// Runs `body` in a child process as a user that may read the work directory but not write to
// it (nobody, when the test runs as root; otherwise the directory is made read-only, which an
// unprivileged owner cannot write past). What the child finds wrong comes back as text.
std::string AsReader(void (*body)(std::string* faults)) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child < 0) return "no fork";
    if (child == 0) {
        close(pipeFds[0]);
        std::string faults;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 ||
                               setuid(65534) != 0 || geteuid() == 0))
            faults = "could not become nobody";
        else
            body(&faults);
        const ssize_t ignored = write(pipeFds[1], faults.data(), faults.size());
        (void)ignored;
        _exit(0);
    }
    close(pipeFds[1]);
    std::string faults;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        faults.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) faults += " child failed";
    return faults;
}

void Check(std::string* faults, bool holds, const char* what) {
    if (!holds) *faults += std::string(what) + "; ";
}

}  // namespace

// The player's files, readable but not writable (another owner, a read-only medium): their
// contents are loaded, and the save that cannot replace them leaves them as they were.
TEST_F(SettingsTest, ReadOnlyFilesAreLoadedAndKept) {
    WriteFile("config.dat", Words({7, 0, 0, 0, 0}));
    WriteFile("rank_n.dat", Words({1, 2, 3, 999}));
    WriteFile("rank_e.dat", Words({4, 5, 6, 888}));
    for (const char* name : {"config.dat", "rank_n.dat", "rank_e.dat"})
        fs::permissions(name,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(".", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string faults = AsReader([](std::string* f) {
        FreshProcess();
        LoadSettings();
        Check(f, Settings.keyConfig == 7 && Settings.fpsDisplay == 0, "config.dat not read");
        Check(f, NormalRanking.entries[0].score == 999, "rank_n.dat not read");
        Check(f, ExpertRanking.entries[0].score == 888, "rank_e.dat not read");
        Settings.fpsDisplay = 1;
        SaveSettings();
        const auto& lines = HeadlessRecorded().debugLines;
        Check(f, lines.size() == 3 && lines[1] == "DAT[rank_n.dat]の保存に失敗しました。\n",
              "no debug line for each file");
    });
    fs::permissions(".", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(faults, "");
    EXPECT_EQ(ReadFile("config.dat"), Words({7, 0, 0, 0, 0}));
    EXPECT_EQ(ReadFile("rank_n.dat"), Words({1, 2, 3, 999}));
    EXPECT_EQ(ReadFile("rank_e.dat"), Words({4, 5, 6, 888}));
    EXPECT_EQ(Listing(), "config.dat rank_e.dat rank_n.dat ");
}

// A ranking file the player may not read at all, in a directory open to all: the run has the
// defaults, and the save writes the other files but not that one.
TEST_F(SettingsTest, FilesThatCannotBeOpenedAreKept) {
    WriteFile("rank_n.dat", Words({1, 2, 3, 999}));
    fs::permissions("rank_n.dat", fs::perms::none);
    fs::permissions(".", fs::perms::all);
    const std::string faults = AsReader([](std::string* f) {
        FreshProcess();
        LoadSettings();
        Check(f, NormalRanking.entries[0].score == 1000000, "not the defaults");
        SaveSettings();
        const auto& lines = HeadlessRecorded().debugLines;
        Check(f,
              lines.size() == 1 &&
                  lines[0] == "DAT[rank_n.dat]を読み込めなかったので保存しません。\n",
              "no debug line for the skipped file");
    });
    fs::permissions("rank_n.dat", fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(faults, "");
    EXPECT_EQ(ReadFile("rank_n.dat"), Words({1, 2, 3, 999}));
    EXPECT_EQ(ReadFile("config.dat"), Words({0, 1, 1, 1, 1}));
    EXPECT_EQ(ReadFile("rank_e.dat"), DefaultFile(true));
}

// A save cut short (the program killed between writing its temporary file and renaming it)
// leaves that file behind. The next start removes every such file of a process that has ended,
// beside the data files and among the replays, and leaves those of a process that runs
// (another instance saving now) and everything that is not one of ours.
TEST_F(SettingsTest, TemporaryFilesOfEndedRunsGoAtTheNextStart) {
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const pid_t running = fork();
    if (running == 0) {
        for (;;) pause();
    }
    ASSERT_GT(running, 0);
    const std::string gone = std::to_string(ended), live = std::to_string(running);

    fs::create_directory("replays");
    for (const std::string& name : std::vector<std::string>{
             "config.dat.tmp." + gone + ".1", "rank_e.dat.tmp." + gone + ".17",
             "rank_n.dat.tmp." + live + ".1", "replays/last.rpl.tmp." + gone + ".2",
             "replays/rank_n_9.rpl.tmp." + gone + ".1", "replays/rank_n_0.rpl.tmp." + live + ".3",
             // Not ours: other names, other forms.
             "notes.txt.tmp." + gone + ".1", "config.dat.tmp." + gone, "config.dat.tmp.x.1",
             "config.dat.tmp." + gone + ".1x", "replays/rank_n_10.rpl.tmp." + gone + ".1"})
        WriteFile(name.c_str(), "torn");
    fs::create_directory("rank_n.dat.tmp." + gone + ".4");
    LoadSettings();
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);

    EXPECT_EQ(Listing(), "config.dat.tmp." + gone + " config.dat.tmp." + gone +
                             ".1x config.dat.tmp.x.1 notes.txt.tmp." + gone + ".1 rank_n.dat.tmp." +
                             gone + ".4 rank_n.dat.tmp." + live + ".1 replays ");
    std::vector<std::string> replays;
    for (const auto& entry : fs::directory_iterator("replays"))
        replays.push_back(entry.path().filename().string());
    std::sort(replays.begin(), replays.end());
    EXPECT_EQ(replays, (std::vector<std::string>{"rank_n_0.rpl.tmp." + live + ".3",
                                                 "rank_n_10.rpl.tmp." + gone + ".1"}));
    EXPECT_EQ(DebugLines(), "");
}

// A FIFO (or any file that is not a plain one) in a data file's place is a file that cannot be
// read: the start goes on at once with the defaults, and the save leaves it where it is.
TEST_F(SettingsTest, AFifoInPlaceOfADataFileIsNotWaitedOn) {
    ASSERT_EQ(mkfifo("config.dat", 0600), 0);
    ASSERT_EQ(mkfifo("rank_e.dat", 0600), 0);
    fs::create_directory("replays");
    ASSERT_EQ(mkfifo("replays/rank_n_0.rpl", 0600), 0);
    alarm(10);  // a hang guard: an open that waits for a writer would never return
    LoadSettings();
    alarm(0);
    EXPECT_EQ(Settings.keyConfig, 0);
    EXPECT_EQ(Settings.fpsDisplay, 1);
    EXPECT_EQ(ExpertRanking.entries[0].score, 500);
    SaveSettings();
    EXPECT_TRUE(fs::is_fifo("config.dat"));
    EXPECT_TRUE(fs::is_fifo("rank_e.dat"));
    EXPECT_TRUE(fs::is_fifo("replays/rank_n_0.rpl"));
    EXPECT_EQ(ReadFile("rank_n.dat"), DefaultFile(false));
    EXPECT_EQ(DebugLines(),
              "DAT[config.dat]を読み込めなかったので保存しません。\n"
              "DAT[rank_e.dat]を読み込めなかったので保存しません。\n");
}
#endif  // _WIN32
