// Moves, turns, falls and the lock of the falling piece.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "game/field.h"
#include "game/motion.h"
#include "options/buttons.h"
#include "sound/sound.h"
#include "support/piece_fixture.h"

namespace {

using MotionTest = PieceTest;

// ---- Sideways moves ----

TEST_F(MotionTest, HeldDirectionRepeatsAfterTenFramesThenEverySecond) {
    Deal({3});
    Place(0, 0, -1, 10, PhaseFalling);   // vertical line on column 1
    std::vector<int> movedAt;
    for (int frame = 1; frame <= 30; ++frame) {
        ButtonLatch.right = frame == 1 ? 2 : 3;
        UpdateActionCounters();
        const int before = Game.piece.x;
        UpdateFalling();
        if (Game.piece.x != before) movedAt.push_back(frame);
    }
    EXPECT_EQ(movedAt, (std::vector<int>{1, 11, 13, 15, 17, 19, 21}));
    EXPECT_EQ(Game.piece.x, 6);   // stopped by the right wall
    EXPECT_EQ(Game.piece.y, 10);
    EXPECT_TRUE(g_played.empty());
}

TEST_F(MotionTest, ReleasingAndPressingAgainMovesAtOnce) {
    Deal({3});
    Place(0, 0, 6, 10, PhaseFalling);
    const int latch[] = {2, 3, 1, 2};
    std::vector<int> xs;
    for (int value : latch) {
        ButtonLatch.left = value;
        UpdateActionCounters();
        UpdateFalling();
        xs.push_back(Game.piece.x);
    }
    EXPECT_EQ(xs, (std::vector<int>{5, 5, 5, 4}));
}

TEST_F(MotionTest, SidewaysOntoASupportLandsAtOnce) {
    Deal({3});
    YLineGrid[5][4] = 2;
    Place(0, 0, 2, 5, PhaseFalling);   // column 4, rows 5..7, free
    Game.lockTimer = 60;
    ActionCounters[CounterRight] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.piece.x, 3);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 60);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});
}

TEST_F(MotionTest, FallStepDueAfterASidewaysLandingStaysPut) {
    Deal({3});
    YLineGrid[5][4] = 2;
    Place(0, 0, 2, 5, PhaseFalling);
    Game.fallTimer = 0;
    Game.lockTimer = 12;
    ActionCounters[CounterRight] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.piece.x, 3);
    EXPECT_EQ(Game.piece.y, 5);   // the step down is refused and taken back
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 60);
    EXPECT_EQ(Game.fallTimer, 60);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotLineFall, WaveSlotLineFall}));
}

TEST_F(MotionTest, LandedPieceSlidOffAnEdgeFallsAgain) {
    Deal({3});
    YLineGrid[5][4] = 2;
    Place(0, 0, 3, 5, PhaseLanded);
    Game.fallTimer = 0;
    Game.lockTimer = 30;
    ActionCounters[CounterLeft] = 1;
    UpdateLanded();
    EXPECT_EQ(Game.piece.x, 2);
    EXPECT_EQ(Game.phase, PhaseFalling);
    EXPECT_EQ(Game.fallTimer, 60);
    EXPECT_EQ(Game.lockTimer, 29);
    EXPECT_TRUE(g_played.empty());
}

TEST_F(MotionTest, SlidingAlongTheFloorDoesNotRenewTheLockDelay) {
    Deal({3});
    Place(0, 1, 1, 0, PhaseLanded);   // flat on the floor
    ASSERT_EQ(TestFit(), FitResting);
    std::vector<int> timers;
    for (int frame = 1; frame <= 6; ++frame) {
        ActionCounters[CounterRight] = frame % 2 == 1 ? 1 : 0;
        UpdateLanded();
        timers.push_back(Game.lockTimer);
        EXPECT_EQ(Game.phase, PhaseLanded);
    }
    EXPECT_EQ(timers, (std::vector<int>{59, 58, 57, 56, 55, 54}));
    EXPECT_EQ(Game.piece.x, 4);   // one column per press
}

