// Golden sessions: long scripted runs of the whole program, recorded with plusrail-sim, replayed
// and compared byte for byte (state, event log, back-buffer digests, the replays the session
// leaves). They guard refactors of the core; re-record them with scripts/record-golden.sh only
// for an intended change. A session runs as every script runs it: golden_session in
// scripts/lib/common.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One row per recorded session under tests/golden.
const char* const kSessions[] = {
    "menus",       // every menu screen, Escape at each level, a level-15 game in layout B-2
    "level0",      // level 0: chain medal, level rises, top-out, name entry, ranking
    "level15",     // level 15 to 40: level clears, time and level medals, abort combination
    "level35_50",  // instant gravity at 35 and 50, Escape in the name entry, time-out entry
    "level100",    // level 100, name entry, both rankings
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Where two files part: the first differing line of each, or "" when they are equal.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    const std::vector<std::string> e = Lines(expected), a = Lines(actual);
    size_t i = 0;
    while (i < e.size() && i < a.size() && e[i] == a[i]) ++i;
    std::ostringstream out;
    out << "first difference at line " << i + 1
        << "\n  expected: " << (i < e.size() ? e[i] : "<end of file>")
        << "\n  actual:   " << (i < a.size() ? a[i] : "<end of file>");
    if (i == e.size() && i == a.size())
        out << "\n  (the files differ only in their last line ending)";
    return out.str();
}

// Where two binary files part: the offset of the first differing byte and both bytes, or ""
// when they are equal.
std::string FirstByteDifference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    const auto parted =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const size_t at = static_cast<size_t>(parted.first - expected.begin());
    const auto byte = [](const std::string& bytes, size_t i) {
        if (i >= bytes.size()) return std::string("<end of file>");
        std::ostringstream out;
        out << "0x" << std::hex << static_cast<int>(static_cast<unsigned char>(bytes[i]));
        return out.str();
    };
    std::ostringstream out;
    out << "first difference at byte " << at << " (" << expected.size() << " bytes recorded, "
        << actual.size() << " written)\n  expected: " << byte(expected, at)
        << "\n  actual:   " << byte(actual, at);
    return out.str();
}

// The names of the .rpl files in `folder` whose names start with `prefix`, without it.
std::set<std::string> Replays(const fs::path& folder, const std::string& prefix) {
    std::set<std::string> names;
    if (!fs::is_directory(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".rpl" && name.rfind(prefix, 0) == 0)
            names.insert(name.substr(prefix.size()));
    }
    return names;
}

class GoldenTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR");
        const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
        ASSERT_NE(binaryDir, nullptr) << "PLUSRAIL_BINARY_DIR names the build directory";
        ASSERT_NE(sourceDir, nullptr) << "PLUSRAIL_SOURCE_DIR names the source directory";
        sim_ = fs::path(binaryDir) / "plusrail-sim";
        ASSERT_TRUE(fs::exists(sim_)) << sim_;
        // The recordings hold the pictures' digests and the load messages: without the
        // generated assets nothing here would compare.
        const fs::path assets = fs::path(binaryDir) / "game";
        for (const char* kind : {"bmp", "wave"})
            ASSERT_TRUE(fs::is_directory(assets / kind))
                << "the build made no " << kind << " assets in " << assets
                << "; the golden sessions need the generated pictures and sounds";
        source_ = sourceDir;
        assets_ = assets;
        golden_ = fs::path(sourceDir) / "tests" / "golden";
        // The process id keeps runs of the same session from two build trees apart.
        work_ = fs::path(testing::TempDir()) /
                (std::string("golden_test_") + GetParam() + "_" + std::to_string(getpid()));
    }
    void TearDown() override {
        if (HasFailure()) return;
        fs::remove_all(work_);
        fs::remove(work_.string() + ".err");
    }

    fs::path sim_, source_, assets_, golden_, work_;
};

