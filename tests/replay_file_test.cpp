// The replay file and the recorder in the test process: games played through StartGame and
// GameUpdate leave replays/last.rpl; the reader refuses every damaged or foreign file; the
// top ten's replays move with the table and are saved and loaded beside rank_n.dat.
#include <gtest/gtest.h>
#include <unistd.h>
// A save as another user needs the POSIX process and user calls; Windows builds leave them out.
#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "game/game_scene.h"
#include "game/replay_record.h"
#include "hosts/headless/headless.h"
#include "input/buttons.h"
#include "input/input.h"
#include "rules/field.h"
#include "rules/replay_file.h"
#include "rules/verify.h"
#include "scenes/callbacks.h"
#include "scenes/replay_watch.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "support/fresh.h"
#include "support/work_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kRulesAt = 6, kFormatAt = 4, kScoreAt = 52, kKeyConfigAt = 20;

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The CRC written again after an edit, so that only the edited field is wrong.
void Reseal(Bytes& bytes) {
    const size_t at = bytes.size() - kReplayCrcBytes;
    const uint32_t crc = Crc32(bytes.data(), at);
    for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<uint8_t>(crc >> (8 * b));
}

ReplayStatus Read(const Bytes& bytes, ReplayInfo* info = nullptr) {
    ReplayInfo local;
    return ReadReplay(bytes.data(), bytes.size(), info ? info : &local);
}

// One game from StartGame at `startLevel`: RIGHT tapped every 7th update and KEY 2 (rotate)
// every 11th, until the game hands over, or the abort combination at update `abortAt`.
uint32_t PlayGame(int32_t startLevel, int abortAt = -1) {
    Scene.startLevel = startLevel;
    Scene.frame = 1234;
    StartGame(1);
    uint32_t updates = 0;
    while (RecordingActive() && updates < 100000) {
        ButtonLatch = ButtonLatchState{};
        ++updates;
        if (updates % 7 == 0) ButtonLatch.right = ButtonPressed;
        if (updates % 11 == 0) ButtonLatch.key[2] = ButtonPressed;
        if (static_cast<int>(updates) == abortAt) {
            ButtonLatch.right = ButtonLatch.key[1] = ButtonLatch.key[7] = ButtonLatch.key[8] =
                ButtonHeld;
        }
        Scene.frame += 1;
        GameUpdate();
    }
    return updates;
}

class ReplayFileTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        // As the program's start-up registers it: the abort combination asks it.
        SetCloseCallback(CloseCallback);
    }
    ScopedWorkDir dir_;
};

TEST_F(ReplayFileTest, AGameLeavesAReplayOfItsHeaderButtonsAndResult) {
    Settings.keyConfig = 6;
    const uint32_t updates = PlayGame(15);
    const Bytes bytes = ReadBytes("replays/last.rpl");
    ReplayInfo info;
    ASSERT_EQ(Read(bytes, &info), ReplayStatus::Ok);
    EXPECT_EQ(bytes.size(), kReplayHeaderBytes + info.frameBytes + kReplayCrcBytes);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "+RPL");
    EXPECT_EQ(info.rulesVersion, kReplayRulesVersion);
    EXPECT_EQ(info.startLevel, 15);
    EXPECT_EQ(info.keyConfig, 6);
    EXPECT_EQ(info.seed, 1234);
    EXPECT_FALSE(info.incomplete);
    EXPECT_EQ(info.result.end, ReplayEndGameOver);
    EXPECT_EQ(info.result.updates, updates);
    EXPECT_EQ(info.frames, updates);
    EXPECT_EQ(info.result.score, Game.score);
    EXPECT_EQ(info.result.lines, Game.lines);
    EXPECT_EQ(info.result.level, Game.level);
    EXPECT_EQ(info.result.elapsedMs, Game.elapsedMs);
    for (int m = 0; m < kMedals; ++m) EXPECT_EQ(info.result.medals[m], Game.medals[m]);
    // Each tap is a run of its own between runs of nothing: far fewer runs than updates.
    EXPECT_LT(info.runs, updates);
    EXPECT_GT(info.runs, updates / 7);

    // The runs give back the buttons of every update, in order.
    ReplayCursor cursor = StartCursor(bytes.data(), info);
    uint32_t packed = 0;
    for (uint32_t u = 1; u <= updates; ++u) {
        ASSERT_TRUE(NextFrame(cursor, &packed)) << u;
        int32_t s[12];
        UnpackButtons(packed, s);
        EXPECT_EQ(s[2], u % 7 == 0 ? ButtonPressed : ButtonIdle) << u;
        EXPECT_EQ(s[5], u % 11 == 0 ? ButtonPressed : ButtonIdle) << u;
    }
    EXPECT_FALSE(NextFrame(cursor, &packed));
}

