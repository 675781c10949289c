// The level table, points and their ceiling, the six medals and the erase rating.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "game/erase.h"
#include "game/field.h"
#include "game/game_scene.h"
#include "game/levels.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace {

constexpr int32_t kMaxScore = 2147483647;

std::vector<uint16_t> g_played;

void RecordWave(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay) g_played.push_back(slot);
}

int CountPlays(uint16_t slot) {
    int n = 0;
    for (uint16_t s : g_played) n += s == slot ? 1 : 0;
    return n;
}

class LevelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        g_played.clear();
        SetWaveTrace(RecordWave);
    }
    void TearDown() override { SetWaveTrace(nullptr); }

    static void Step() {
        GameUpdate();
        SceneFrame += 1;
    }
    // A game at the given start level, past READY.
    static void BeginPlay(int32_t level) {
        StartLevel = level;
        StartGame(1);
        for (int k = 0; k < 100; ++k) Step();
        g_played.clear();
    }
};

// ---- The level table ----

struct LevelRowCase {
    int32_t level;
    LevelParams params;
    int32_t background;
};

const LevelRowCase kLevelRows[] = {
    {0, {60, 60, 60, 20, 5, 0}, 0},    {1, {40, 60, 60, 20, 6, 0}, 0},
    {2, {20, 60, 60, 20, 7, 0}, 0},    {3, {15, 40, 60, 20, 8, 0}, 1},
    {4, {10, 40, 60, 20, 9, 0}, 1},    {5, {8, 40, 40, 20, 10, 0}, 1},
    {6, {6, 40, 40, 20, 11, 0}, 2},    {7, {5, 40, 40, 20, 12, 0}, 2},
    {8, {4, 40, 40, 20, 13, 0}, 2},    {9, {3, 40, 40, 20, 14, 0}, 3},
    {10, {60, 40, 30, 20, 10, 0}, 4},  {11, {20, 40, 30, 20, 11, 0}, 4},
    {12, {10, 40, 30, 20, 12, 0}, 5},  {13, {5, 40, 30, 20, 13, 0}, 5},
    {14, {3, 40, 30, 20, 14, 0}, 5},   {15, {1, 40, 30, 20, 20, 0}, 6},
    {24, {1, 40, 30, 20, 20, 0}, 6},   {25, {0, 40, 30, 20, 30, 0}, 7},
    {34, {0, 40, 30, 20, 30, 0}, 7},   {35, {0, 40, 20, 20, 40, 1}, 8},
    {49, {0, 40, 20, 20, 40, 1}, 8},   {50, {0, 33, 20, 12, 60, 1}, 9},
    {69, {0, 33, 20, 12, 60, 1}, 9},   {70, {0, 27, 10, 5, 80, 1}, 10},
    {99, {0, 27, 10, 5, 80, 1}, 10},   {100, {0, 24, 5, 0, 100, 1}, 11},
    {101, {0, 24, 5, 0, 100, 1}, 11},  {5000, {0, 24, 5, 0, 100, 1}, 11},
};

TEST_F(LevelsTest, EveryLevelSetsItsRowOfTheTable) {
    for (const LevelRowCase& c : kLevelRows) {
        SCOPED_TRACE(c.level);
        Game.phase = PhaseFalling;
        ApplyLevel(c.level);
        EXPECT_EQ(Game.params.fallDelay, c.params.fallDelay);
        EXPECT_EQ(Game.params.lockDelay, c.params.lockDelay);
        EXPECT_EQ(Game.params.eraseDelay, c.params.eraseDelay);
        EXPECT_EQ(Game.params.nextDelay, c.params.nextDelay);
        EXPECT_EQ(Game.params.scoreFactor, c.params.scoreFactor);
        EXPECT_EQ(Game.params.instantGravity, c.params.instantGravity);
        EXPECT_EQ(BackgroundIndex, c.background);
    }
    EXPECT_EQ(CountPlays(WaveSlotLevelChange), static_cast<int>(std::size(kLevelRows)));
}

