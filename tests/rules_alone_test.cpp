// The rules and the replay format linked alone, as a ranking server links them: the replays
// the golden sessions leave (recorded by the program, each with its result) verify with the
// rules alone, a replay altered in any way a cheat might try is caught, and a verification
// allocates nothing. This suite links plusrail_rules whole and nothing else of the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "rules/field.h"
#include "rules/replay_file.h"
#include "rules/verify.h"

long RulesAloneAllocations();  // rules_alone_allocations.cpp

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Every replay the golden sessions leave, recorded beside them.
std::vector<fs::path> GoldenReplays() {
    const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
    std::vector<fs::path> found;
    if (!sourceDir) return found;
    for (const auto& entry : fs::directory_iterator(fs::path(sourceDir) / "tests" / "golden"))
        if (entry.path().extension() == ".rpl") found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

struct Verified {
    ReplayVerdict verdict;
    std::string message;
};

Verified Verify(const std::vector<uint8_t>& bytes) {
    char message[400];
    const ReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size(), message, sizeof message);
    return Verified{verdict, message};
}

// The replay's header changed through `change` and sealed again, its CRC made right: what a
// player editing the file would hand in.
template <typename Change>
std::vector<uint8_t> Resealed(const std::vector<uint8_t>& bytes, Change change) {
    static ReplayImage image;
    std::copy(bytes.begin(), bytes.end(), image.bytes);
    ReplayInfo info;
    EXPECT_EQ(ReadReplay(bytes.data(), bytes.size(), &info), ReplayStatus::Ok);
    change(info);
    SealReplay(image, info);
    return std::vector<uint8_t>(image.bytes, image.bytes + image.size);
}

TEST(RulesAloneTest, EveryGoldenReplayReachesItsRecordedResult) {
    const std::vector<fs::path> replays = GoldenReplays();
    ASSERT_GE(replays.size(), 5u) << "PLUSRAIL_SOURCE_DIR names the sources with tests/golden";
    std::set<int32_t> ends;
    for (const fs::path& path : replays) {
        const std::vector<uint8_t> bytes = ReadBytes(path);
        ReplayInfo info;
        ASSERT_EQ(ReadReplay(bytes.data(), bytes.size(), &info), ReplayStatus::Ok) << path;
        const Verified v = Verify(bytes);
        EXPECT_EQ(v.verdict, ReplayVerdict::Same) << path << ": " << v.message;
        const ReplayResult& got = VerifiedResult();
        EXPECT_EQ(got.score, info.result.score) << path;
        EXPECT_EQ(got.updates, info.result.updates) << path;
        // The game the rules played is the one the program recorded, to its last line.
        EXPECT_EQ(Game.score, info.result.score) << path;
        EXPECT_EQ(Game.lines, info.result.lines) << path;
        ends.insert(info.result.end);
    }
    // The recordings cover a game over, the abort combination and a game left by Escape.
    EXPECT_EQ(ends, (std::set<int32_t>{ReplayEndGameOver, ReplayEndAbort, ReplayEndLeft}));
}

TEST(RulesAloneTest, AlteredReplaysAreCaught) {
    const std::vector<fs::path> replays = GoldenReplays();
    ASSERT_FALSE(replays.empty());
    for (const fs::path& path : replays) {
        const std::vector<uint8_t> bytes = ReadBytes(path);
        SCOPED_TRACE(path.string());

        // A better score claimed than the game reached.
        Verified v = Verify(Resealed(bytes, [](ReplayInfo& i) { i.result.score += 10; }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Different);
        EXPECT_NE(v.message.find("score differs: recorded"), std::string::npos) << v.message;

        // Another deal: the same buttons play out another game.
        v = Verify(Resealed(bytes, [](ReplayInfo& i) { i.seed += 1; }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Different) << v.message;

        // A medal claimed that was not won.
        v = Verify(Resealed(bytes, [](ReplayInfo& i) {
            i.result.medals[MedalChain] = i.result.medals[MedalChain] == 3 ? 2 : 3;
        }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Different);
        EXPECT_NE(v.message.find("medal chain differs"), std::string::npos) << v.message;

        // A game claimed shorter than its buttons: no game can make that, refused unplayed.
        v = Verify(Resealed(bytes, [](ReplayInfo& i) { i.result.updates /= 2; }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Refused) << v.message;

        // A game that claims to be whole after its buttons were cut.
        v = Verify(Resealed(bytes, [](ReplayInfo& i) { i.incomplete = true; }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Different);
        EXPECT_NE(v.message.find("incomplete"), std::string::npos) << v.message;

        // Made under other rules, or damaged on the way: refused unplayed.
        v = Verify(Resealed(bytes, [](ReplayInfo& i) { i.rulesVersion += 1; }));
        EXPECT_EQ(v.verdict, ReplayVerdict::Refused);
        EXPECT_NE(v.message.find("other rules"), std::string::npos) << v.message;
        std::vector<uint8_t> damaged = bytes;
        damaged[damaged.size() / 2] ^= 0x40;
        v = Verify(damaged);
        EXPECT_EQ(v.verdict, ReplayVerdict::Refused);
        EXPECT_NE(v.message.find("CRC"), std::string::npos) << v.message;
        v = Verify(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
        EXPECT_EQ(v.verdict, ReplayVerdict::Refused) << v.message;
    }
}

TEST(RulesAloneTest, AVerificationAllocatesNothing) {
    const std::vector<fs::path> replays = GoldenReplays();
    ASSERT_FALSE(replays.empty());
    const std::vector<uint8_t> bytes = ReadBytes(replays.back());
    char message[400];
    const long before = RulesAloneAllocations();
    const ReplayVerdict verdict = VerifyReplay(bytes.data(), bytes.size(), message, sizeof message);
    EXPECT_EQ(RulesAloneAllocations(), before);
    EXPECT_EQ(verdict, ReplayVerdict::Same) << message;
}

}  // namespace
