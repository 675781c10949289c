// Closed rectangles, their erasure and the drop, chains, level rises and the level clear,
// played through the game scene's update with the field laid out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "game/erase.h"
#include "game/field.h"
#include "game/game_scene.h"
#include "game/levels.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace {

struct WaveEvent {
    WaveOp op;
    uint16_t slot;
    int32_t loop;
};
std::vector<WaveEvent> g_waves;

void RecordWave(WaveOp op, uint16_t slot, int32_t loop, int32_t) {
    g_waves.push_back({op, slot, loop});
}

int CountPlays(uint16_t slot) {
    int n = 0;
    for (const WaveEvent& e : g_waves) n += (e.op == WaveOpPlay && e.slot == slot) ? 1 : 0;
    return n;
}

constexpr int32_t kColour = 4;

void X(int i, int j) { XLineGrid[i][j] = kColour; }
void Y(int i, int j) { YLineGrid[i][j] = kColour; }

// The outline of the rectangle from lattice point (i1, j1) to (i2, j2).
void Outline(int i1, int j1, int i2, int j2) {
    for (int i = i1; i < i2; ++i) {
        if (XLineGrid[i][j1] == LineEmpty) X(i, j1);
        X(i, j2);
    }
    for (int j = j1; j < j2; ++j) {
        Y(i1, j);
        Y(i2, j);
    }
}

class EraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        SetWaveTrace(RecordWave);
    }
    void TearDown() override { SetWaveTrace(nullptr); }

    // One frame as the scene machine runs it.
    static void Step() {
        GameUpdate();
        SceneFrame += 1;
    }
    static void Steps(int n) {
        for (int k = 0; k < n; ++k) Step();
    }

    // A game at the given level, past READY, with its first piece in the air.
    static void BeginPlay(int32_t level) {
        StartLevel = level;
        StartGame(1);
        Steps(100);
        ASSERT_EQ(Game.dealt, 1);
        g_waves.clear();
    }

    // A landed piece that locks in the next frame, as FALL & FIX leaves it.
    static void Land(int kind, int rotation, int x, int y) {
        Game.piece.kind = kind;
        Game.piece.rotation = rotation;
        Game.piece.x = x;
        Game.piece.y = y;
        LoadShape();
        Game.phase = PhaseLanded;
        Game.lockTimer = 0;
    }
    // The straight piece standing upright: y-lines (x + 2, y .. y + 2).
    static void LandUpright(int x, int y) { Land(0, 0, x, y); }

    // Frames until the phase changes (the frame that changes it included).
    static int StepsWhile(int32_t phase, int limit = 1000) {
        int n = 0;
        while (Game.phase == phase && n < limit) {
            Step();
            ++n;
        }
        return n;
    }
};

// ---- Rectangles ----

TEST_F(EraseTest, TwoByTwoOnTheFloorErasesSixLinesForNinetyTimesTheFactor) {
    struct Case {
        int32_t level;
        int32_t scoreFactor;
        int32_t eraseDelay;
    };
    for (Case c : {Case{0, 5, 60}, Case{15, 20, 30}, Case{100, 100, 5}}) {
        SCOPED_TRACE(c.level);
        FreshProcess();
        SetWaveTrace(RecordWave);
        BeginPlay(c.level);
        X(1, 3);
        X(2, 3);
        Y(1, 1);
        Y(1, 2);
        LandUpright(1, 1);   // closes the right side, one line left over above it
        Step();

        EXPECT_EQ(Game.phase, PhaseErasing);
        EXPECT_EQ(Game.stepLines, 6);
        EXPECT_EQ(Game.stepPoints, 90 * c.scoreFactor);
        EXPECT_EQ(Game.chain, 1);
        EXPECT_EQ(Game.chainLines, 6);
        EXPECT_EQ(Game.streak, 1);
        EXPECT_EQ(Game.eraseTimer, c.eraseDelay);
        EXPECT_EQ(Game.popupTimer, 179);   // 180, counted down at the end of the frame
        EXPECT_EQ(Game.popupX, 3);
        EXPECT_EQ(Game.popupY, 2);
        EXPECT_EQ(XLineGrid[1][3], LineEmpty);
        EXPECT_EQ(YLineGrid[3][2], LineEmpty);
        EXPECT_EQ(XLineGrid[1][1], LineGrey);
        EXPECT_EQ(YLineGrid[3][3], 1);
        ASSERT_EQ(g_waves.size(), 1u);
        EXPECT_EQ(g_waves[0].slot, WaveSlotErasing);
        EXPECT_EQ(g_waves[0].loop, 1);
        EXPECT_EQ(Game.score, 0);   // the points come when the lines drop

        g_waves.clear();
        EXPECT_EQ(StepsWhile(PhaseErasing), c.eraseDelay + 1);
        EXPECT_EQ(Game.phase, PhaseNext);
        EXPECT_EQ(Game.score, 90 * c.scoreFactor);
        EXPECT_EQ(Game.lines, 6);
        EXPECT_EQ(Game.levelLines, 6);
        EXPECT_EQ(YLineGrid[3][1], 1);   // the leftover line dropped two rows
        EXPECT_EQ(YLineGrid[3][3], LineEmpty);
        for (int i = 1; i <= 7; ++i) EXPECT_EQ(XLineGrid[i][1], LineGrey);
        ASSERT_EQ(g_waves.size(), 2u);
        EXPECT_EQ(g_waves[0].op, WaveOpStop);
        EXPECT_EQ(g_waves[0].slot, WaveSlotErasing);
        EXPECT_EQ(g_waves[1].op, WaveOpPlay);
        EXPECT_EQ(g_waves[1].slot, WaveSlotLineFall);
    }
}