TEST_F(LevelsTest, GameStartAppliesTheStartLevelSilentlyAndWinsNothing) {
    for (int32_t level : {0, 15, 25, 35, 50, 70, 100}) {
        SCOPED_TRACE(level);
        FreshProcess();
        g_played.clear();
        SetWaveTrace(RecordWave);
        StartLevel = level;
        StartGame(1);
        EXPECT_EQ(Game.params.scoreFactor, LevelParamsFor(level).scoreFactor);
        EXPECT_TRUE(g_played.empty());
        for (int kind = 0; kind < kMedals; ++kind) EXPECT_EQ(Game.medals[kind], 0);
        EXPECT_EQ(Game.score, 0);
    }
    // Level 100 waits nothing between steps and pays the most.
    EXPECT_EQ(Game.params.nextDelay, 0);
    EXPECT_EQ(Game.params.scoreFactor, 100);
}

// ---- Medals ----

TEST_F(LevelsTest, AwardFlashesPaysItsBonusAndSounds) {
    struct Case {
        int32_t tier;
        int32_t bonus;
    };
    for (Case c : {Case{1, 300000}, Case{2, 700000}, Case{3, 1000000}}) {
        Game = GameState{};
        g_played.clear();
        AwardMedal(MedalStreak, c.tier);
        EXPECT_EQ(Game.medals[MedalStreak], c.tier);
        EXPECT_EQ(Game.medalFlash[MedalStreak], 60);
        EXPECT_EQ(Game.score, c.bonus);
        EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotMedal});
    }
}

struct TimeCase {
    int32_t startLevel;
    int32_t level;
    int32_t elapsedMs;
    int32_t tierBefore;
    int32_t tierAfter;
    int awards;
};

const TimeCase kTimeCases[] = {
    {0, 10, 130000, 0, 2, 2},     // 2:10 for ten levels: tiers 1 and 2 at once
    {0, 10, 120000, 0, 3, 3},
    {0, 10, 120001, 0, 2, 2},
    {0, 10, 135000, 0, 2, 2},
    {0, 10, 150000, 0, 1, 1},
    {0, 10, 150001, 0, 0, 0},
    {0, 20, 270000, 1, 2, 1},     // twenty levels in 4:30 climbs from tier 1
    {0, 20, 250000, 3, 3, 0},     // a tier once won stays
    {0, 20, 310000, 2, 2, 0},     // too slow this time, nothing lost
    {15, 25, 100000, 0, 3, 3},
    {15, 30, 1000, 0, 0, 0},      // not a multiple of ten levels from the start
    {0, 100, 1200000, 0, 3, 3},
    {0, 110, 1000, 0, 0, 0},      // beyond a hundred levels no more checks
};

TEST_F(LevelsTest, TimeMedalTiersAtEveryTenLevels) {
    for (const TimeCase& c : kTimeCases) {
        SCOPED_TRACE(::testing::Message() << c.startLevel << " -> " << c.level << " in "
                                          << c.elapsedMs);
        Game = GameState{};
        Game.phase = PhaseFalling;
        StartLevel = c.startLevel;
        Game.elapsedMs = c.elapsedMs;
        Game.medals[MedalTime] = c.tierBefore;
        g_played.clear();
        ApplyLevel(c.level);
        EXPECT_EQ(Game.medals[MedalTime], c.tierAfter);
        EXPECT_EQ(CountPlays(WaveSlotMedal), c.awards);
        const int32_t bonus[] = {0, 300000, 700000, 1000000};
        int32_t expected = 0;
        for (int t = c.tierBefore + 1; t <= c.tierAfter; ++t) expected += bonus[t];
        EXPECT_EQ(Game.score, expected);
    }
}