TEST_P(GoldenTest, ReplayMatchesTheRecording) {
    const std::string name = GetParam();
    const fs::path script = golden_ / (name + ".script");
    ASSERT_TRUE(fs::exists(script)) << script;

    // Nothing here holds a quote: plain single quotes are enough.
    const std::string command =
        "bash -c '. \"$0/scripts/lib/common.sh\" && golden_session "
        "\"$@\"' '" +
        source_.string() + "' '" + work_.string() + "' '" + script.string() + "' '" +
        assets_.string() + "' '" + sim_.string() + "' 2>'" + work_.string() + ".err'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(work_.string() + ".err");

    for (const char* kind : {"state.json", "events.txt", "digests.txt"}) {
        const fs::path expected = golden_ / (name + "." + kind);
        ASSERT_TRUE(fs::exists(expected)) << expected;
        const std::string difference = FirstDifference(ReadFile(expected), ReadFile(work_ / kind));
        if (!difference.empty())
            ADD_FAILURE() << name << "." << kind
                          << " differs from the recording (the replay is left in " << work_
                          << "); re-record with scripts/record-golden.sh only for an "
                          << "intended change\n"
                          << difference;
    }
    // The replays the session wrote are the recorded ones, no more and no fewer.
    const fs::path written = work_ / "game" / "replays";
    EXPECT_EQ(Replays(written, ""), Replays(golden_, name + "."));
    for (const std::string& replay : Replays(written, "")) {
        const fs::path expected = golden_ / (name + "." + replay);
        if (!fs::exists(expected)) continue;  // the sets above differ already
        const std::string difference =
            FirstByteDifference(ReadFile(expected), ReadFile(written / replay));
        if (!difference.empty())
            ADD_FAILURE() << name << " wrote replays/" << replay << " otherwise than recorded in "
                          << expected.filename() << " (the replay is left in " << work_ << ")\n"
                          << difference;
    }
}

// Started without a sound device, a session plays exactly as recorded: the same state, log
// (each sound asked for, with the answer it had), pictures and replays; and nothing reaches
// the sound device, which is never opened.
TEST_P(GoldenTest, SilentReplayMatchesTheRecordingAndReachesNoDevice) {
    const std::string name = GetParam();
    const fs::path script = golden_ / (name + ".script");
    ASSERT_TRUE(fs::exists(script)) << script;
    const std::string command =
        "bash -c '. \"$0/scripts/lib/common.sh\" && golden_session \"$@\" "
        "&& golden_compare \"$0/tests/golden\" \"$(basename \"$2\" .script)\" \"$1\"' '" +
        source_.string() + "' '" + work_.string() + "' '" + script.string() + "' '" +
        assets_.string() + "' '" + sim_.string() + "' --no-sound --audio audio.txt 2>'" +
        work_.string() + ".err'";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(work_.string() + ".err");
    EXPECT_NE(ReadFile(work_ / "events.txt").find(" play "), std::string::npos)
        << "the session asks for sounds";
    EXPECT_EQ(ReadFile(work_ / "audio.txt"), "opens 0\nbuffers 0\nfills 0\nstarts 0\n");
}

// A recording left out of the table would never be replayed.
TEST(GoldenTableTest, EveryRecordedScriptIsInTheTable) {
    const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr) << "PLUSRAIL_SOURCE_DIR names the source directory";
    std::vector<std::string> recorded, listed(std::begin(kSessions), std::end(kSessions));
    for (const auto& entry : fs::directory_iterator(fs::path(sourceDir) / "tests" / "golden"))
        if (entry.path().extension() == ".script") recorded.push_back(entry.path().stem().string());
    std::sort(recorded.begin(), recorded.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(recorded, listed);
}

INSTANTIATE_TEST_SUITE_P(Sessions, GoldenTest, testing::ValuesIn(kSessions),
                         [](const testing::TestParamInfo<const char*>& session) {
                             return std::string(session.param);
                         });

}  // namespace