TEST_F(ReplayFileTest, TheAbortCombinationEndsTheRecordingAtItsUpdate) {
    EXPECT_EQ(PlayGame(0, 400), 400u);
    ReplayInfo info;
    ASSERT_EQ(Read(ReadBytes("replays/last.rpl"), &info), ReplayStatus::Ok);
    EXPECT_EQ(info.result.end, ReplayEndAbort);
    EXPECT_EQ(info.result.updates, 400u);
    EXPECT_EQ(Scene.id, SceneTitle);
}

TEST_F(ReplayFileTest, TheReaderRefusesEveryDamagedOrForeignFile) {
    PlayGame(0, 300);
    const Bytes good = ReadBytes("replays/last.rpl");
    ASSERT_EQ(Read(good), ReplayStatus::Ok);

    Bytes b = good;
    b[0] = 'X';
    EXPECT_EQ(Read(b), ReplayStatus::NotAReplay);
    b = good;
    b[kFormatAt] = 2;
    EXPECT_EQ(Read(b), ReplayStatus::UnknownFormat);
    b = good;
    b[kScoreAt] ^= 1;  // the CRC no longer matches
    EXPECT_EQ(Read(b), ReplayStatus::BadCrc);
    b = good;
    b.push_back(0);
    EXPECT_EQ(Read(b), ReplayStatus::TrailingBytes);
    b = good;
    b[kKeyConfigAt] = 21;  // past the last layout
    Reseal(b);
    EXPECT_EQ(Read(b), ReplayStatus::Malformed);
    b = good;
    b[kReplayHeaderBytes + 3] = 0;  // the first run's length: zero
    Reseal(b);
    EXPECT_EQ(Read(b), ReplayStatus::Malformed);
    b = good;
    b[kScoreAt + 3] = 0x80;  // a negative score
    Reseal(b);
    EXPECT_EQ(Read(b), ReplayStatus::Malformed);

    // Every shorter file is refused; none is taken for a whole one.
    for (size_t size = 0; size < good.size(); ++size) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_NE(Read(cut), ReplayStatus::Ok) << size;
    }
}

TEST_F(ReplayFileTest, AReplayOfOlderRulesIsRefusedWithItsReason) {
    PlayGame(0, 300);
    Bytes b = ReadBytes("replays/last.rpl");
    b[kRulesAt] = static_cast<uint8_t>(kReplayRulesVersion - 1);
    Reseal(b);
    EXPECT_EQ(Read(b), ReplayStatus::OtherRules);
    WriteBytes("old.rpl", b);
    char message[256];
    EXPECT_EQ(VerifyReplayFile("old.rpl", message, sizeof message), ReplayVerdict::Refused);
    EXPECT_NE(std::string(message).find("other rules"), std::string::npos) << message;
}

TEST_F(ReplayFileTest, VerificationPlaysTheRulesAndNamesTheFirstDifference) {
    const uint32_t updates = PlayGame(25);
    char message[256];
    EXPECT_EQ(VerifyReplayFile("replays/last.rpl", message, sizeof message), ReplayVerdict::Same)
        << message;
    EXPECT_EQ(VerifiedResult().updates, updates);

    // The program watching it (the game scene, the recorder again) comes to the same result
    // as the rules alone.
    ReplayInfo info;
    ASSERT_EQ(ReadReplayFile("replays/last.rpl", &info), ReplayStatus::Ok);
    StartWatching(info, WatchedImage().bytes);
    while (StepWatching()) {}
    EXPECT_TRUE(WatchingOver());
    int64_t want = 0, got = 0;
    const char* field = FirstResultDifference(VerifiedResult(), WatchedResult(), &want, &got);
    EXPECT_EQ(field, nullptr) << field << ": " << want << " against " << got;
    // Watching wrote nothing: last.rpl is still the game's.
    ASSERT_EQ(Read(ReadBytes("replays/last.rpl"), &info), ReplayStatus::Ok);
    EXPECT_EQ(info.result.updates, updates);

    Bytes b = ReadBytes("replays/last.rpl");
    b[kScoreAt] ^= 1;
    Reseal(b);
    WriteBytes("tampered.rpl", b);
    EXPECT_EQ(VerifyReplayFile("tampered.rpl", message, sizeof message), ReplayVerdict::Different);
    EXPECT_NE(std::string(message).find("score differs"), std::string::npos) << message;
}

