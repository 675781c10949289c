// The simulator as later tests use it: the built plusrail-sim run on scripts in a fresh
// working directory, its event log, state file and pictures read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct SimResult {
    int status = -1;
    std::string errors;   // what it wrote to stderr
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Quoted(const std::string& word) {
    std::string q = "'";
    for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A directory name of the running test's own; parameterised names carry a '/'.
std::string UniqueName(const char* prefix) {
    std::string name = prefix;
    for (char c : std::string(testing::UnitTest::GetInstance()->current_test_info()->name()))
        name += c == '/' ? '_' : c;
    return name;
}

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR");
        ASSERT_NE(binaryDir, nullptr) << "PLUSRAIL_BINARY_DIR names the build directory";
        sim_ = fs::path(binaryDir) / "plusrail-sim";
        ASSERT_TRUE(fs::exists(sim_)) << sim_;
        work_ = fs::path(testing::TempDir()) / UniqueName("sim_test_");
        fs::remove_all(work_);
        fs::create_directories(work_ / "game");
        // The generated pictures and sounds, when the build made them.
        assets_ = fs::path(binaryDir) / "game";
        haveAssets_ = fs::exists(assets_ / "bmp") && fs::exists(assets_ / "wave");
        if (haveAssets_) {
            fs::create_directory_symlink(assets_ / "bmp", work_ / "game" / "bmp");
            fs::create_directory_symlink(assets_ / "wave", work_ / "game" / "wave");
        }
    }
    void TearDown() override { fs::remove_all(work_); }

    // Runs the simulator from the work directory; paths in args are relative to it.
    SimResult Run(const std::vector<std::string>& args) {
        std::string command = "cd " + Quoted(work_.string()) + " && " + Quoted(sim_.string());
        for (const std::string& a : args) command += " " + Quoted(a);
        command += " >out.txt 2>err.txt; echo $? >status.txt";
        EXPECT_EQ(std::system(command.c_str()), 0);
        SimResult r;
        r.status = std::stoi(ReadFile(work_ / "status.txt"));
        r.errors = ReadFile(work_ / "err.txt");
        return r;
    }
    SimResult RunScript(const std::string& script, int frames, std::vector<std::string> more = {}) {
        std::ofstream(work_ / "input.txt") << script;
        std::vector<std::string> args{"--dir",    "game",      "--frames", std::to_string(frames),
                                      "--input",  "input.txt", "--state",  "state.json",
                                      "--events", "events.txt"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    }
    nlohmann::json State() { return nlohmann::json::parse(ReadFile(work_ / "state.json")); }
    // The log without the debug lines, which depend on which assets exist.
    std::vector<std::string> Events() {
        std::vector<std::string> kept;
        for (const std::string& line : Lines(ReadFile(work_ / "events.txt")))
            if (line.find(" debug ") == std::string::npos) kept.push_back(line);
        return kept;
    }

    fs::path sim_, work_, assets_;
    bool haveAssets_ = false;
};

TEST_F(SimTest, CreditsLastUntilTheTitleIsEnteredInCall219) {
    const SimResult r = RunScript("", 240);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(Events(), (std::vector<std::string>{"0 scene -1", "219 scene 0"}));
    const nlohmann::json s = State();
    EXPECT_EQ(s["frames"], 240);
    EXPECT_EQ(s["ended"], false);
    EXPECT_EQ(s["SceneId"], 0);
    EXPECT_EQ(s["SceneFrame"], 240 - 219);
    // Time moves only by the frame's sleeps: 100 ms per six frames.
    EXPECT_EQ(s["clockMs"], 4000);
    EXPECT_EQ(s["Settings"]["useVram"], 1);
    EXPECT_EQ(s["NormalRanking"].size(), 10u);
    EXPECT_EQ(s["XLineGrid"].size(), 9u);
    EXPECT_EQ(s["XLineGrid"][0].size(), 16u);
    EXPECT_EQ(s["Game"]["sequence"].size(), 1000u);
}

