// Dealing and entry of the pieces; moves, turns, falls, drops and the lock of the falling piece.
#include <climits>

#include "input/buttons.h"
#include "input/input.h"
#include "rules/dealing.h"
#include "rules/motion.h"
#include "shell/catalogue.h"
#include "shell/settings.h"
#include "support/piece_fixture.h"

namespace {

class MotionTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ResetField();
        Game.params = {60, 60, 60, 20, 5, 0};  // level 0
    }
    // The frames, counted from 1, in which a coordinate of the piece changed.
    static std::vector<int> FramesThatMove(int frames, const int32_t& coordinate) {
        std::vector<int> at;
        for (int frame = 1; frame <= frames; ++frame) {
            const int32_t before = coordinate;
            UpdateActionCounters(ButtonLatch, Settings.keyConfig);
            UpdateFalling();
            if (coordinate != before) at.push_back(frame);
        }
        return at;
    }
};

TEST_F(MotionTest, FirstKindsOfAKnownSeedAndTheTopDraw) {
    DealSequence(0);  // states 2531011, 505908858, 3539360597 draw 38, 7719, 21238
    EXPECT_EQ(V(Game.sequence[0], Game.sequence[1], Game.sequence[2]), V(0, 1, 4));
    // The starting value whose first draw is the top value 32767 deals a straight line, never
    // the square.
    uint32_t inverse = 214013u;  // Newton's iteration for the inverse modulo 2^32
    for (int n = 0; n < 5; ++n) inverse *= 2u - 214013u * inverse;
    DealSequence(static_cast<int32_t>((0x7FFF0000u - 2531011u) * inverse));
    EXPECT_EQ(Game.sequence[0], 0);
}

TEST_F(MotionTest, PieceEntersInRotationOneAndAnnouncesTheNextKind) {
    Game.params.lockDelay = 33;
    for (int kind = 0; kind < 7; ++kind) {
        Deal({kind, kind});
        ClearPlayEvents();
        SpawnPiece();
        EXPECT_EQ(V(Game.piece.rotation, Game.piece.x, Game.piece.y, Game.phase, Game.fallTimer,
                    Game.lockTimer, Game.dealt),
                  V(1, 3, kind == 0 ? 10 : 11, PhaseFalling, 60, 33, 1))
            << kind;
        EXPECT_EQ(Reports(PlayEntered), V(kind)) << kind;
    }
}

TEST_F(MotionTest, MoreThanAThousandPiecesRepeatTheSequenceAndTheCountNeverWraps) {
    DealSequence(4242);
    for (int n = 0; n < 1005; ++n) {
        ResetField();
        SpawnPiece();
        ASSERT_EQ(Game.piece.kind, Game.sequence[n % 1000]) << n;
    }
    Game.dealt = INT32_MAX;
    SpawnPiece();  // the 2147483648th piece
    EXPECT_EQ(V(Game.piece.kind, NextPieceKind(), Game.dealt > 0),
              V(Game.sequence[647], Game.sequence[648], 1));
}

// A line may stand where the right turn's arm would go.
TEST_F(MotionTest, HeldRotateButtonsTurnThePieceAsItEnters) {
    struct Case {
        int8_t right, left;
        bool blocked;
        int rotation;
        bool announced;
    };
    for (Case c : {Case{7, 0, false, 2, true}, Case{1, 11, false, 1, true},
                   Case{3, 0, true, 1, false}, Case{3, 3, true, 0, true}}) {
        XLineGrid[3][13] = c.blocked ? 4 : 0;
        Deal({1, 4});
        ClearPlayEvents();
        ActionCounters[CounterRotateRight] = c.right;
        ActionCounters[CounterRotateLeft] = c.left;
        SpawnPiece();
        EXPECT_EQ(Game.piece.rotation, c.rotation) << int{c.right} << " " << int{c.left};
        EXPECT_EQ(Reports(), c.announced ? V(PlayEntered, PlayPreRotated) : V(PlayEntered));
    }
}

TEST_F(MotionTest, HeldDirectionMovesAtThePressOnTheEleventhFrameThenEverySecond) {
    Deal({3});
    Place(0, 0, -1, 10);  // upright on column 1
    ButtonLatch.right = ButtonHeld;
    EXPECT_EQ(FramesThatMove(30, Game.piece.x), (std::vector<int>{1, 11, 13, 15, 17, 19, 21}));
    EXPECT_EQ(Game.piece.x, 6);  // stopped by the right wall
}

TEST_F(MotionTest, SidewaysOntoASupportLandsAtOnceAndOffAnEdgeFallsAgain) {
    Deal({3});
    YLineGrid[5][4] = 2;
    Place(0, 0, 2, 5);  // upright on column 4, rows 5..7
    Game.lockTimer = 30;
    ActionCounters[CounterRight] = 1;
    UpdateFalling();
    EXPECT_EQ(V(Game.piece.x, Game.phase, Game.lockTimer), V(3, PhaseLanded, 30));
    EXPECT_EQ(Reports(), V(PlayLanded));
    Game.fallTimer = 0;
    ActionCounters[CounterRight] = 0;
    ActionCounters[CounterLeft] = 1;
    UpdateLanded();
    EXPECT_EQ(V(Game.piece.x, Game.phase, Game.fallTimer, Game.lockTimer),
              V(2, PhaseFalling, 60, 29));
}