TEST_F(EraseTest, RectanglesSharingAnEdgeEraseTogetherCountingSharedLinesOnce) {
    BeginPlay(0);
    Outline(1, 1, 3, 3);
    X(3, 3);
    X(4, 3);
    LandUpright(3, 1);   // the far side, and one line above it
    Step();
    // Three rectangles: the two squares and the box around both.
    EXPECT_EQ(Game.stepLines, 10);
    EXPECT_EQ(EraseMarkY[3][1], 3);
    EXPECT_EQ(EraseMarkX[1][3], 2);
    EXPECT_EQ(Game.stepPoints, 10 * 7 * 5 * 5);
}

TEST_F(EraseTest, DividedRectangleErasesTheLinesInsideIt) {
    BeginPlay(0);
    Outline(1, 1, 4, 4);
    YLineGrid[4][1] = YLineGrid[4][2] = YLineGrid[4][3] = LineEmpty;
    X(2, 2);   // inner lines that close nothing by themselves
    Y(2, 3);
    Y(3, 1);
    LandUpright(2, 1);
    Step();
    EXPECT_EQ(Game.stepLines, 12);
    EXPECT_EQ(XLineGrid[2][2], LineEmpty);
    EXPECT_EQ(YLineGrid[2][3], LineEmpty);
    EXPECT_EQ(YLineGrid[3][1], LineEmpty);
}

TEST_F(EraseTest, NestedRectanglesAreBothFoundButDropOnlyOnce) {
    BeginPlay(15);
    Outline(1, 1, 6, 6);
    YLineGrid[6][3] = YLineGrid[6][4] = YLineGrid[6][5] = LineEmpty;
    Outline(2, 2, 4, 4);
    X(3, 8);   // above the box; must land on row 3, five rows lower
    LandUpright(4, 3);
    Step();
    EXPECT_EQ(Game.stepLines, 15 + 8);
    EXPECT_EQ(EraseMarkX[2][2], 2);
    EXPECT_EQ(EraseMarkX[1][6], 1);
    EXPECT_EQ(DropMarkX[2][2], 1);
    EXPECT_EQ(Game.stepPoints, 23 * 20 * 5 * 20);
    EXPECT_STREQ(EraseRatingWord(EraseRating()), "GREAT");

    StepsWhile(PhaseErasing);
    EXPECT_EQ(XLineGrid[3][3], kColour);
    EXPECT_EQ(XLineGrid[3][8], LineEmpty);
}

TEST_F(EraseTest, ShapesSmallerThanTwoByTwoDoNotErase) {
    BeginPlay(0);
    Game.streak = 2;
    Outline(4, 1, 6, 2);   // two cells wide, one high
    Outline(1, 1, 2, 3);   // one wide, two high
    Land(7, 0, 5, 4);      // the closed unit square
    Step();
    EXPECT_EQ(Game.phase, PhaseNext);
    EXPECT_EQ(Game.nextTimer, 20);
    EXPECT_EQ(Game.stepLines, 0);
    EXPECT_EQ(Game.streak, 0);
    EXPECT_EQ(Game.lines, 0);
    EXPECT_EQ(Game.popupTimer, 0);
    ASSERT_EQ(g_waves.size(), 1u);
    EXPECT_EQ(g_waves[0].slot, WaveSlotLineSet);
    EXPECT_EQ(XLineGrid[6][5], 8);
    EXPECT_EQ(YLineGrid[7][4], 8);
    EXPECT_EQ(XLineGrid[4][2], kColour);
    EXPECT_EQ(YLineGrid[2][2], kColour);

    // After the wait the next piece enters.
    EXPECT_EQ(StepsWhile(PhaseNext), 21);
    EXPECT_EQ(Game.dealt, 2);
}