// ---- Turns ----

struct KickCase {
    const char* name;
    int nextKind;
    int blockedColumns[2];   // settled x-lines on row 7 (0: none)
    int expectedX, expectedRotationStep;
};

TEST_F(MotionTest, RefusedTurnIsKickedRightThenLeft) {
    // A vertical line on column 4 turning flat onto row 7, columns x..x + 2.
    const KickCase cases[] = {
        {"free turn", 2, {0, 0}, 2, 1},
        {"kick right", 2, {2, 0}, 3, 1},
        {"kick left", 2, {4, 0}, 1, 1},
        {"no room", 2, {1, 4}, 2, 0},
        {"straight line next: no kick", 0, {2, 0}, 2, 0},
        {"straight line next: left side", 0, {4, 0}, 2, 0},
    };
    for (int counter : {CounterRotateRight, CounterRotateLeft}) {
        for (const KickCase& c : cases) {
            ResetField();
            for (int col : c.blockedColumns) {
                if (col != 0) XLineGrid[col][7] = 4;
            }
            Deal({c.nextKind});
            Place(0, 0, 2, 5, PhaseFalling);
            ActionCounters[CounterRotateRight] = 0;
            ActionCounters[CounterRotateLeft] = 0;
            ActionCounters[counter] = 1;
            g_played.clear();
            UpdateFalling();
            const int turned = counter == CounterRotateRight ? 1 : 3;
            EXPECT_EQ(Game.piece.x, c.expectedX) << c.name << " counter " << counter;
            EXPECT_EQ(Game.piece.rotation, c.expectedRotationStep ? turned : 0) << c.name;
            EXPECT_EQ(Game.piece.xLines[1][2], c.expectedRotationStep ? 1 : 0) << c.name;
            EXPECT_EQ(Game.piece.yLines[2][1], c.expectedRotationStep ? 0 : 1) << c.name;
            EXPECT_EQ(Game.phase, PhaseFalling) << c.name;
            EXPECT_TRUE(g_played.empty()) << c.name;
        }
    }
}

TEST_F(MotionTest, KickRightIsTriedBeforeKickLeft) {
    // The flat line on row 7 turning upright onto column 4, where a y-line stands; columns
    // 3 and 5 are both open.
    for (int counter : {CounterRotateRight, CounterRotateLeft}) {
        ResetField();
        YLineGrid[4][6] = 3;
        Deal({5});
        Place(0, 1, 2, 5, PhaseFalling);
        ActionCounters[CounterRotateRight] = 0;
        ActionCounters[CounterRotateLeft] = 0;
        ActionCounters[counter] = 1;
        UpdateFalling();
        EXPECT_EQ(Game.piece.x, 3) << counter;
        EXPECT_EQ(Game.piece.rotation, counter == CounterRotateRight ? 2 : 0);
        EXPECT_EQ(Game.piece.yLines[2][1], 1);
    }
}

TEST_F(MotionTest, TurnOntoASupportLands) {
    Deal({2});
    XLineGrid[3][6] = 4;
    Place(0, 0, 2, 5, PhaseFalling);
    ActionCounters[CounterRotateRight] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.piece.rotation, 1);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});
}

TEST_F(MotionTest, TurnActsOncePerPress) {
    Deal({2});
    Place(4, 0, 2, 5, PhaseFalling);
    int8_t counter = 0;
    for (int frame = 1; frame <= 25; ++frame) {
        counter = NextHold(counter);
        ActionCounters[CounterRotateLeft] = counter;
        UpdateFalling();
    }
    EXPECT_EQ(Game.piece.rotation, 3);
}