// The upright line turning flat onto row 7 beside x-lines there, or the flat line turning upright
// onto a y-line at (4, 6) with both neighbouring columns open.
TEST_F(MotionTest, RefusedTurnIsKickedRightThenLeftUnlessTheStraightLineIsNext) {
    struct Case {
        int next, rotation, xBlock1, xBlock2, yBlock, x;
        bool turned;
    };
    const Case cases[] = {
        {2, 0, 0, 0, 0, 2, true},  {2, 0, 2, 0, 0, 3, true},  {2, 0, 4, 0, 0, 1, true},
        {2, 0, 1, 4, 0, 2, false}, {0, 0, 2, 0, 0, 2, false}, {0, 0, 4, 0, 0, 2, false},
        {2, 1, 0, 0, 1, 3, true},
    };
    for (int counter : {CounterRotateRight, CounterRotateLeft}) {
        for (const Case& c : cases) {
            ResetField();
            Deal({c.next});
            Place(0, c.rotation, 2, 5);
            g_waves.clear();
            for (int column : {c.xBlock1, c.xBlock2})
                if (column != 0) XLineGrid[column][7] = 4;
            YLineGrid[4][6] = c.yBlock ? 4 : 0;
            ActionCounters[CounterRotateRight] = ActionCounters[CounterRotateLeft] = 0;
            ActionCounters[counter] = 1;
            UpdateFalling();
            const int turn = counter == CounterRotateRight ? 1 : 3;
            EXPECT_EQ(V(Game.piece.x, Game.piece.rotation, Game.phase, g_waves.size()),
                      V(c.x, c.turned ? (c.rotation + turn) % 4 : c.rotation, PhaseFalling, 0))
                << "case " << &c - cases << " counter " << counter;
        }
    }
}

TEST_F(MotionTest, FallStepsEveryFallDelayPlusOneFrames) {
    struct Case {
        int32_t fallDelay;
        int frames;
        std::vector<int> steps;
    };
    for (const Case& c :
         {Case{60, 200, {61, 122, 183}}, Case{1, 8, {2, 4, 6, 8}}, Case{0, 4, {1, 2, 3, 4}}}) {
        Deal({0, 2});
        Game.params.fallDelay = c.fallDelay;
        SpawnPiece();
        EXPECT_EQ(FramesThatMove(c.frames, Game.piece.y), c.steps) << c.fallDelay;
    }
    // With no delay the gravity branch runs every frame: the drops are never read.
    ActionCounters[CounterInstantFall] = ActionCounters[CounterFallAndFix] = 1;
    UpdateFalling();
    EXPECT_EQ(V(Game.piece.y, Game.phase, Game.score), V(5, PhaseFalling, 0));
}

// INSTANT FALL pays ten a row and keeps the full lock delay; FALL & FIX pays nothing and locks
// in the next frame; SPEEDY FALL pays ten a frame and falls every second frame. Held on the
// landed piece, none drops anything more.
TEST_F(MotionTest, DropsPayTheirPointsAndSetTheLockDelay) {
    struct Case {
        int counter, frames, y, score, phase, lockTimer, framesToLock;
    };
    const Case cases[] = {{CounterInstantFall, 1, 0, 100, PhaseLanded, 60, 61},
                          {CounterFallAndFix, 1, 0, 0, PhaseLanded, 0, 1},
                          {CounterSpeedyFall, 8, 6, 40, PhaseFalling, 60, 2}};
    for (const Case& c : cases) {
        ResetField();
        Deal({0, 2});
        SpawnPiece();
        Game.score = 0;
        for (int counter : {CounterInstantFall, CounterFallAndFix, CounterSpeedyFall})
            ActionCounters[counter] = counter == c.counter;
        for (int frame = 0; frame < c.frames; ++frame) UpdateFalling();
        EXPECT_EQ(V(Game.piece.y, Game.score, Game.phase, Game.lockTimer),
                  V(c.y, c.score, c.phase, c.lockTimer))
            << c.counter;
        // flat on the floor, as the drops leave it
        Place(0, 1, 3, 0, PhaseLanded);
        Game.lockTimer = c.lockTimer;
        int frames = 0;
        for (; Game.phase == PhaseLanded && frames < 100; ++frames) UpdateLanded();
        EXPECT_EQ(V(frames, XLineGrid[3][2], XLineGrid[5][2], Game.score),
                  V(c.framesToLock, 1, 1, c.score))
            << c.counter;
    }
}

}  // namespace