TEST_F(EraseTest, RectangleReachingAboveTheVisibleFieldIsNotFound) {
    BeginPlay(0);
    Outline(1, 11, 3, 13);
    CheckErase(AfterLock);
    EXPECT_EQ(Game.stepLines, 0);
    EXPECT_EQ(XLineGrid[1][13], kColour);

    // One row lower it is found, its bottom edge erased with the rest.
    FreshProcess();
    BeginPlay(0);
    Outline(1, 10, 3, 12);
    CheckErase(AfterLock);
    EXPECT_EQ(Game.stepLines, 8);
    EXPECT_EQ(Game.phase, PhaseErasing);
}

// ---- The drop ----

TEST_F(EraseTest, CollapseDropsOnlyTheRectanglesColumnsAndLosesTheRowAboveTheField) {
    BeginPlay(0);
    X(1, 3);
    X(2, 3);
    Y(1, 1);
    Y(1, 2);
    X(2, 5);    // inside the rectangle's columns: drops two rows
    X(3, 5);    // beside it: stays, overhanging nothing
    Y(3, 4);    // on the rectangle's side column: drops two rows
    Y(4, 4);    // beside it: stays
    X(1, 13);   // the row above the moving stretch is emptied, so this line is lost
    X(1, 14);   // above that nothing moves
    Y(1, 12);
    Y(1, 13);
    LandUpright(1, 1);
    Step();
    StepsWhile(PhaseErasing);

    EXPECT_EQ(XLineGrid[2][3], kColour);
    EXPECT_EQ(XLineGrid[2][5], LineEmpty);
    EXPECT_EQ(XLineGrid[3][5], kColour);
    EXPECT_EQ(XLineGrid[3][3], LineEmpty);
    EXPECT_EQ(YLineGrid[3][2], kColour);
    EXPECT_EQ(YLineGrid[3][1], 1);
    EXPECT_EQ(YLineGrid[4][4], kColour);
    EXPECT_EQ(YLineGrid[4][2], LineEmpty);
    for (int j = 2; j <= 13; ++j) EXPECT_EQ(XLineGrid[1][j], LineEmpty) << j;
    EXPECT_EQ(XLineGrid[1][14], kColour);
    for (int j = 1; j <= 12; ++j) EXPECT_EQ(YLineGrid[1][j], LineEmpty) << j;
    EXPECT_EQ(YLineGrid[1][13], kColour);
    EXPECT_EQ(XLineGrid[1][1], LineGrey);
    EXPECT_EQ(XLineGrid[0][1], LineWall);
    EXPECT_EQ(YLineGrid[9][1], LineWall);
}

// ---- Chains ----

// A floating 4 x 2 box erases first; lines above it drop into the gaps of a square on the
// floor below, which then erases as the second step.
TEST_F(EraseTest, TwoStepChainScoresWithTheChainSquareAndCountsTheRunningTotal) {
    BeginPlay(0);
    for (int i = 1; i <= 4; ++i) {
        X(i, 2);
        X(i, 4);
    }
    Y(1, 2);
    Y(1, 3);
    Y(2, 1);   // the square's lower side pieces, under the box
    Y(3, 1);
    Y(4, 1);
    Y(2, 4);   // its upper side pieces and its top, above the box
    Y(3, 4);
    Y(4, 4);
    X(2, 5);
    X(3, 5);
    LandUpright(3, 2);   // the box's right side
    Step();
    EXPECT_EQ(Game.stepLines, 12);
    EXPECT_EQ(Game.stepPoints, 12 * 9 * 5 * 5);
    EXPECT_EQ(Game.medals[MedalChain], 0);

    EXPECT_EQ(StepsWhile(PhaseErasing), 61);
    EXPECT_EQ(Game.score, 2700);
    EXPECT_EQ(Game.lines, 12);
    g_waves.clear();
    EXPECT_EQ(StepsWhile(PhaseNext), 21);

    EXPECT_EQ(Game.phase, PhaseErasing);
    EXPECT_EQ(Game.chain, 2);
    EXPECT_EQ(Game.stepLines, 8);
    EXPECT_EQ(Game.chainLines, 20);
    EXPECT_EQ(Game.stepPoints, 8 * 5 * 5 * 5 * 4);
    EXPECT_EQ(Game.streak, 1);   // a chain step is not a new lock
    EXPECT_EQ(Game.medals[MedalChain], 1);
    EXPECT_EQ(Game.score, 2700 + 300000);
    EXPECT_EQ(CountPlays(WaveSlotMedal), 1);
    EXPECT_EQ(EraseRating(), 20 + 3 * 7);
    EXPECT_STREQ(EraseRatingWord(EraseRating()), "MARVELOUS");

    StepsWhile(PhaseErasing);
    EXPECT_EQ(Game.score, 2700 + 300000 + 4000);
    EXPECT_EQ(Game.lines, 12 + 20);
    EXPECT_EQ(Game.levelLines, 32);

    // Nothing more closes: the next piece enters.
    EXPECT_EQ(StepsWhile(PhaseNext), 21);
    EXPECT_EQ(Game.dealt, 2);
    EXPECT_NE(Game.phase, PhaseErasing);
}