TEST_F(MotionTest, LandedPieceTurnsWithoutKicks) {
    Deal({2});
    XLineGrid[2][7] = 4;
    YLineGrid[4][4] = 3;
    Place(0, 0, 2, 5, PhaseLanded);
    ActionCounters[CounterRotateRight] = 1;
    UpdateLanded();
    EXPECT_EQ(Game.piece.rotation, 0);
    EXPECT_EQ(Game.piece.x, 2);

    // A turn that frees the piece lets it fall again.
    ResetField();
    YLineGrid[4][4] = 3;
    Place(0, 0, 2, 5, PhaseLanded);
    Game.fallTimer = 0;
    UpdateLanded();
    EXPECT_EQ(Game.piece.rotation, 1);
    EXPECT_EQ(Game.phase, PhaseFalling);
    EXPECT_EQ(Game.fallTimer, 60);
}

// ---- Falling ----

std::vector<int> FramesOfFallSteps(int frames) {
    std::vector<int> at;
    for (int frame = 1; frame <= frames; ++frame) {
        const int before = Game.piece.y;
        UpdateFalling();
        if (Game.piece.y != before) at.push_back(frame);
    }
    return at;
}

TEST_F(MotionTest, FallDelaySixtyFallsEverySixtyOneFrames) {
    Deal({0, 2});
    SpawnPiece();
    EXPECT_EQ(FramesOfFallSteps(200), (std::vector<int>{61, 122, 183}));
}

TEST_F(MotionTest, FallDelayOneFallsEverySecondFrame) {
    Deal({0, 2});
    Game.params.fallDelay = 1;
    SpawnPiece();
    EXPECT_EQ(FramesOfFallSteps(8), (std::vector<int>{2, 4, 6, 8}));
}

TEST_F(MotionTest, FallDelayZeroFallsEveryFrameAndIgnoresDrops) {
    Deal({0, 2});
    Game.params.fallDelay = 0;
    SpawnPiece();
    ActionCounters[CounterInstantFall] = 1;
    ActionCounters[CounterFallAndFix] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.piece.y, 9);
    EXPECT_EQ(Game.phase, PhaseFalling);
    EXPECT_EQ(Game.score, 0);
    ActionCounters[CounterInstantFall] = 0;
    ActionCounters[CounterFallAndFix] = 0;
    EXPECT_EQ(FramesOfFallSteps(4), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(MotionTest, FallOntoTheFloorLandsWithTheFullLockDelay) {
    Deal({0, 2});
    Place(0, 1, 3, 1, PhaseFalling);
    Game.fallTimer = 0;
    Game.lockTimer = 5;
    UpdateFalling();
    EXPECT_EQ(Game.piece.y, 0);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 60);
    EXPECT_EQ(Game.fallTimer, 60);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});
}

TEST_F(MotionTest, SpeedyFallFallsEverySecondFrameForTenPoints) {
    Deal({0, 2});
    SpawnPiece();
    int8_t counter = 0;
    for (int frame = 1; frame <= 8; ++frame) {
        counter = NextHold(counter);
        ActionCounters[CounterSpeedyFall] = counter;
        UpdateFalling();
    }
    EXPECT_EQ(Game.piece.y, 6);
    EXPECT_EQ(Game.score, 40);
}

TEST_F(MotionTest, InstantFallEarnsTenPerRowAndKeepsTheLockDelay) {
    Deal({0, 2});
    SpawnPiece();
    Game.score = 5;
    Game.fallTimer = 20;
    ActionCounters[CounterInstantFall] = 1;
    ActionCounters[CounterRight] = 1;   // moves first, in the same frame
    UpdateFalling();
    EXPECT_EQ(Game.piece.x, 4);
    EXPECT_EQ(Game.piece.y, 0);
    EXPECT_EQ(Game.score, 105);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 60);
    EXPECT_EQ(Game.fallTimer, 60);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotNewLine3, WaveSlotLineFall}));

    // Held on, it does nothing more; in the landed phase it does nothing at all.
    ActionCounters[CounterInstantFall] = 2;
    ActionCounters[CounterRight] = 0;
    UpdateLanded();
    EXPECT_EQ(Game.lockTimer, 59);
    ActionCounters[CounterInstantFall] = 1;
    UpdateLanded();
    EXPECT_EQ(Game.lockTimer, 58);
    EXPECT_EQ(Game.score, 105);
}