// Reaching level 10 by a level clear, 2:10 into a game started at 0.
TEST_F(LevelsTest, TimeMedalThroughTheLevelClearAtTwoMinutesTen) {
    BeginPlay(0);
    Game.level = 9;
    Game.params = LevelParamsFor(9);
    Game.levelLines = 41;
    Game.phase = PhaseNext;
    Game.nextTimer = 0;
    // 61 play frames pass before the wipe raises the level.
    Game.elapsedMs = 130000 - 17 * 61;
    Step();
    ASSERT_EQ(Game.phase, PhaseLevelClear);
    int frames = 0;
    while (Game.phase == PhaseLevelClear && frames < 100) {
        Step();
        ++frames;
    }
    EXPECT_EQ(frames, 61);
    EXPECT_EQ(Game.elapsedMs, 130000 + 17);
    ASSERT_EQ(Game.level, 10);
    EXPECT_EQ(Game.medals[MedalTime], 2);
    EXPECT_EQ(Game.score, 1000000);
    EXPECT_EQ(CountPlays(WaveSlotMedal), 2);
    EXPECT_EQ(CountPlays(WaveSlotLevelChange), 1);
}

TEST_F(LevelsTest, LevelMedalCountsFromTheStartLevel) {
    struct Case {
        int32_t level;
        int32_t tier;
    };
    StartLevel = 50;
    Game.phase = PhaseFalling;
    Game.elapsedMs = 2000000000;   // far too slow for any time medal
    for (Case c : {Case{60, 0}, Case{74, 0}, Case{75, 1}, Case{76, 1}, Case{85, 2},
                   Case{99, 2}, Case{100, 3}, Case{125, 3}}) {
        SCOPED_TRACE(c.level);
        ApplyLevel(c.level);
        EXPECT_EQ(Game.medals[MedalLevel], c.tier);
    }
    EXPECT_EQ(Game.score, 300000 + 700000 + 1000000);
}

struct CascadeCase {
    int kind;
    int32_t measure;
    int32_t tierBefore;
    int32_t tierAfter;
};

const CascadeCase kCascades[] = {
    {MedalLines, 79, 0, 0},  {MedalLines, 80, 0, 1},   {MedalLines, 95, 0, 2},
    {MedalLines, 100, 0, 3}, {MedalLines, 90, 2, 2},   {MedalLines, 172, 3, 3},
    {MedalChain, 1, 0, 0},   {MedalChain, 2, 0, 1},    {MedalChain, 3, 0, 2},
    {MedalChain, 4, 0, 3},   {MedalChain, 3, 1, 2},    {MedalChain, 2, 2, 2},
    {MedalStreak, 2, 0, 0},  {MedalStreak, 3, 0, 1},   {MedalStreak, 5, 0, 2},
    {MedalStreak, 6, 1, 2},  {MedalStreak, 7, 0, 3},   {MedalStreak, 40, 3, 3},
};

TEST_F(LevelsTest, LinesChainAndStreakMedalsClimbTierByTier) {
    for (const CascadeCase& c : kCascades) {
        SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " measure " << c.measure
                                          << " from tier " << c.tierBefore);
        Game = GameState{};
        Game.medals[c.kind] = c.tierBefore;
        Game.stepLines = c.kind == MedalLines ? c.measure : 0;
        Game.chain = c.kind == MedalChain ? c.measure : 0;
        Game.streak = c.kind == MedalStreak ? c.measure : 0;
        g_played.clear();
        CheckLineMedals();
        CheckChainMedals();
        CheckStreakMedals();
        EXPECT_EQ(Game.medals[c.kind], c.tierAfter);
        EXPECT_EQ(CountPlays(WaveSlotMedal), c.tierAfter - c.tierBefore);
    }
}

TEST_F(LevelsTest, StreakCountsLocksThatEraseAndWinsAtThree) {
    BeginPlay(0);
    Game.streak = 2;
    for (int i = 1; i <= 2; ++i) XLineGrid[i][3] = 3;
    YLineGrid[1][1] = YLineGrid[1][2] = YLineGrid[3][1] = YLineGrid[3][2] = 3;
    CheckErase(AfterLock);
    EXPECT_EQ(Game.streak, 3);
    EXPECT_EQ(Game.medals[MedalStreak], 1);
    EXPECT_EQ(Game.medals[MedalLines], 0);
}

