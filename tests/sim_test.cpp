// The simulator as later tests use it: the built plusrail-sim run on scripts in a fresh
// working directory, its event log, state file and pictures read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/sim_work.h"

namespace {

namespace fs = std::filesystem;

class SimTest : public SimWork {
protected:
    // The log without the debug lines, which depend on which assets exist.
    std::vector<std::string> Events() {
        std::vector<std::string> kept;
        std::istringstream in(ReadFile(work_ / "events.txt"));
        for (std::string line; std::getline(in, line);)
            if (line.find(" debug ") == std::string::npos) kept.push_back(line);
        return kept;
    }
};

TEST_F(SimTest, CreditsLastUntilTheTitleIsEnteredInCall219) {
    ASSERT_EQ(RunScript("", 240).status, 0);
    EXPECT_EQ(Events(), (std::vector<std::string>{"0 scene -1", "219 scene 0"}));
    const nlohmann::json s = State();
    EXPECT_EQ(s["ended"], false);
    EXPECT_EQ(s["SceneFrame"], 240 - 219);
    EXPECT_EQ(s["clockMs"], 4000);  // time moves only by the frame's sleeps
}

TEST_F(SimTest, EscapeOrCloseOnTheTitleWritesTheThreeFilesAndEnds) {
    ASSERT_EQ(RunScript("230 ESCAPE down\n232 ESCAPE up\n", 600).status, 0);
    EXPECT_EQ(Events(),
              (std::vector<std::string>{"0 scene -1", "219 scene 0", "230 save config.dat",
                                        "230 save rank_n.dat", "230 save rank_e.dat"}));
    EXPECT_EQ(State()["ended"], true);
    EXPECT_EQ(State()["frames"], 230);
    for (const char* name : {"config.dat", "rank_n.dat", "rank_e.dat"})
        EXPECT_TRUE(fs::exists(work_ / "game" / name)) << name;

    ASSERT_EQ(RunScript("225 close\n", 600).status, 0);
    EXPECT_EQ(State()["ended"], true);
    EXPECT_EQ(State()["frames"], 225);
    EXPECT_EQ(Events().at(2), "225 save config.dat");
}

// A data file that cannot be saved is named in a debug line; the program still ends well.
TEST_F(SimTest, AFileThatCannotBeSavedIsNamedAndTheRunEndsWell) {
    fs::create_directories(work_ / "game" / "rank_e.dat" / "inside");
    ASSERT_EQ(RunScript("225 close\n", 600).status, 0);
    const std::string log = ReadFile(work_ / "events.txt");
    EXPECT_NE(log.find("225 debug DAT[rank_e.dat]を読み込めなかったので保存しません。"),
              std::string::npos)
        << log;
    EXPECT_EQ(State()["ended"], true);
    EXPECT_EQ(Events().at(3), "225 save rank_n.dat");
    EXPECT_EQ(Events().size(), 4u);
}

TEST_F(SimTest, KeysAndJoystickReachTheTitleMenu) {
    // The title takes buttons once its 20 entry frames are over.
    ASSERT_EQ(RunScript("245 DOWN down\n247 DOWN up\n250 JOY_DOWN down\n", 260).status, 0);
    EXPECT_EQ(State()["MenuCursor"], 2);
    EXPECT_EQ(Events().at(2).rfind("245 play 11 0 ", 0), 0u) << Events().at(2);
    EXPECT_EQ(Events().at(3).rfind("250 play 11 0 ", 0), 0u) << Events().at(3);
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
    EXPECT_EQ(State()["clockMs"], 66 * 100 + 4 * 16);
}

TEST_F(SimTest, ShotIsTheBackBufferAsA24BitBmp) {
    ASSERT_EQ(RunScript("", 120, {"--shot", "100:credits.bmp"}).status, 0);
    const std::string bmp = ReadFile(work_ / "credits.bmp");
    ASSERT_EQ(bmp.size(), 54u + 640 * 480 * 3);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<uint8_t>(bmp[28]), 24);
    // Rows run bottom-up; "CREATED BY" is text row 9.
    auto lit = [&](size_t y0, size_t y1) {
        return bmp.find_first_not_of('\0', 54 + (480 - y1) * 1920) < 54 + (480 - y0) * 1920;
    };
    EXPECT_FALSE(lit(0, 100));  // nothing above the credits
    EXPECT_TRUE(!haveAssets_ || lit(144, 160));
}