TEST_F(ReplayFileTest, AGameTooLongForTheBufferStillPlaysAndIsMarkedIncomplete) {
    Scene.startLevel = 0;
    StartGame(1);
    // A run for every update, as a button changing each frame gives: more than the buffer holds.
    const uint32_t recorded = kReplayFrameBytes / 4 + 1000;
    for (uint32_t u = 0; u < recorded; ++u) {
        ButtonLatch.key[5] = u % 2 ? ButtonPressed : ButtonReleased;
        RecordButtons();
    }
    ButtonLatch = ButtonLatchState{};
    uint32_t played = 0;
    while (RecordingActive() && played < 100000) {
        ++played;
        GameUpdate();
    }
    EXPECT_EQ(Game.phase, PhaseTopOut);  // the game went on to its own end
    ReplayInfo info;
    ASSERT_EQ(Read(ReadBytes("replays/last.rpl"), &info), ReplayStatus::Ok);
    EXPECT_TRUE(info.incomplete);
    EXPECT_EQ(info.result.updates, recorded + played);
    EXPECT_LT(info.frames, recorded);
    EXPECT_LE(info.frameBytes, kReplayFrameBytes);
    char message[256];
    EXPECT_EQ(VerifyReplayFile("replays/last.rpl", message, sizeof message),
              ReplayVerdict::Different);
    EXPECT_NE(std::string(message).find("incomplete"), std::string::npos) << message;
}

// The name entry's insertion, as CommitName makes it, for eleven games in a row: each new one
// at rank 0, the others one down, the first dropped; the files follow at the save.
TEST_F(ReplayFileTest, RankReplaysMoveDownWithTheTableAndTheTenthIsDropped) {
    LoadSettings();
    std::vector<Bytes> games;
    for (int g = 0; g < 11; ++g) {
        PlayGame(0, 200 + 10 * g);
        games.push_back(ReadBytes("replays/last.rpl"));
        RankingEntry* entries = NormalRanking.entries;
        for (int i = kRankingEntries - 1; i > 0; --i) entries[i] = entries[i - 1];
        entries[0].score = Game.score;
        entries[0].lines = Game.lines;
        for (int m = 0; m < kMedalKinds; ++m) entries[0].medals[m] = Game.medals[m];
        ASSERT_TRUE(RecordingFinished());
        InsertRankingReplay(0, RecordingFinished());
        ForgetFinishedRecording();
    }
    EXPECT_FALSE(fs::exists("replays/rank_n_0.rpl"));  // nothing is written before the save
    SaveSettings();
    for (int k = 0; k < kRankingEntries; ++k) {
        EXPECT_EQ(ReadBytes("replays/rank_n_" + std::to_string(k) + ".rpl"), games[10 - k]) << k;
        ASSERT_NE(RankingReplay(k), nullptr);
    }
    EXPECT_FALSE(fs::exists("replays/rank_n_10.rpl"));
    EXPECT_EQ(fs::file_size("rank_n.dat"), 440u);

    // The next start finds each replay with its entry.
    FreshProcess();
    LoadSettings();
    for (int k = 0; k < kRankingEntries; ++k) {
        const ReplayImage* image = RankingReplay(k);
        ASSERT_NE(image, nullptr) << k;
        EXPECT_EQ(Bytes(image->bytes, image->bytes + image->size), games[10 - k]) << k;
    }

    // An insertion further down leaves the ranks above where they were.
    PlayGame(0, 333);
    const Bytes fifth = ReadBytes("replays/last.rpl");
    InsertRankingReplay(4, RecordingFinished());
    SaveSettings();
    EXPECT_EQ(ReadBytes("replays/rank_n_3.rpl"), games[7]);
    EXPECT_EQ(ReadBytes("replays/rank_n_4.rpl"), fifth);
    EXPECT_EQ(ReadBytes("replays/rank_n_5.rpl"), games[6]);
    EXPECT_EQ(ReadBytes("replays/rank_n_9.rpl"), games[2]);
}

// A replay whose entry is not the one at its rank (the table was reset) is not that rank's:
// it is not loaded, and the next save removes its file.
TEST_F(ReplayFileTest, AReplayThatIsNotItsRanksIsDroppedAtTheNextSave) {
    LoadSettings();
    PlayGame(0, 250);
    InsertRankingReplay(2, RecordingFinished());
    SaveSettings();
    ASSERT_TRUE(fs::exists("replays/rank_n_2.rpl"));

    FreshProcess();
    LoadSettings();  // rank_n.dat holds the built-in table: no game of 0 points at rank 2
    EXPECT_EQ(RankingReplay(2), nullptr);
    SaveSettings();
    EXPECT_FALSE(fs::exists("replays/rank_n_2.rpl"));
}

TEST_F(ReplayFileTest, Crc32IsTheUsualOne) {
    const char* text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

}  // namespace