TEST_F(MotionTest, InstantFallDoesNotOverflowTheScore) {
    Deal({0, 2});
    SpawnPiece();
    Game.score = INT32_MAX - 15;
    ActionCounters[CounterInstantFall] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.score, INT32_MAX);

    Place(0, 1, 3, 10, PhaseFalling);
    ActionCounters[CounterInstantFall] = 0;
    ActionCounters[CounterSpeedyFall] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.score, INT32_MAX);
}

TEST_F(MotionTest, FallAndFixEarnsNothingAndLocksNextFrame) {
    Deal({0, 2});
    SpawnPiece();
    g_played.clear();
    ActionCounters[CounterFallAndFix] = 1;
    UpdateFalling();
    EXPECT_EQ(Game.piece.y, 0);
    EXPECT_EQ(Game.score, 0);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 0);
    EXPECT_EQ(Game.fallTimer, 0);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});

    ActionCounters[CounterFallAndFix] = 2;
    UpdateLanded();
    EXPECT_NE(Game.phase, PhaseLanded);
    for (int i = 3; i <= 5; ++i) EXPECT_EQ(XLineGrid[i][2], 1) << i;
}

TEST_F(MotionTest, DownOnALandedPieceLocksItNextFrame) {
    for (int counter : {CounterSpeedyFall, CounterFallAndFix}) {
        ResetField();
        Deal({3});
        Place(0, 1, 1, 0, PhaseLanded);
        ActionCounters[CounterSpeedyFall] = 0;
        ActionCounters[CounterFallAndFix] = 0;
        ActionCounters[counter] = 5;
        UpdateLanded();
        EXPECT_EQ(Game.lockTimer, 0) << counter;
        EXPECT_EQ(Game.fallTimer, 0) << counter;
        EXPECT_EQ(Game.phase, PhaseLanded);
    }
}

TEST_F(MotionTest, LockDelayRunsOutThenThePieceIsSet) {
    Deal({3, 3});
    Place(4, 1, 2, 1, PhaseLanded);   // T: x-lines on row 2 over the floor, y-line (3,1)
    ASSERT_EQ(TestFit(), FitResting);
    for (int frame = 1; frame <= 60; ++frame) {
        UpdateLanded();
        ASSERT_EQ(Game.phase, PhaseLanded) << frame;
    }
    EXPECT_EQ(Game.lockTimer, 0);
    EXPECT_EQ(XLineGrid[2][2], 0);
    UpdateLanded();
    EXPECT_NE(Game.phase, PhaseLanded);
    EXPECT_EQ(XLineGrid[2][2], 5);
    EXPECT_EQ(XLineGrid[3][2], 5);
    EXPECT_EQ(YLineGrid[3][1], 5);
}

TEST_F(MotionTest, InstantGravityDropsAFreedPieceWithTheLandingSound) {
    Deal({3});
    Game.params = {0, 40, 20, 20, 40, 1};
    YLineGrid[5][4] = 2;
    Place(0, 0, 3, 5, PhaseLanded);
    Game.lockTimer = 10;
    ActionCounters[CounterLeft] = 1;
    UpdateLanded();
    EXPECT_EQ(Game.piece.x, 2);
    EXPECT_EQ(Game.piece.y, 1);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 40);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});
}

TEST_F(MotionTest, InstantGravityWhileFalling) {
    Deal({3});
    Game.params = {0, 40, 20, 20, 40, 1};
    Place(0, 1, 3, 10, PhaseFalling);
    Game.fallTimer = 3;
    UpdateFalling();
    EXPECT_EQ(Game.piece.y, 0);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 40);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotLineFall});
}

}  // namespace