TEST_F(SimTest, EscapeOnTheTitleWritesTheThreeFilesAndEnds) {
    const SimResult r = RunScript("# leave from the title\n230 ESCAPE down\n232 ESCAPE up\n", 600);
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::vector<std::string> events = Events();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[2], "230 save config.dat");
    EXPECT_EQ(events[3], "230 save rank_n.dat");
    EXPECT_EQ(events[4], "230 save rank_e.dat");
    const nlohmann::json s = State();
    EXPECT_EQ(s["ended"], true);
    EXPECT_EQ(s["frames"], 230);
    EXPECT_EQ(fs::file_size(work_ / "game" / "config.dat"), 20u);
    EXPECT_EQ(fs::file_size(work_ / "game" / "rank_n.dat"), 440u);
    EXPECT_EQ(fs::file_size(work_ / "game" / "rank_e.dat"), 440u);
}

TEST_F(SimTest, CloseCommandOnTheTitleEndsLikeEscape) {
    ASSERT_EQ(RunScript("225 close\n", 600).status, 0);
    EXPECT_EQ(State()["ended"], true);
    EXPECT_EQ(State()["frames"], 225);
    EXPECT_TRUE(fs::exists(work_ / "game" / "config.dat"));
}

TEST_F(SimTest, KeysAndJoystickReachTheTitleMenu) {
    // The title takes buttons once its 20 entry frames are over.
    ASSERT_EQ(RunScript("245 DOWN down\n247 DOWN up\n", 260).status, 0);
    EXPECT_EQ(State()["MenuCursor"], 1);
    ASSERT_EQ(Events().size(), 3u);
    EXPECT_EQ(Events()[2].rfind("245 play 11 0 ", 0), 0u) << Events()[2];

    ASSERT_EQ(RunScript("245 JOY_DOWN down\n247 JOY_DOWN up\n250 JOY_DOWN down\n", 260).status, 0);
    EXPECT_EQ(State()["MenuCursor"], 2);
}

TEST_F(SimTest, KeyWithAltHeldIsNoQuitKey) {
    ASSERT_EQ(RunScript("230 ALT down\n231 ESCAPE down\n232 ESCAPE up\n233 ALT up\n", 240).status,
              0);
    EXPECT_EQ(State()["ended"], false);
    EXPECT_FALSE(fs::exists(work_ / "game" / "config.dat"));
}

TEST_F(SimTest, SameArgumentsGiveTheSameRun) {
    const std::string script =
        "100 deactivate\n150 activate\n245 DOWN down\n246 DOWN up\n250 VK90 down\n251 VK90 up\n";
    ASSERT_EQ(RunScript(script, 400, {"--clock-start", "1000"}).status, 0);
    const std::string state = ReadFile(work_ / "state.json");
    const std::string events = ReadFile(work_ / "events.txt");
    ASSERT_EQ(RunScript(script, 400, {"--clock-start", "1000"}).status, 0);
    EXPECT_EQ(ReadFile(work_ / "state.json"), state);
    EXPECT_EQ(ReadFile(work_ / "events.txt"), events);
    // No frame runs while the window is inactive: the activation follows at once.
    EXPECT_EQ(State()["frames"], 400);
    EXPECT_EQ(State()["clockMs"], 66 * 100 + 4 * 16);
}

TEST_F(SimTest, ShotIsTheBackBufferAsA24BitBmp) {
    ASSERT_EQ(RunScript("", 120, {"--shot", "100:credits.bmp"}).status, 0);
    const std::string bmp = ReadFile(work_ / "credits.bmp");
    ASSERT_EQ(bmp.size(), 54u + 640 * 480 * 3);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<uint8_t>(bmp[28]), 24);
    auto lit = [&](int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 640 * 3; ++x)
                if (bmp[54 + (479 - y) * 640 * 3 + x] != 0) ++count;
        return count;
    };
    EXPECT_EQ(lit(0, 100), 0);   // nothing above the credits
    if (haveAssets_) {
        EXPECT_GT(lit(144, 160), 0) << "\"CREATED BY\" in row 9";
    }
}

struct BadCall {
    std::vector<std::string> args;
    const char* says;   // part of the one line on stderr
};

void PrintTo(const BadCall& call, std::ostream* os) {
    *os << "plusrail-sim";
    for (const std::string& a : call.args) *os << " " << a;
}