TEST_F(SimTest, BadArgumentsExitWithStatusTwoAndOneLine) {
    std::ofstream(work_ / "bad.txt") << "10 ESCAPE down\n11 JUMP up\n";
    std::ofstream(work_ / "endless.txt") << "10 close\n" << std::string(5000, '1');
    std::ofstream(work_ / "longkey.txt") << "10 " << std::string(1000, 'J') << " up\n";
    std::ofstream(work_ / "longframe.txt") << std::string(1000, '9') << "x close\n";
    const std::vector<std::pair<std::vector<std::string>, const char*>> calls = {
        {{}, "--dir"},
        {{"--dir"}, "needs a value"},
        {{"--dir", "game", "--frames", "-1"}, "--frames"},
        {{"--dir", "game", "--speed", "2"}, "unknown option"},
        {{"--dir", "game", "--shot", "picture.bmp"}, "--shot"},
        {{"--dir", "game", "--input", "bad.txt"}, "bad.txt:2:"},
        {{"--dir", "game", "--input", "endless.txt"}, "endless.txt:2: line longer than 1024"},
        {{"--dir", "game", "--input", "/dev/zero"}, "/dev/zero:1: line longer than 1024"},
        // A picture of a frame that never runs: frames are 0 .. N - 1.
        {{"--dir", "game", "--frames", "100", "--shot", "100:late.bmp"}, "--shot 100"},
        {{"--shot", "7:a.bmp", "--dir", "game", "--frames", "5"}, "--shot 7"},
    };
    for (const auto& [args, says] : calls) {
        const SimRun r = Run(args);
        EXPECT_EQ(r.status, 2) << says;
        EXPECT_EQ(r.errors.find('\n'), r.errors.size() - 1) << r.errors;
        EXPECT_NE(r.errors.find(says), std::string::npos) << r.errors;
    }
    // A long bad word is named by a short prefix, not echoed whole.
    for (const char* script : {"longkey.txt", "longframe.txt"}) {
        const SimRun r = Run({"--dir", "game", "--input", script});
        EXPECT_EQ(r.status, 2);
        EXPECT_LT(r.errors.size(), 120u) << r.errors;
        EXPECT_NE(r.errors.find(std::string(script) + ":1: "), std::string::npos) << r.errors;
    }
}

