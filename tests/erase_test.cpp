// Closed rectangles, their erasure and the drop, chains, level rises and the level clear,
// played through the game scene's update with the field laid out by hand.
#include "rules/erase.h"
#include "rules/levels.h"
#include "shell/catalogue.h"
#include "support/piece_fixture.h"

namespace {

constexpr int32_t kColour = 4;

void X(int i, int j) { XLineGrid[i][j] = kColour; }
void Y(int i, int j) { YLineGrid[i][j] = kColour; }

// The outline of the rectangle from lattice point (i1, j1) to (i2, j2) without its right side;
// a floor line stays grey.
void OpenOutline(int i1, int j1, int i2, int j2) {
    for (int i = i1; i < i2; ++i) {
        X(i, j2);
        XLineGrid[i][j1] = XLineGrid[i][j1] == LineGrey ? LineGrey : kColour;
    }
    for (int j = j1; j < j2; ++j) Y(i1, j);
}

// Every sound event as (op, slot, loop).
std::vector<int64_t> Waves() {
    std::vector<int64_t> out;
    for (const WaveEvent& w : g_waves) out.insert(out.end(), {w.op, w.slot, w.loop});
    return out;
}

class EraseTest : public GameTest {
protected:
    // A piece landed where it is laid, locked in the next frame; by default the upright straight
    // line, y-lines (x + 2, y .. y + 2).
    static void Lock(int x, int y, int kind = 0) {
        Place(kind, 0, x, y, PhaseLanded);
        Game.lockTimer = 0;
        Step();
    }
    // A 2 x 2 square on the floor closed by the upright line, which leaves one line above it.
    static void CloseFloorSquare() {
        OpenOutline(1, 1, 3, 3);
        Lock(1, 1);
    }
};

TEST_F(EraseTest, TwoByTwoOnTheFloorErasesSixLinesForNinetyTimesTheFactor) {
    struct Case {
        int32_t level, scoreFactor, eraseDelay;
    };
    for (Case c : {Case{0, 5, 60}, Case{15, 20, 30}, Case{100, 100, 5}}) {
        Fresh();
        PlayFrom(c.level);
        CloseFloorSquare();
        // The popup stands at the highest erased y-line; the points come when the lines drop.
        EXPECT_EQ(V(Game.phase, Game.stepLines, Game.stepPoints, Game.streak, Game.popupX,
                    Game.popupY, Game.score),
                  V(PhaseErasing, 6, 90 * c.scoreFactor, 1, 3, 2, 0))
            << c.level;
        EXPECT_EQ(Waves(), V(WaveOpPlay, WaveSlotErasing, 1));  // looping
        g_waves.clear();
        EXPECT_EQ(StepsWhile(PhaseErasing), c.eraseDelay + 1);
        // The leftover line dropped two rows.
        EXPECT_EQ(V(Game.phase, Game.score, Game.lines, YLineGrid[3][1], XLineGrid[1][1],
                    XLineGrid[2][1]),
                  V(PhaseNext, 90 * c.scoreFactor, 6, 1, LineGrey, LineGrey));
        EXPECT_EQ(Waves(), V(WaveOpStop, WaveSlotErasing, 0, WaveOpPlay, WaveSlotLineFall, 0));
    }
}

// Lines shared by several rectangles count once; lines inside a rectangle go with it; nothing
// smaller than 2 x 2 and nothing reaching above the visible field erases.
TEST_F(EraseTest, RectanglesFoundAndLinesCounted) {
    struct Case {
        const char* name;
        void (*layOut)();
        int x, y, kind, stepLines;
    };
    const Case cases[] = {
        {"two squares sharing an edge",
         [] {
             OpenOutline(1, 1, 3, 3);
             Y(3, 1);
             Y(3, 2);
             X(3, 3);
             X(4, 3);
         },
         3, 1, 0, 10},
        {"divided",
         [] {
             OpenOutline(1, 1, 4, 4);
             X(2, 2);
             Y(2, 3);
             Y(3, 1);
         },
         2, 1, 0, 12},
        {"unit square, 2 x 1, 1 x 2",
         [] {
             OpenOutline(4, 1, 6, 2);
             Y(6, 1);
             OpenOutline(1, 1, 2, 3);
             Y(2, 1);
             Y(2, 2);
         },
         5, 4, 7, 0},
        {"top on row 13", [] { OpenOutline(6, 10, 8, 13); }, 6, 10, 0, 0},
        {"top on row 12", [] { OpenOutline(6, 9, 8, 12); }, 6, 9, 0, 10},
    };
    for (const Case& c : cases) {
        Fresh();
        PlayFrom(0);
        Game.streak = 2;  // an erase by this lock makes it 3, a lock without one ends it
        c.layOut();
        Lock(c.x, c.y, c.kind);
        EXPECT_EQ(V(Game.stepLines, Game.phase, Game.streak),
                  c.stepLines ? V(c.stepLines, PhaseErasing, 3) : V(0, PhaseNext, 0))
            << c.name;
        EXPECT_EQ(Game.stepPoints, c.stepLines * (c.stepLines - 3) * 5 * 5) << c.name;
    }
}

TEST_F(EraseTest, NestedRectanglesAreBothErasedButDropOnlyOnce) {
    PlayFrom(0);
    OpenOutline(1, 1, 6, 6);
    Y(6, 1);
    Y(6, 2);
    OpenOutline(2, 2, 4, 4);
    Y(4, 2);
    Y(4, 3);
    X(3, 8);  // above the box: lands five rows lower
    Lock(4, 3);
    EXPECT_EQ(V(Game.stepLines, EraseMarkX[2][2]), V(15 + 8, 2));
    StepsWhile(PhaseErasing);
    EXPECT_EQ(V(XLineGrid[3][3], XLineGrid[3][8]), V(kColour, LineEmpty));
}

// Lines over the rectangle drop within its columns; the row just above the moving stretch is
// emptied first, and nothing above that moves.
TEST_F(EraseTest, CollapseDropsOnlyTheRectanglesColumnsAndLosesTheRowAboveTheField) {
    PlayFrom(0);
    X(2, 5);
    Y(3, 4);
    X(3, 5);
    Y(4, 4);
    X(1, 13);
    Y(1, 12);
    X(1, 14);
    Y(1, 13);
    CloseFloorSquare();
    StepsWhile(PhaseErasing);
    EXPECT_EQ(V(XLineGrid[2][3], YLineGrid[3][2], XLineGrid[2][5], YLineGrid[3][4]),
              V(kColour, kColour, 0, 0));
    EXPECT_EQ(V(XLineGrid[3][5], YLineGrid[4][4], XLineGrid[3][3], YLineGrid[4][2]),
              V(kColour, kColour, 0, 0));
    for (int j = 2; j <= 13; ++j) EXPECT_EQ(XLineGrid[1][j] + YLineGrid[1][j - 1], LineEmpty) << j;
    EXPECT_EQ(V(XLineGrid[1][14], YLineGrid[1][13], XLineGrid[0][1]),
              V(kColour, kColour, LineWall));
}

// A floating 4 x 2 box erases first; lines above it drop into the gaps of a square on the
// floor below, which then erases as the second step.
TEST_F(EraseTest, TwoStepChainScoresWithTheChainSquareAndCountsTheRunningTotal) {
    PlayFrom(0);
    for (int i = 1; i <= 4; ++i) {
        X(i, 2);
        X(i, 4);
    }
    Y(1, 2);
    Y(1, 3);
    Y(2, 1);
    Y(3, 1);
    Y(4, 1);  // the square's lower sides, under the box
    Y(2, 4);
    Y(3, 4);
    Y(4, 4);
    X(2, 5);
    X(3, 5);     // its upper sides and top, above it
    Lock(3, 2);  // the box's right side
    EXPECT_EQ(V(Game.stepLines, Game.stepPoints), V(12, 12 * 9 * 5 * 5));
    EXPECT_EQ(StepsWhile(PhaseErasing), 61);
    EXPECT_EQ(StepsWhile(PhaseNext), 21);
    // The second step and a medal for the chain of two; a chain step is no new lock for the streak.
    EXPECT_EQ(
        V(Game.phase, Game.chain, Game.stepLines, Game.chainLines, Game.stepPoints, Game.streak),
        V(PhaseErasing, 2, 8, 20, 8 * 5 * 5 * 5 * 4, 1));
    EXPECT_EQ(V(Game.medals[MedalChain], Game.score, Game.lines), V(1, 2700 + 300000, 12));
    StepsWhile(PhaseErasing);
    EXPECT_EQ(V(Game.score, Game.lines, Game.levelLines), V(2700 + 300000 + 4000, 12 + 20, 32));
    EXPECT_EQ(StepsWhile(PhaseNext), 21);
    EXPECT_EQ(Game.dealt, 2);
}

// The level rises when an erase ends at 40 lines; at 9, 19 ... 99 it waits for the chain to end
// and the field is wiped, the floor and the rows above the field kept.
TEST_F(EraseTest, FortyLinesRaiseTheLevelOrBringTheLevelClear) {
    struct Case {
        int32_t level;
        bool clears;
        int32_t nextDelay, background;
    };
    for (Case c : {Case{0, false, 20, 0}, Case{9, true, 20, 4}, Case{99, true, 5, 11},
                   Case{109, false, 0, 11}}) {
        Fresh();
        PlayFrom(c.level);
        Game.levelLines = 35;
        X(6, 4);
        Y(7, 11);
        X(6, 13);
        Y(7, 12);
        CloseFloorSquare();
        StepsWhile(PhaseErasing);
        EXPECT_EQ(V(Game.level, Game.levelLines, Played(WaveSlotLevelChange).size()),
                  c.clears ? V(c.level, 41, 0) : V(c.level + 1, 0, 1))
            << c.level;
        if (!c.clears) continue;
        g_waves.clear();
        StepsWhile(PhaseNext);  // the banner hides the popup; no piece is dealt
        EXPECT_EQ(V(Game.phase, Game.bannerLevel, Game.popupTimer, Game.dealt),
                  V(PhaseLevelClear, c.level + 1, 0, 1));
        EXPECT_EQ(Played(), V(WaveSlotErasing));
        EXPECT_EQ(StepsWhile(PhaseLevelClear), 61);
        EXPECT_EQ(V(Game.level, Game.levelLines, Game.nextTimer, Scene.backgroundIndex,
                    Played(WaveSlotLevelChange).size()),
                  V(c.level + 1, 0, c.nextDelay, c.background, 1));  // the wait is the old level's
        EXPECT_EQ(V(XLineGrid[6][4], YLineGrid[7][11], YLineGrid[3][1], XLineGrid[6][13],
                    YLineGrid[7][12], XLineGrid[3][1]),
                  V(0, 0, 0, kColour, kColour, LineGrey));
    }
}

}  // namespace