class SimBadArguments : public SimTest, public testing::WithParamInterface<BadCall> {};

TEST_P(SimBadArguments, ExitWithStatusTwoAndOneLine) {
    std::ofstream(work_ / "bad.txt") << "10 ESCAPE down\n11 JUMP up\n";
    const SimResult r = Run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Lines(r.errors).size(), 1u) << r.errors;
    EXPECT_NE(r.errors.find(GetParam().says), std::string::npos) << r.errors;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, SimBadArguments,
    testing::Values(BadCall{{}, "--dir"}, BadCall{{"--dir"}, "needs a value"},
                    BadCall{{"--dir", "game", "--frames", "ten"}, "--frames"},
                    BadCall{{"--dir", "game", "--frames", "-1"}, "--frames"},
                    BadCall{{"--dir", "game", "--speed", "2"}, "unknown option"},
                    BadCall{{"--dir", "game", "--shot", "picture.bmp"}, "--shot"},
                    BadCall{{"--dir", "no-such-dir"}, "no-such-dir"},
                    BadCall{{"--dir", "game", "--input", "missing.txt"}, "missing.txt"},
                    BadCall{{"--dir", "game", "--input", "bad.txt"}, "bad.txt:2:"}));

}   // namespace

// A whole session as a player has it: credits, title, a game that earns the top place, the
// name entry, the ranking, back to the title and quit; the new record is on disk.
TEST_F(SimTest, ScriptedSessionPutsANewRecordOnDisk) {
    // A modest table, so that a short game of speedy falls takes the top place.
    std::string table;
    for (int rank = 0; rank < 10; ++rank) {
        const int32_t entry[11] = {2, 3, 4, 500 - 50 * rank, 10 - rank, 0, 0, 0, 0, 0, 0};
        for (int32_t word : entry)
            for (int b = 0; b < 4; ++b) table += static_cast<char>((word >> (8 * b)) & 0xFF);
    }
    std::ofstream(work_ / "game" / "rank_n.dat", std::ios::binary) << table;

    const std::string script =
        "245 Z down\n247 Z up\n"            // GAME START
        "290 Z down\n292 Z up\n"            // NORMAL MODE
        "440 DOWN down\n810 DOWN up\n"      // speedy falls until the stack tops out
        "1010 Z down\n1012 Z up\n1020 Z down\n1022 Z up\n1030 Z down\n1032 Z up\n"  // "AAA"
        "2000 ESCAPE down\n2002 ESCAPE up\n";  // quit from the title
    ASSERT_EQ(RunScript(script, 3000).status, 0);

    std::vector<std::string> scenes;
    for (const std::string& e : Events())
        if (e.find(" scene ") != std::string::npos || e.find(" save ") != std::string::npos)
            scenes.push_back(e.substr(e.find(' ') + 1));
    EXPECT_EQ(scenes, (std::vector<std::string>{"scene -1", "scene 0", "scene 1", "scene 101",
                                                "scene 151", "scene 211", "scene 0",
                                                "save config.dat", "save rank_n.dat",
                                                "save rank_e.dat"}));
    const nlohmann::json s = State();
    ASSERT_EQ(s["ended"], true);
    const int32_t score = s["Game"]["score"];
    ASSERT_GT(score, 500);

    const std::string saved = ReadFile(work_ / "game" / "rank_n.dat");
    ASSERT_EQ(saved.size(), 440u);
    auto word = [&](int i) {
        uint32_t w = 0;
        for (int b = 0; b < 4; ++b) w |= static_cast<uint32_t>(static_cast<uint8_t>(saved[4 * i + b])) << (8 * b);
        return static_cast<int32_t>(w);
    };
    EXPECT_EQ((std::vector<int32_t>{word(0), word(1), word(2), word(3), word(4)}),
              (std::vector<int32_t>{1, 1, 1, score, s["Game"]["lines"].get<int32_t>()}));
    // The old table moved down one place and its tenth entry is gone.
    for (int rank = 1; rank < 10; ++rank) EXPECT_EQ(word(11 * rank + 3), 500 - 50 * (rank - 1));
}