// The simulator says how it is used and which program it is, on stdout, and runs nothing.
TEST_F(SimTest, HelpAndVersionPrintOnStdoutAndEndWithStatusZero) {
    const SimRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.errors.empty()) << help.errors;
    for (const char* option :
         {"usage: plusrail-sim", "--dir DIR", "--frames N", "--no-sound", "--window",
          "--audio FILE", "--replay FILE --verify", "--version", "Exit status"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option << "\n" << help.out;
    // Wherever it stands, even before a value it would otherwise take.
    const SimRun late = Run({"--dir", "game", "--frames", "--help"});
    EXPECT_EQ(late.status, 2) << "--frames takes --help as its value and refuses it";
    EXPECT_EQ(Run({"--dir", "game", "--help"}).out, help.out);
    EXPECT_FALSE(fs::exists(work_ / "game" / "config.dat")) << "nothing ran";

    const SimRun version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.errors.empty()) << version.errors;
    EXPECT_EQ(version.out.rfind("plusrail-sim ", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("rules version 1, replay format version 1"), std::string::npos)
        << version.out;
    EXPECT_EQ(version.out.find('\n'), version.out.size() - 1) << version.out;
    // The version of a build starts with a digit, as package versions must.
    ASSERT_GT(version.out.size(), 13u);
    EXPECT_TRUE(version.out[13] >= '0' && version.out[13] <= '9') << version.out;
}

// Without a sound device the game plays as with one: the same scenes, the same sounds asked
// for with the same answers; the device itself is never opened.
TEST_F(SimTest, NoSoundPlaysTheSameRunWithNothingReachingTheDevice) {
    const std::string script = "245 DOWN down\n247 DOWN up\n255 UP down\n257 UP up\n";
    ASSERT_EQ(RunScript(script, 300, {"--audio", "audio.txt"}).status, 0);
    const std::string withSound = ReadFile(work_ / "events.txt");
    const std::string heard = ReadFile(work_ / "audio.txt");
    ASSERT_EQ(RunScript(script, 300, {"--no-sound", "--audio", "audio.txt"}).status, 0);
    EXPECT_EQ(ReadFile(work_ / "events.txt"), withSound);
    EXPECT_NE(withSound.find("245 play 11 0 1"), std::string::npos) << withSound;
    EXPECT_EQ(ReadFile(work_ / "audio.txt"), "opens 0\nbuffers 0\nfills 0\nstarts 0\n");
    if (haveAssets_) {
        EXPECT_EQ(heard, "opens 1\nbuffers 15\nfills 15\nstarts 2\n");
    }
}

// An output that cannot be written is said and fails the run, as a bad argument does; the run
// itself and the other outputs are whole.
TEST_F(SimTest, UnwritableOutputsExitWithStatusTwo) {
    const std::vector<std::string> outputs[] = {
        {"--state", "missing/state.json"},
        {"--shot", "100:missing/credits.bmp"},
    };
    for (const std::vector<std::string>& more : outputs) {
        std::vector<std::string> args{"--dir", "game", "--frames", "120", "--events", "events.txt"};
        args.insert(args.end(), more.begin(), more.end());
        const SimRun r = Run(args);
        EXPECT_EQ(r.status, 2) << more[1];
        EXPECT_NE(r.errors.find("cannot write"), std::string::npos) << r.errors;
        EXPECT_NE(r.errors.find("missing/"), std::string::npos) << r.errors;
        EXPECT_EQ(Events(), std::vector<std::string>{"0 scene -1"});
    }
}

// More messages in one frame than the window's queue holds: the rest are lost, and one line
// says how many, not one line per message.
TEST_F(SimTest, AFullMessageQueueIsReportedOnce) {
    std::string script;
    for (int i = 0; i < 5000; ++i) script += i % 2 ? "10 Z up\n" : "10 Z down\n";
    script += "20 Z down\n";
    const SimRun r = RunScript(script, 30);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.errors,
              "plusrail-sim: frame 10: the message queue holds 4096 messages, 904 dropped\n");
    EXPECT_EQ(State()["frames"], 30);
}

}  // namespace

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
        "245 Z down\n247 Z up\n"        // GAME START
        "290 Z down\n292 Z up\n"        // NORMAL MODE
        "440 DOWN down\n810 DOWN up\n"  // speedy falls until the stack tops out
        "1010 Z down\n1012 Z up\n1020 Z down\n1022 Z up\n1030 Z down\n1032 Z up\n"  // "AAA"
        "2000 ESCAPE down\n2002 ESCAPE up\n";  // quit from the title
    ASSERT_EQ(RunScript(script, 3000).status, 0);

    std::vector<std::string> scenes;
    for (const std::string& e : Events())
        if (e.find(" scene ") != std::string::npos || e.find(" save ") != std::string::npos)
            scenes.push_back(e.substr(e.find(' ') + 1));
    EXPECT_EQ(scenes, (std::vector<std::string>{
                          "scene -1", "scene 0", "scene 1", "scene 101", "scene 151", "scene 211",
                          "scene 0", "save config.dat", "save rank_n.dat", "save rank_e.dat"}));
    const nlohmann::json s = State();
    ASSERT_EQ(s["ended"], true);
    const int32_t score = s["Game"]["score"];
    ASSERT_GT(score, 500);

    const std::string saved = ReadFile(work_ / "game" / "rank_n.dat");
    ASSERT_EQ(saved.size(), 440u);
    auto word = [&](int i) {
        uint32_t w = 0;
        for (int b = 0; b < 4; ++b)
            w |= static_cast<uint32_t>(static_cast<uint8_t>(saved[4 * i + b])) << (8 * b);
        return static_cast<int32_t>(w);
    };
    EXPECT_EQ((std::vector<int32_t>{word(0), word(1), word(2), word(3), word(4)}),
              (std::vector<int32_t>{1, 1, 1, score, s["Game"]["lines"].get<int32_t>()}));
    // The old table moved down one place and its tenth entry is gone.
    for (int rank = 1; rank < 10; ++rank) EXPECT_EQ(word(11 * rank + 3), 500 - 50 * (rank - 1));
}

// With nothing but the fonts beside the program the credits show as usual, later screens
// show their texts on black, and no sound plays.
TEST_F(SimTest, FontsAloneGiveTheCreditsAndTextsOnBlackWithoutSound) {
    if (!haveAssets_) GTEST_SKIP() << "the build made no assets";
    const fs::path assets = fs::path(std::getenv("PLUSRAIL_BINARY_DIR")) / "game";
    for (const char* kind : {"bmp", "wave"}) fs::remove(work_ / "game" / kind);
    fs::create_directories(work_ / "game" / "bmp");
    for (const char* face : {"font_1", "font_2"})
        fs::create_directory_symlink(assets / "bmp" / face, work_ / "game" / "bmp" / face);

    ASSERT_EQ(RunScript("245 DOWN down\n247 DOWN up\n", 260,
                        {"--shot", "100:credits.bmp", "--shot", "250:title.bmp"})
                  .status,
              0);
    auto litIn = [&](const char* shot, int x0, int y0, int x1, int y1) {
        const std::string bmp = ReadFile(work_ / shot);
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 3; ++c) lit += bmp[54 + (479 - y) * 1920 + x * 3 + c] != 0;
        return lit;
    };
    EXPECT_GT(litIn("credits.bmp", 0, 144, 640, 160), 100);  // "CREATED BY"
    EXPECT_GT(litIn("title.bmp", 0, 96, 640, 128), 100);     // "+RAIL"
    EXPECT_EQ(litIn("title.bmp", 0, 0, 200, 90), 0);         // no background behind it
    const std::vector<std::string> events = Events();
    EXPECT_NE(std::find(events.begin(), events.end(), "245 play 11 0 0"), events.end());
}
