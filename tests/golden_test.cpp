// Golden sessions: long scripted runs of the whole program, recorded with plusrail-sim, replayed
// and compared byte for byte (state, event log, back-buffer digests). They guard refactors of
// the core; re-record them with scripts/record-golden.sh only for an intended change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The frame count from the script's first line, "# frames N"; 0 when it has none.
long FramesOf(const fs::path& script) {
    std::ifstream in(script);
    std::string first;
    std::getline(in, first);
    const std::string prefix = "# frames ";
    if (first.rfind(prefix, 0) != 0) return 0;
    return std::strtol(first.c_str() + prefix.size(), nullptr, 10);
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
        golden_ = fs::path(sourceDir) / "tests" / "golden";
        // The process id keeps runs of the same session from two build trees apart.
        work_ = fs::path(testing::TempDir()) /
                (std::string("golden_test_") + GetParam() + "_" + std::to_string(getpid()));
        fs::remove_all(work_);
        fs::create_directories(work_ / "game");
        for (const char* kind : {"bmp", "wave"})
            fs::create_directory_symlink(assets / kind, work_ / "game" / kind);
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(work_);
    }

    fs::path sim_, golden_, work_;
};

TEST_P(GoldenTest, ReplayMatchesTheRecording) {
    const std::string name = GetParam();
    const fs::path script = golden_ / (name + ".script");
    ASSERT_TRUE(fs::exists(script)) << script;
    const long frames = FramesOf(script);
    ASSERT_GT(frames, 0) << script << " must start with \"# frames N\"";

    // Nothing here holds a quote: plain single quotes are enough.
    const std::string command = "cd '" + work_.string() + "' && '" + sim_.string() +
                                "' --dir game --frames " + std::to_string(frames) + " --input '" +
                                script.string() +
                                "' --clock-start 0 --state state.json --events events.txt "
                                "--digests digests.txt >out.txt 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(work_ / "err.txt");

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
