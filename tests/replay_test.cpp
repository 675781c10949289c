// Replays end to end: games played through plusrail-sim from the title leave replays that
// `plusrail-sim --replay FILE --verify` accepts, the top ten's replay files move with the
// table, and the program's replay mode shows and sounds the game as it was played.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "frame/bmp_reader.h"
#include "rules/replay_file.h"
#include "support/sim_work.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGameStartFrame = 331;  // the mode select's last frame starts the game

// A picture in the display's 5-6-5 colours: a simulator's shot, or a font sheet as the display
// loads it (each channel cut to its bits).
struct Picture {
    int width = 0, height = 0;
    std::vector<uint16_t> pixels;
    uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture ReadPicture(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    DecodedPicture decoded;
    Picture picture;
    if (!DecodeBmpFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &decoded))
        return picture;
    picture.width = decoded.width;
    picture.height = decoded.height;
    for (uint32_t rgb : decoded.pixels)
        picture.pixels.push_back(static_cast<uint16_t>(
            ((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F)));
    return picture;
}

struct Area {
    int left, top, right, bottom;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The corner the replay's mark belongs in: below the score panel, left of the time.
constexpr Area kMarkCorner{0, 400, 200, 480};
constexpr int kSmallGlyph = 16;  // the small fonts' cells, 16 a row from the space

// Whether the picture shows `text` in the small font `sheet` with its top-left corner at
// (x, y): every inked pixel of its glyphs (all but the sheet's colour key) in the glyph's colour.
bool ShowsTextAt(const Picture& shot, const Picture& sheet, const std::string& text, int x, int y) {
    const uint16_t key = sheet.At(0, 0);
    int inked = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int cell = text[i] - ' ';
        const int sheetX = cell % 16 * kSmallGlyph, sheetY = cell / 16 * kSmallGlyph;
        for (int dy = 0; dy < kSmallGlyph; ++dy) {
            for (int dx = 0; dx < kSmallGlyph; ++dx) {
                const uint16_t ink = sheet.At(sheetX + dx, sheetY + dy);
                if (ink == key) continue;
                const int at = x + static_cast<int>(i) * kSmallGlyph + dx;
                if (at < 0 || at >= shot.width || y + dy >= shot.height) return false;
                if (shot.At(at, y + dy) != ink) return false;
                ++inked;
            }
        }
    }
    return inked > 0;
}

// Where the picture shows `text` whole within `area`, or {-1, -1}.
std::pair<int, int> FindText(const Picture& shot, const Picture& sheet, const std::string& text,
                             const Area& area) {
    const int width = static_cast<int>(text.size()) * kSmallGlyph;
    for (int y = area.top; y + kSmallGlyph <= area.bottom; ++y)
        for (int x = area.left; x + width <= area.right; ++x)
            if (ShowsTextAt(shot, sheet, text, x, y)) return {x, y};
    return {-1, -1};
}

void WriteWords(const fs::path& path, const std::vector<int32_t>& words) {
    std::string bytes;
    for (int32_t w : words)
        for (int b = 0; b < 4; ++b) bytes += static_cast<char>(static_cast<uint32_t>(w) >> (8 * b));
    std::ofstream(path, std::ios::binary) << bytes;
}

// GAME START, then NORMAL MODE confirmed with `held` down (the start level's buttons).
std::string FromTitle(const std::vector<std::string>& held) {
    std::string s = "245 Z down\n247 Z up\n";
    for (const std::string& key : held) s += "291 " + key + " down\n";
    s += "291 Z down\n294 Z up\n";
    for (const std::string& key : held) s += "294 " + key + " up\n";
    return s;
}

ReplayInfo Info(const std::string& bytes) {
    ReplayInfo info{};
    const ReplayStatus status =
        ReadReplay(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &info);
    EXPECT_EQ(status, ReplayStatus::Ok) << ReplayStatusText(status);
    return info;
}

class ReplayTest : public SimWork {
protected:
    void SetUp() override {
        SimWork::SetUp();
        const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
        ASSERT_NE(sourceDir, nullptr) << "PLUSRAIL_SOURCE_DIR names the source directory";
        golden_ = fs::path(sourceDir) / "tests" / "golden";
    }
    // The program from its start on a script; state.json and events.txt as the run left them.
    void Play(const std::string& script, int frames, std::vector<std::string> more = {}) {
        const SimRun run = RunScript(script, frames, more);
        ASSERT_EQ(run.status, 0) << run.errors;
    }
    SimRun Verify(const std::string& file) { return Run({"--replay", file, "--verify"}); }
    std::string Replay(const std::string& name) {
        return ReadFile(work_ / "game" / "replays" / name);
    }
    // The frame of the first scene change at or after `from` whose scene passes `match`, or -1.
    template <typename Match>
    int FirstScene(int from, Match match) {
        std::istringstream in(ReadFile(work_ / "events.txt"));
        for (std::string line; std::getline(in, line);) {
            int frame = 0;
            char what[16] = {};
            int value = 0;
            if (std::sscanf(line.c_str(), "%d %15s %d", &frame, what, &value) == 3 &&
                std::string(what) == "scene" && frame >= from && match(value))
                return frame;
        }
        return -1;
    }
    int SceneFrame(int id, int from = 0) {
        return FirstScene(from, [id](int scene) { return scene == id; });
    }
    // The game's hand-over: the first scene change after `from`.
    int SceneLeft(int from) {
        return FirstScene(from + 1, [](int) { return true; });
    }
    // The sounds of events.txt in [from, to), with their frames moved back by `from`.
    std::vector<std::string> Sounds(int from, int to) {
        std::vector<std::string> kept;
        std::istringstream in(ReadFile(work_ / "events.txt"));
        for (std::string line; std::getline(in, line);) {
            const int frame = std::atoi(line.c_str());
            const std::string rest = line.substr(line.find(' ') + 1);
            if (frame >= from && frame < to &&
                (rest.rfind("play", 0) == 0 || rest.rfind("stop", 0) == 0))
                kept.push_back(std::to_string(frame - from) + " " + rest);
        }
        return kept;
    }