namespace {

// What the player was told, in order.
std::string DebugLines() {
    std::string out;
    for (const std::string& line : HeadlessRecorded().debugLines) out += line;
    return out;
}

std::string EnglishLines() {
    std::string out;
    for (const std::string& line : HeadlessRecorded().debugEnglish) out += line;
    return out;
}

// The names in a folder, sorted, each followed by a space; "" when it is no folder.
std::string Listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names) out += name + " ";
    return out;
}

}  // namespace

// A game's replay that cannot be written says so, with the line and the name a data file
// that cannot be saved gets, and whatever was in the way stays as it was: a full disk keeps the
// last game's file, a folder of that name stays, a `replays` that is a file or a link to
// nothing stays so. Each time the game itself goes on to its end.
TEST_F(ReplayFileTest, AReplayThatCannotBeSavedIsNamedAndNothingInTheWayIsLost) {
    PlayGame(0, 200);
    const Bytes before = ReadBytes("replays/last.rpl");
    ASSERT_FALSE(before.empty());
    const std::string failed = "DAT[replays/last.rpl]の保存に失敗しました。\n";
    const std::string english = "Could not save DAT[replays/last.rpl].\n";

    struct Case {
        const char* what;
        void (*arrange)();
        void (*check)(const Bytes& before);
    };
    const Case cases[] = {
        {"a full disk", [] { HeadlessFailFileSync(HeadlessFileSyncs() + 1); },
         [](const Bytes& old) {
             EXPECT_EQ(ReadBytes("replays/last.rpl"), old);
             EXPECT_EQ(Listing("replays"), "last.rpl ");
         }},
        {"last.rpl a folder",
         [] {
             fs::remove("replays/last.rpl");
             fs::create_directories("replays/last.rpl/inside");
         },
         [](const Bytes&) {
             EXPECT_TRUE(fs::is_directory("replays/last.rpl/inside"));
             EXPECT_EQ(Listing("replays"), "last.rpl ");
         }},
        {"replays a file",
         [] {
             fs::remove_all("replays");
             std::ofstream("replays") << "mine";
         },
         [](const Bytes&) {
             EXPECT_EQ(ReadBytes("replays"), Bytes({'m', 'i', 'n', 'e'}));
         }},
#ifndef _WIN32  // links need a privilege there
        {"replays a link to nothing",
         [] {
             fs::remove_all("replays");
             fs::create_symlink("gone", "replays");
         },
         [](const Bytes&) {
             EXPECT_TRUE(fs::is_symlink("replays"));
             EXPECT_FALSE(fs::exists("gone"));
         }},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        HeadlessClearRecord();
        PlayGame(0, 300);
        EXPECT_TRUE(RecordingFinished());
        EXPECT_EQ(DebugLines(), failed);
        EXPECT_EQ(EnglishLines(), english);
        c.check(before);
    }
}

// The top ten's replays that cannot be written are named one by one; the others are saved.
TEST_F(ReplayFileTest, ARankReplayThatCannotBeSavedIsNamed) {
    LoadSettings();
    PlayGame(0, 250);
    InsertRankingReplay(0, RecordingFinished());
    PlayGame(0, 260);
    InsertRankingReplay(0, RecordingFinished());
    fs::create_directories("replays/rank_n_1.rpl/inside");
    HeadlessClearRecord();
    SaveSettings();
    EXPECT_EQ(DebugLines(), "DAT[replays/rank_n_1.rpl]の保存に失敗しました。\n");
    EXPECT_TRUE(fs::is_directory("replays/rank_n_1.rpl/inside"));
    EXPECT_EQ(Listing("replays"), "last.rpl rank_n_0.rpl rank_n_1.rpl ");
}

#ifndef _WIN32
// A `replays` folder the player may not write to (another owner's, a read-only medium): the
// game as a user who may only read it says so, and the last game's file stays. Run as nobody
// when the suite runs as root, whom no permission stops; otherwise the folder is made read-only.
TEST_F(ReplayFileTest, AReadOnlyReplayFolderIsNamed) {
    PlayGame(0, 200);
    const Bytes before = ReadBytes("replays/last.rpl");
    fs::permissions(".", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    fs::permissions("replays", fs::perms::owner_read | fs::perms::owner_exec |
                                   fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        std::string told = "could not become nobody";
        if (geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 &&
                               setuid(65534) == 0 && geteuid() != 0)) {
            HeadlessClearRecord();
            PlayGame(0, 300);
            told = DebugLines();
        }
        const ssize_t ignored = write(pipeFds[1], told.data(), told.size());
        (void)ignored;
        _exit(0);
    }
    close(pipeFds[1]);
    std::string told;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    fs::permissions("replays", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(told, "DAT[replays/last.rpl]の保存に失敗しました。\n");
    EXPECT_EQ(ReadBytes("replays/last.rpl"), before);
    EXPECT_EQ(Listing("replays"), "last.rpl ");
}
#endif  // _WIN32
