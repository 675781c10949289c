// The medals with their bonuses, and the score's ceiling.
#include "rules/levels.h"
#include "rules/erase.h"
#include "rules/medals.h"
#include "rules/score.h"
#include "shell/catalogue.h"
#include "support/piece_fixture.h"

namespace {

constexpr int32_t kMaxScore = 2147483647;

using LevelsTest = GameTest;

// A level change checks the time medal at every ten levels from the start (2:30, 2:15, 2:00 per
// ten) and the level medal at 25, 35 and 50 levels from it. Each tier won is reported and brings
// its bonus: 300000, 700000, 1000000.
TEST_F(LevelsTest, LevelChangeMedalsCountFromTheStartLevel) {
    struct Case {
        int32_t startLevel, level, elapsedMs;
        int kind;
        int32_t tierBefore, tierAfter, bonus;
    };
    const Case cases[] = {
        {0, 10, 130000, MedalTime, 0, 2, 1000000},  // 2:10 for ten levels: tiers 1 and 2 at once
        {0, 10, 120000, MedalTime, 0, 3, 2000000},   {0, 10, 120001, MedalTime, 0, 2, 1000000},
        {0, 10, 150000, MedalTime, 0, 1, 300000},    {0, 10, 150001, MedalTime, 0, 0, 0},
        {0, 20, 270000, MedalTime, 1, 2, 700000},    {0, 20, 250000, MedalTime, 3, 3, 0},
        {15, 25, 100000, MedalTime, 0, 3, 2000000},  {15, 30, 1000, MedalTime, 0, 0, 0},
        {0, 110, 1000, MedalTime, 0, 0, 0},          {50, 74, 1 << 30, MedalLevel, 0, 0, 0},
        {50, 75, 1 << 30, MedalLevel, 0, 1, 300000}, {50, 85, 1 << 30, MedalLevel, 1, 2, 700000},
        {50, 99, 1 << 30, MedalLevel, 2, 2, 0},      {50, 100, 1 << 30, MedalLevel, 2, 3, 1000000},
    };
    for (const Case& c : cases) {
        Fresh();
        Game.phase = PhaseFalling;
        Game.startLevel = c.startLevel;
        Game.elapsedMs = c.elapsedMs;
        Game.medals[c.kind] = c.tierBefore;
        ApplyLevel(c.level);
        EXPECT_EQ(
            V(Game.medals[c.kind], Game.score, Reported(PlayMedalWon), Reported(PlayLevelRose)),
            V(c.tierAfter, c.bonus, c.tierAfter - c.tierBefore, 1))
            << c.startLevel << " -> " << c.level << " in " << c.elapsedMs;
    }
}

// Lines erased in one step (80, 90, 100), chain length (2, 3, 4), streak (3, 5, 7), and the
// number of the other five kinds won (3, 4, 5) for the collection.
TEST_F(LevelsTest, MedalsClimbTierByTierOnTheirMeasure) {
    struct Case {
        int kind;
        int32_t measure, tierBefore, tierAfter;
    };
    const Case cases[] = {
        {MedalLines, 79, 0, 0},     {MedalLines, 80, 0, 1},     {MedalLines, 100, 0, 3},
        {MedalChain, 2, 0, 1},      {MedalChain, 3, 1, 2},      {MedalChain, 4, 2, 3},
        {MedalStreak, 6, 1, 2},     {MedalStreak, 7, 0, 3},     {MedalCollection, 2, 0, 0},
        {MedalCollection, 3, 0, 1}, {MedalCollection, 5, 0, 3}, {MedalCollection, 4, 2, 2},
    };
    for (const Case& c : cases) {
        Fresh();
        Game.medals[c.kind] = c.tierBefore;
        Game.stepLines = c.kind == MedalLines ? c.measure : 0;
        Game.chain = c.kind == MedalChain ? c.measure : 0;
        Game.streak = c.kind == MedalStreak ? c.measure : 0;
        for (int other = 0; c.kind == MedalCollection && other < c.measure; ++other)
            Game.medals[other] = 1;
        CheckLineMedals();
        CheckChainMedals();
        CheckStreakMedals();
        CheckCollectionMedal();
        EXPECT_EQ(V(Game.medals[c.kind], Reported(PlayMedalWon), Game.medalFlash[c.kind]),
                  V(c.tierAfter, c.tierAfter - c.tierBefore, c.tierAfter > c.tierBefore ? 60 : 0))
            << c.kind << " at " << c.measure;
    }
}

TEST_F(LevelsTest, ScoreStopsAtTheLargestValueInsteadOfTurningNegative) {
    Game.score = kMaxScore - 100;
    AddScore(1000);
    EXPECT_EQ(Game.score, kMaxScore);
    Game.score = 2147000000;
    AwardMedal(MedalLines, 3);
    EXPECT_EQ(Game.score, kMaxScore);

    PlayFrom(100);  // the outline of the whole field closed in the hundredth step of a chain
    Game.chain = 99;
    Game.score = 2000000000;
    for (int i = 1; i <= 7; ++i) XLineGrid[i][12] = 2;
    for (int j = 1; j <= 11; ++j) YLineGrid[1][j] = YLineGrid[8][j] = 2;
    CheckErase(AfterWait);
    EXPECT_EQ(Game.stepPoints, kMaxScore);
    StepsWhile(PhaseErasing);
    EXPECT_EQ(Game.score, kMaxScore);
}

}  // namespace