    fs::path golden_;
};

// The recorded result is the game's own, at every start level; the game tops out into the
// title (its score reaches no rank of the built-in table).
TEST_F(ReplayTest, GamesAtEveryStartLevelAreRecordedAndVerify) {
    struct Row {
        int level;
        std::vector<std::string> held;
    };
    const Row rows[] = {{0, {}}, {15, {"W"}}, {35, {"W", "E"}}, {70, {"R"}}, {100, {"Q", "R"}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.level);
        fs::remove_all(work_ / "game" / "replays");
        // Taps left and right and turns, so the games are not all alike.
        std::string script = FromTitle(row.held);
        for (int f = 400; f < 3000; f += 37)
            script += std::to_string(f) + (f % 2 ? " LEFT" : " X") + " down\n" +
                      std::to_string(f + 2) + (f % 2 ? " LEFT" : " X") + " up\n";
        Play(script, 12000);
        const int start = SceneFrame(101), end = SceneLeft(start);
        ASSERT_EQ(start, kGameStartFrame);
        ASSERT_GT(end, start) << "the game did not end within the run";

        const ReplayInfo info = Info(Replay("last.rpl"));
        EXPECT_EQ(info.startLevel, row.level);
        EXPECT_EQ(info.keyConfig, 0);
        EXPECT_EQ(info.result.end, ReplayEndGameOver);
        EXPECT_EQ(info.result.updates, static_cast<uint32_t>(end - start));
        const nlohmann::json game = State()["Game"];
        EXPECT_EQ(info.result.score, game["score"]);
        EXPECT_EQ(info.result.lines, game["lines"]);
        EXPECT_EQ(info.result.level, game["level"]);
        EXPECT_EQ(info.result.elapsedMs, game["elapsedMs"]);
        for (int m = 0; m < kReplayMedals; ++m) EXPECT_EQ(info.result.medals[m], game["medals"][m]);

        const SimRun verify = Verify("game/replays/last.rpl");
        EXPECT_EQ(verify.status, 0) << verify.errors;
        EXPECT_NE(verify.out.find("reaches its recorded result"), std::string::npos) << verify.out;
        EXPECT_FALSE(fs::exists(work_ / "game" / "replays" / "rank_n_0.rpl"));
    }
}

TEST_F(ReplayTest, TheAbortCombinationAndEscapeEndTheReplayWhereTheyEndTheGame) {
    Play(FromTitle({}) + "1000 RIGHT down\n1000 Z down\n1000 Q down\n1000 R down\n", 1100);
    ReplayInfo info = Info(Replay("last.rpl"));
    EXPECT_EQ(info.result.end, ReplayEndAbort);
    EXPECT_EQ(info.result.updates,
              static_cast<uint32_t>(SceneFrame(0, kGameStartFrame) - kGameStartFrame));
    SimRun verify = Verify("game/replays/last.rpl");
    EXPECT_EQ(verify.status, 0) << verify.errors;

    Play(FromTitle({"W"}) + "1200 ESCAPE down\n1202 ESCAPE up\n", 1300);
    info = Info(Replay("last.rpl"));
    EXPECT_EQ(info.result.end, ReplayEndLeft);
    EXPECT_EQ(info.startLevel, 15);
    // Escape comes between frames: the frame that shows the title runs no game update.
    EXPECT_EQ(info.result.updates,
              static_cast<uint32_t>(SceneFrame(0, kGameStartFrame) - kGameStartFrame - 1));
    verify = Verify("game/replays/last.rpl");
    EXPECT_EQ(verify.status, 0) << verify.errors;
}

// The replay plays with its own key layout, whatever the verifying player's is.
TEST_F(ReplayTest, TheReplaysOwnKeyLayoutIsUsed) {
    WriteWords(work_ / "game" / "config.dat", {4, 1, 1, 1, 1});  // B-1: KEY 5 is INSTANT FALL
    std::string script = FromTitle({});
    for (int f = 450; f < 3000; f += 60)
        script += std::to_string(f) + " W down\n" + std::to_string(f + 2) + " W up\n";
    Play(script, 3500);
    const std::string bytes = Replay("last.rpl");
    EXPECT_EQ(Info(bytes).keyConfig, 4);
    SimRun verify = Verify("game/replays/last.rpl");
    EXPECT_EQ(verify.status, 0) << verify.errors;

    // The same buttons under layout A-1, where KEY 5 does nothing, make another game.
    std::string a1 = bytes;
    a1[20] = 0;
    const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(a1.data()), a1.size() - 4);
    for (int b = 0; b < 4; ++b) a1[a1.size() - 4 + b] = static_cast<char>(crc >> (8 * b));
    std::ofstream(work_ / "a1.rpl", std::ios::binary) << a1;
    verify = Verify("a1.rpl");
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.errors.find("differs: recorded"), std::string::npos) << verify.errors;
}