TEST_F(LevelsTest, CollectionMedalCountsTheOtherFiveKinds) {
    struct Case {
        int32_t tiers[5];
        int32_t collectionBefore;
        int32_t collectionAfter;
    };
    const Case cases[] = {
        {{1, 1, 0, 0, 0}, 0, 0},
        {{1, 0, 3, 0, 2}, 0, 1},
        {{1, 1, 1, 1, 0}, 0, 2},
        {{3, 2, 1, 1, 1}, 0, 3},
        {{1, 1, 1, 0, 0}, 2, 2},   // three kinds and tier 2 already: nothing more
        {{1, 1, 1, 1, 1}, 3, 3},
    };
    for (const Case& c : cases) {
        Game = GameState{};
        for (int kind = 0; kind < 5; ++kind) Game.medals[kind] = c.tiers[kind];
        Game.medals[MedalCollection] = c.collectionBefore;
        g_played.clear();
        CheckCollectionMedal();
        EXPECT_EQ(Game.medals[MedalCollection], c.collectionAfter);
        EXPECT_EQ(CountPlays(WaveSlotMedal), c.collectionAfter - c.collectionBefore);
    }
}

// ---- The erase rating ----

TEST_F(LevelsTest, RatingNamesTheHighestThresholdReached) {
    struct Case {
        int32_t rating;
        const char* word;
    };
    const Case cases[] = {
        {1000, "HOLYSHIT"}, {100, "HOLYSHIT"}, {99, "GODLIKE"},    {90, "GODLIKE"},
        {80, "LUNATIC"},    {79, "AMAZING"},   {60, "MONSTER"},    {59, "EXCELLENT"},
        {40, "MARVELOUS"},  {39, "VERY GOOD"}, {30, "VERY GOOD"},  {29, "GREAT"},
        {20, "GREAT"},      {19, "GOOD"},      {16, "GOOD"},       {15, "NICE"},
        {12, "NICE"},       {11, nullptr},     {6, nullptr},       {0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rating);
        const char* word = EraseRatingWord(c.rating);
        if (c.word == nullptr) {
            EXPECT_EQ(word, nullptr);
        } else {
            EXPECT_STREQ(word, c.word);
        }
    }
}

TEST_F(LevelsTest, RatingAddsSevenPerChainSquareBeyondOne) {
    Game.chainLines = 6;
    Game.chain = 1;
    EXPECT_EQ(EraseRating(), 6);
    Game.chainLines = 14;
    Game.chain = 2;
    EXPECT_EQ(EraseRating(), 14 + 21);
    Game.chainLines = 30;
    Game.chain = 3;
    EXPECT_EQ(EraseRating(), 30 + 56);
}

// ---- The score ceiling ----

TEST_F(LevelsTest, ScoreStopsAtTheLargestValueInsteadOfTurningNegative) {
    Game.score = kMaxScore - 100;
    AddScore(10);
    EXPECT_EQ(Game.score, kMaxScore - 90);
    AddScore(1000);
    EXPECT_EQ(Game.score, kMaxScore);
    AddScore(10);
    EXPECT_EQ(Game.score, kMaxScore);

    Game.score = 2147000000;
    AwardMedal(MedalLines, 3);
    EXPECT_EQ(Game.score, kMaxScore);
}

TEST_F(LevelsTest, HugeChainStepPointsAreHeldAtTheCeiling) {
    // 172 lines is every line of the field; a long enough chain would wrap 32 bits.
    EXPECT_EQ(ErasePoints(6, 5, 1), 450);
    EXPECT_EQ(ErasePoints(172, 100, 1), 172 * 169 * 5 * 100);
    EXPECT_EQ(ErasePoints(172, 100, 13), kMaxScore);

    BeginPlay(100);
    Game.chain = 100;
    Game.chainLines = 500;
    Game.score = 2000000000;
    for (int i = 1; i <= 7; ++i) XLineGrid[i][12] = 2;
    for (int j = 1; j <= 11; ++j) YLineGrid[1][j] = YLineGrid[8][j] = 2;
    CheckErase(AfterWait);
    EXPECT_EQ(Game.stepLines, 7 + 22);
    EXPECT_EQ(Game.stepPoints, kMaxScore);
    while (Game.phase == PhaseErasing) Step();
    EXPECT_EQ(Game.score, kMaxScore);
}

}  // namespace