// ---- Levels ----

TEST_F(EraseTest, FortyLinesRaiseTheLevelAndDropTheExcess) {
    BeginPlay(0);
    Game.levelLines = 35;
    Outline(1, 1, 3, 3);
    YLineGrid[3][1] = YLineGrid[3][2] = LineEmpty;
    LandUpright(1, 1);
    Step();
    StepsWhile(PhaseErasing);
    EXPECT_EQ(Game.level, 1);
    EXPECT_EQ(Game.levelLines, 0);
    EXPECT_EQ(Game.lines, 6);
    EXPECT_EQ(Game.params.fallDelay, 40);
    EXPECT_EQ(CountPlays(WaveSlotLevelChange), 1);
    EXPECT_EQ(Game.phase, PhaseNext);
    EXPECT_EQ(Game.nextTimer, 20);
}

TEST_F(EraseTest, LevelsEndingInNineWaitForTheChainThenWipeTheField) {
    struct Case {
        int32_t level;
        int32_t oldNextDelay;
        int32_t newBackground;
    };
    for (Case c : {Case{9, 20, 4}, Case{49, 20, 9}, Case{69, 12, 10}, Case{99, 5, 11}}) {
        SCOPED_TRACE(c.level);
        FreshProcess();
        SetWaveTrace(RecordWave);
        BeginPlay(c.level);
        Game.levelLines = 35;
        Outline(1, 1, 3, 3);
        YLineGrid[3][1] = YLineGrid[3][2] = LineEmpty;
        X(6, 4);    // lines of the visible field, away from the rectangle
        Y(7, 11);
        X(6, 13);   // and above it
        Y(7, 12);
        LandUpright(1, 1);
        Step();
        StepsWhile(PhaseErasing);
        EXPECT_EQ(Game.level, c.level);
        EXPECT_EQ(Game.levelLines, 41);
        EXPECT_EQ(CountPlays(WaveSlotLevelChange), 0);

        g_waves.clear();
        StepsWhile(PhaseNext);
        ASSERT_EQ(Game.phase, PhaseLevelClear);
        EXPECT_EQ(Game.bannerLevel, c.level + 1);
        EXPECT_EQ(Game.bannerTimer, 119);
        EXPECT_EQ(Game.popupTimer, 0);   // the banner hides the popup
        EXPECT_EQ(Game.eraseTimer, 60);
        ASSERT_EQ(g_waves.size(), 1u);
        EXPECT_EQ(g_waves[0].slot, WaveSlotErasing);
        EXPECT_EQ(g_waves[0].loop, 1);
        EXPECT_EQ(Game.dealt, 1);

        g_waves.clear();
        EXPECT_EQ(StepsWhile(PhaseLevelClear), 61);
        EXPECT_EQ(Game.phase, PhaseNext);
        EXPECT_EQ(Game.level, c.level + 1);
        EXPECT_EQ(Game.levelLines, 0);
        EXPECT_EQ(Game.nextTimer, c.oldNextDelay);
        EXPECT_EQ(BackgroundIndex, c.newBackground);
        EXPECT_EQ(XLineGrid[6][4], LineEmpty);
        EXPECT_EQ(YLineGrid[7][11], LineEmpty);
        EXPECT_EQ(YLineGrid[3][1], LineEmpty);
        EXPECT_EQ(XLineGrid[6][13], kColour);
        EXPECT_EQ(YLineGrid[7][12], kColour);
        for (int i = 1; i <= 7; ++i) EXPECT_EQ(XLineGrid[i][1], LineGrey);
        ASSERT_GE(g_waves.size(), 2u);
        EXPECT_EQ(g_waves[0].op, WaveOpStop);
        EXPECT_EQ(g_waves[0].slot, WaveSlotErasing);
        EXPECT_EQ(CountPlays(WaveSlotLevelChange), 1);
    }
}

TEST_F(EraseTest, AboveLevelOneHundredEveryLevelRisesAtOnce) {
    BeginPlay(109);
    Game.levelLines = 35;
    Outline(1, 1, 3, 3);
    YLineGrid[3][1] = YLineGrid[3][2] = LineEmpty;
    LandUpright(1, 1);
    Step();
    StepsWhile(PhaseErasing);
    EXPECT_EQ(Game.level, 110);
    EXPECT_EQ(Game.levelLines, 0);
}

}  // namespace