TEST_F(ReplayTest, DamagedAndForeignFilesAreRefusedWithAMessage) {
    Play(FromTitle({}) + "600 RIGHT down\n600 Z down\n600 Q down\n600 R down\n", 700);
    const std::string good = Replay("last.rpl");
    struct Row {
        const char* name;
        std::string bytes;
        const char* message;
    };
    std::string rules = good;
    rules[6] = static_cast<char>(kReplayRulesVersion - 1);
    const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(rules.data()), rules.size() - 4);
    for (int b = 0; b < 4; ++b) rules[rules.size() - 4 + b] = static_cast<char>(crc >> (8 * b));
    std::string flipped = good;
    flipped[60] ^= 4;
    const Row rows[] = {
        {"rules.rpl", rules, "other rules"},
        {"flipped.rpl", flipped, "CRC"},
        {"cut.rpl", good.substr(0, good.size() - 1), "cut short"},
        {"header.rpl", good.substr(0, 50), "cut short"},
        {"text.rpl", "# frames 100\n", "not a replay"},
    };
    for (const Row& row : rows) {
        std::ofstream(work_ / row.name, std::ios::binary) << row.bytes;
        const SimRun verify = Verify(row.name);
        EXPECT_EQ(verify.status, 1) << row.name;
        EXPECT_NE(verify.errors.find(row.message), std::string::npos)
            << row.name << ": " << verify.errors;
        // Nor does the replay mode open the window on it.
        const SimRun watch = Run({"--dir", "game", "--replay", row.name, "--state", "watch.json"});
        EXPECT_EQ(watch.status, 1) << row.name;
        EXPECT_FALSE(fs::exists(work_ / "watch.json")) << row.name;
    }
    EXPECT_EQ(Verify("missing.rpl").status, 1);
}

// A game into the name entry takes the top ten's replay of its rank; a later, better game
// moves it one down, in step with rank_n.dat.
TEST_F(ReplayTest, RankReplayFilesMoveWithTheTable) {
    // A table any game beats: the first game takes rank 0.
    std::vector<int32_t> table;
    for (int k = 0; k < 10; ++k) {
        const std::vector<int32_t> entry{1, 1, 1, -1 - k, 0, 0, 0, 0, 0, 0, 0};
        table.insert(table.end(), entry.begin(), entry.end());
    }
    WriteWords(work_ / "game" / "rank_n.dat", table);
    // No buttons: a top-out; the name entry's time runs out; Escape from the ranking to the
    // title, then on the title to save and end.
    Play(FromTitle({}) + "6000 ESCAPE down\n6002 ESCAPE up\n6100 ESCAPE down\n6102 ESCAPE up\n",
         7000);
    ASSERT_GT(SceneFrame(151), 0) << "no name entry";
    ASSERT_EQ(State()["ended"], true);
    const std::string first = Replay("last.rpl");
    EXPECT_EQ(Replay("rank_n_0.rpl"), first);
    EXPECT_FALSE(fs::exists(work_ / "game" / "replays" / "rank_n_1.rpl"));

    // The level-0 golden session's game (329300 points) ranks above it.
    const fs::path script = golden_ / "level0.script";
    std::ofstream(work_ / "input.txt") << ReadFile(script);
    const SimRun run = Run({"--dir", "game", "--frames", "3176", "--input", "input.txt", "--state",
                            "state.json", "--events", "events.txt"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string second = Replay("last.rpl");
    EXPECT_EQ(Info(second).result.score, 329300);
    EXPECT_EQ(Replay("rank_n_0.rpl"), second);
    EXPECT_EQ(Replay("rank_n_1.rpl"), first);
    EXPECT_FALSE(fs::exists(work_ / "game" / "replays" / "rank_n_2.rpl"));
    EXPECT_EQ(fs::file_size(work_ / "game" / "rank_n.dat"), 440u);
    for (const char* name : {"rank_n_0.rpl", "rank_n_1.rpl"}) {
        const SimRun verify = Verify(std::string("game/replays/") + name);
        EXPECT_EQ(verify.status, 0) << name << ": " << verify.errors;
    }
    // No temporary file is left beside them.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(work_ / "game" / "replays")) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".rpl") << entry.path();
    }
    EXPECT_EQ(files, 3);
}

// The replay mode shows the same pictures and plays the same sounds at the same updates as
// the game did, ends by itself after the result and writes no file.
TEST_F(ReplayTest, WatchingShowsAndSoundsTheGameAsItWasPlayed) {
    if (!haveAssets_) GTEST_SKIP() << "the pictures were not generated";
    // The frame-rate display shows the machine's pace, not the game: off in both.
    WriteWords(work_ / "game" / "config.dat", {0, 0, 1, 1, 1});
    std::string script = FromTitle({});
    for (int f = 420; f < 3000; f += 23)
        script += std::to_string(f) + (f % 3 ? " RIGHT" : " C") + " down\n" +
                  std::to_string(f + 3) + (f % 3 ? " RIGHT" : " C") + " up\n";
    const std::vector<int> at{1, 50, 400, 1500, 2500};
    std::vector<std::string> shots;
    for (int f : at)
        shots.insert(shots.end(), {"--shot", std::to_string(kGameStartFrame + f) + ":play" +
                                                 std::to_string(f) + ".bmp"});
    Play(script, 12000, shots);
    const int end = SceneLeft(kGameStartFrame);
    ASSERT_GT(end, kGameStartFrame + 2500);
    const std::vector<std::string> played = Sounds(kGameStartFrame, end);
    ASSERT_FALSE(played.empty());
    fs::copy_file(work_ / "game" / "replays" / "last.rpl", work_ / "game.rpl");
    const std::string config = ReadFile(work_ / "game" / "config.dat");

    shots.clear();
    for (int f : at)
        shots.insert(shots.end(),
                     {"--shot", std::to_string(f) + ":watch" + std::to_string(f) + ".bmp"});
    std::ofstream(work_ / "input.txt") << "";
    std::vector<std::string> args{"--dir", "game",    "--replay",   "game.rpl", "--frames",
                                  "12000", "--state", "state.json", "--events", "events.txt"};
    args.insert(args.end(), shots.begin(), shots.end());
    const SimRun watch = Run(args);
    ASSERT_EQ(watch.status, 0) << watch.errors;
    // The same pictures, but for the red REPLAY in the corner the game leaves free, which the
    // game itself never shows.
    const Picture red = ReadPicture(work_ / "game" / "bmp" / "font_1" / "font_1r.bmp");
    ASSERT_GT(red.width, 0);
    for (int f : at) {
        SCOPED_TRACE("frame " + std::to_string(f) + " of the game");
        const Picture watchedShot = ReadPicture(work_ / ("watch" + std::to_string(f) + ".bmp"));
        const Picture playedShot = ReadPicture(work_ / ("play" + std::to_string(f) + ".bmp"));
        ASSERT_EQ(watchedShot.pixels.size(), 640u * 480u);
        ASSERT_EQ(playedShot.pixels.size(), watchedShot.pixels.size());
        int differ = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                differ += !kMarkCorner.Holds(x, y) && watchedShot.At(x, y) != playedShot.At(x, y);
        EXPECT_EQ(differ, 0) << "pixels outside the mark's corner";
        EXPECT_NE(FindText(watchedShot, red, "REPLAY", kMarkCorner).first, -1);
        EXPECT_EQ(FindText(playedShot, red, "REPLAY", kMarkCorner).first, -1);
    }
    const int updates = end - kGameStartFrame;
    EXPECT_EQ(Sounds(0, updates), played);
    // It ends by itself after the recorded result's few seconds, and touched no data file.
    EXPECT_EQ(State()["ended"], true);
    EXPECT_GT(State()["frames"].get<int>(), updates + 60);
    EXPECT_LT(State()["frames"].get<int>(), updates + 600);
    EXPECT_EQ(ReadFile(work_ / "game" / "config.dat"), config);
    for (const char* name : {"rank_n.dat", "rank_e.dat"})
        EXPECT_FALSE(fs::exists(work_ / "game" / name));
    EXPECT_EQ(ReadFile(work_ / "game" / "replays" / "last.rpl"), ReadFile(work_ / "game.rpl"));
}

// KEY 1 held plays four updates a frame, KEY 3 one every second frame; Escape stops at once.
TEST_F(ReplayTest, WatchingSpeedsAndEscape) {
    Play(FromTitle({"Q", "R"}), 1500);  // a level-100 game tops out quickly
    const ReplayInfo info = Info(Replay("last.rpl"));
    const int updates = static_cast<int>(info.result.updates);
    ASSERT_GT(updates, 200);
    fs::copy_file(work_ / "game" / "replays" / "last.rpl", work_ / "game.rpl");
    auto watchFrames = [&](const std::string& script) {
        std::ofstream(work_ / "input.txt") << script;
        const SimRun watch = Run({"--dir", "game", "--replay", "game.rpl", "--frames", "12000",
                                  "--input", "input.txt", "--state", "state.json"});
        EXPECT_EQ(watch.status, 0) << watch.errors;
        EXPECT_EQ(State()["ended"], true);
        return State()["frames"].get<int>();
    };
    const int normal = watchFrames("");
    const int fast = watchFrames("1 Z down\n");
    const int slow = watchFrames("1 X down\n");
    const int result = normal - updates;  // the frames that show the result
    EXPECT_NEAR(fast - result, updates / 4, 2);
    EXPECT_NEAR(slow - result, updates * 2, 2);
    EXPECT_EQ(watchFrames("100 ESCAPE down\n"), 100);
}

// The speed the player holds shows beside the mark, in yellow, only while it is held: KEY 1
// (Z) four times, KEY 3 (X) half, both together four times.
TEST_F(ReplayTest, WatchingShowsTheSpeedHeld) {
    if (!haveAssets_) GTEST_SKIP() << "the pictures were not generated";
    fs::copy_file(golden_ / "level15.last.rpl", work_ / "game.rpl");
    std::ofstream(work_ / "input.txt") << "100 Z down\n140 Z up\n200 X down\n260 Z down\n"
                                          "280 Z up\n300 X up\n";
    struct Row {
        int frame;
        const char* speed;  // "": none
    };
    const Row rows[] = {{60, ""},    {120, "x4"},   {230, "x1/2"},
                        {270, "x4"}, {290, "x1/2"}, {330, ""}};
    std::vector<std::string> args{"--dir",    "game", "--replay", "game.rpl",
                                  "--frames", "340",  "--input",  "input.txt"};
    for (const Row& row : rows)
        args.insert(args.end(), {"--shot", std::to_string(row.frame) + ":watch" +
                                               std::to_string(row.frame) + ".bmp"});
    const SimRun watch = Run(args);
    ASSERT_EQ(watch.status, 0) << watch.errors;

    const Picture red = ReadPicture(work_ / "game" / "bmp" / "font_1" / "font_1r.bmp");
    const Picture yellow = ReadPicture(work_ / "game" / "bmp" / "font_1" / "font_1y.bmp");
    ASSERT_GT(red.width, 0);
    ASSERT_GT(yellow.width, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE("frame " + std::to_string(row.frame));
        const Picture shot = ReadPicture(work_ / ("watch" + std::to_string(row.frame) + ".bmp"));
        const auto [x, y] = FindText(shot, red, "REPLAY", kMarkCorner);
        ASSERT_NE(x, -1) << "no REPLAY in the corner";
        // The speed stands on the mark's line, after it.
        const Area after{x + 6 * kSmallGlyph, y, kMarkCorner.right, y + kSmallGlyph};
        for (const char* speed : {"x4", "x1/2"}) {
            const bool shown = FindText(shot, yellow, speed, after).first != -1;
            EXPECT_EQ(shown, std::string(speed) == row.speed) << speed;
        }
    }
}

}  // namespace
