// The field grids, the piece shapes and the fit test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/field.h"
#include "game/motion.h"
#include "support/fresh.h"

namespace {

// The shapes as a designer draws them: each line by its box position (dx, dy), dy upward.
struct DrawnShape {
    int kind;
    const char* rotations[4];
};

const DrawnShape kDrawnShapes[] = {
    {0, {"y: (2,0) (2,1) (2,2)", "x: (0,2) (1,2) (2,2)", "y: (2,0) (2,1) (2,2)", "x: (0,2) (1,2) (2,2)"}},
    {1, {"x: (1,0); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (0,0)", "x: (0,2); y: (1,0) (1,1)",
         "x: (0,1) (1,1); y: (2,1)"}},
    {2, {"x: (1,0) (1,1); y: (1,0)", "x: (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (2,0)",
         "x: (1,0); y: (1,0) (2,0)"}},
    {3, {"x: (1,1); y: (1,0) (2,1)", "x: (1,0) (0,1); y: (1,0)", "x: (1,1); y: (1,0) (2,1)",
         "x: (1,0) (0,1); y: (1,0)"}},
    {4, {"x: (1,1); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (1,0)", "x: (0,1); y: (1,0) (1,1)",
         "x: (0,1) (1,1); y: (1,1)"}},
    {5, {"x: (1,2); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (2,0)", "x: (0,0); y: (1,0) (1,1)",
         "x: (0,1) (1,1); y: (0,1)"}},
    {6, {"x: (1,1); y: (2,0) (1,1)", "x: (0,0) (1,1); y: (1,0)", "x: (1,1); y: (2,0) (1,1)",
         "x: (0,0) (1,1); y: (1,0)"}},
    {7, {"x: (1,0) (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (1,0) (2,0)",
         "x: (1,0) (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (1,0) (2,0)"}},
};

// Reads a drawing into two 3 x 3 pictures [dx][dy] holding the colour where a line lies.
void ReadDrawing(const char* text, int colour, int x[3][3], int y[3][3]) {
    std::memset(x, 0, sizeof(int) * 9);
    std::memset(y, 0, sizeof(int) * 9);
    int (*grid)[3] = nullptr;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == 'x') grid = x;
        if (*c == 'y') grid = y;
        int dx = 0, dy = 0;
        if (*c == '(' && std::sscanf(c, "(%d,%d)", &dx, &dy) == 2) grid[dx][dy] = colour;
    }
}

std::string Describe(int kind, int rotation) {
    return "kind " + std::to_string(kind) + " rotation " + std::to_string(rotation);
}

void PlacePiece(int kind, int rotation, int x, int y) {
    Game.piece.kind = kind;
    Game.piece.rotation = rotation;
    Game.piece.x = x;
    Game.piece.y = y;
    LoadShape();
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ResetField();
    }
};

TEST_F(FieldTest, EveryShapeLoadsAsDrawn) {
    for (const DrawnShape& drawn : kDrawnShapes) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            int x[3][3], y[3][3];
            ReadDrawing(drawn.rotations[rotation], drawn.kind + 1, x, y);
            PlacePiece(drawn.kind, rotation, 0, 0);
            for (int dx = 0; dx < 3; ++dx) {
                for (int dy = 0; dy < 3; ++dy) {
                    EXPECT_EQ(Game.piece.xLines[dx][dy], x[dx][dy])
                        << Describe(drawn.kind, rotation) << " x-line (" << dx << "," << dy << ")";
                    EXPECT_EQ(Game.piece.yLines[dx][dy], y[dx][dy])
                        << Describe(drawn.kind, rotation) << " y-line (" << dx << "," << dy << ")";
                    // The table's own byte order: row dy of three bytes from the bottom.
                    EXPECT_EQ(PieceShapeTable[drawn.kind][rotation].x[dy * 3 + dx], x[dx][dy]);
                    EXPECT_EQ(PieceShapeTable[drawn.kind][rotation].y[dy * 3 + dx], y[dx][dy]);
                }
            }
        }
    }
}

TEST_F(FieldTest, TurningReloadsTheLinesOfTheNewRotation) {
    PlacePiece(1, 1, 2, 5);
    Game.piece.rotation = 2;
    LoadShape();
    EXPECT_EQ(Game.piece.xLines[0][1], 0);   // rotation 1's arm is gone
    EXPECT_EQ(Game.piece.xLines[0][2], 2);
    EXPECT_EQ(Game.piece.yLines[1][0], 2);
}

TEST_F(FieldTest, PiecesEnterOneRowLowerOnlyForTheStraightLine) {
    EXPECT_EQ(SpawnRowTable[0], 10);
    for (int kind = 1; kind < kPieceKinds; ++kind) EXPECT_EQ(SpawnRowTable[kind], 11) << kind;
}

TEST_F(FieldTest, ResetPutsWallsFloorAndEmptyInteriors) {
    XLineGrid[3][5] = 4;
    YLineGrid[2][7] = 6;
    EraseMarkX[4][4] = 1;
    DropMarkY[5][5] = 3;
    ResetField();
    for (int i = 0; i < kXGridColumns; ++i) {
        for (int j = 0; j < kXGridRows; ++j) {
            const bool wall = i == 0 || i == 8 || j == 0;
            const int expected = wall ? -1 : (j == 1 ? 9 : 0);
            EXPECT_EQ(XLineGrid[i][j], expected) << i << "," << j;
            EXPECT_EQ(EraseMarkX[i][j], wall ? -1 : 0) << i << "," << j;
            EXPECT_EQ(DropMarkX[i][j], wall ? -1 : 0) << i << "," << j;
        }
    }
    for (int i = 0; i < kYGridColumns; ++i) {
        for (int j = 0; j < kYGridRows; ++j) {
            const bool wall = i == 0 || i == 9 || j == 0;
            EXPECT_EQ(YLineGrid[i][j], wall ? -1 : 0) << i << "," << j;
            EXPECT_EQ(EraseMarkY[i][j], wall ? -1 : 0) << i << "," << j;
            EXPECT_EQ(DropMarkY[i][j], wall ? -1 : 0) << i << "," << j;
        }
    }
}

// The horizontal straight line fills box row 2; the vertical one box column 2.
struct WallCase {
    int rotation, x, y, expected;
};

TEST_F(FieldTest, WallsAndGridEdges) {
    const WallCase cases[] = {
        {1, -1, 6, FitBlocked},   // column -1 lies outside the grid
        {1, 0, 6, FitBlocked},    // column 0 is the left wall
        {1, 1, 6, FitFree},
        {1, 5, 6, FitFree},       // columns 5..7, the last three
        {1, 6, 6, FitBlocked},    // column 8 is the right wall
        {0, -1, 6, FitFree},      // vertical line on lattice column 1
        {0, 6, 6, FitFree},       // vertical line on lattice column 8
        {0, 7, 6, FitBlocked},    // column 9 is the right wall of the y-lines
        {0, 8, 6, FitBlocked},    // outside the grid
        {1, 3, 13, FitFree},      // x-lines on row 15, the top row
        {1, 3, 14, FitBlocked},   // row 16 does not exist
        {0, 3, 12, FitFree},      // y-lines on rows 12..14
        {0, 3, 13, FitBlocked},   // row 15 does not exist for y-lines
        {1, 3, 0, FitResting},    // x-lines on row 2, on the floor line
        {1, 3, -1, FitBlocked},   // x-lines in the floor line
        {0, 3, 1, FitResting},    // y-lines from row 1 stand on the wall row
        {0, 3, 0, FitBlocked},
        {0, 3, -1, FitBlocked},
    };
    for (const WallCase& c : cases) {
        PlacePiece(0, c.rotation, c.x, c.y);
        EXPECT_EQ(TestFit(), c.expected) << "rotation " << c.rotation << " at " << c.x << "," << c.y;
    }
}

TEST_F(FieldTest, VerticalLineFallsThroughARowOfXLines) {
    for (int i = 1; i <= 7; ++i) XLineGrid[i][5] = 3;
    PlacePiece(0, 0, 2, 10);
    EXPECT_EQ(DropToRest(), 9);
    EXPECT_EQ(Game.piece.y, 1);
    EXPECT_EQ(TestFit(), FitResting);
}

TEST_F(FieldTest, VerticalLineStopsOnTheYLineBelowIt) {
    for (int i = 1; i <= 7; ++i) XLineGrid[i][5] = 3;
    YLineGrid[4][3] = 2;
    PlacePiece(0, 0, 2, 10);
    DropToRest();
    EXPECT_EQ(Game.piece.y, 4);
    EXPECT_EQ(TestFit(), FitResting);
}

TEST_F(FieldTest, XLineIsNotHeldByAYLineThatEndsUnderIt) {
    YLineGrid[3][5] = 2;   // joins (3,5) to (3,6)
    PlacePiece(0, 1, 1, 4);   // x-lines on row 6, columns 1..3
    EXPECT_EQ(TestFit(), FitFree);
    PlacePiece(0, 1, 1, 3);   // row 5 crosses the y-line's foot
    EXPECT_EQ(TestFit(), FitFree);
}

TEST_F(FieldTest, YLineIsNotHeldByAnXLineUnderIt) {
    XLineGrid[4][5] = 2;
    PlacePiece(0, 0, 2, 5);   // y-line from (4,5) upward
    EXPECT_EQ(TestFit(), FitFree);
}

// Every settled colour, and the grey of the floor and of the game over, acts alike.
TEST_F(FieldTest, AnySettledLineBlocksAndSupports) {
    for (int value = 1; value <= 9; ++value) {
        ResetField();
        XLineGrid[3][6] = value;
        YLineGrid[6][4] = value;
        PlacePiece(0, 1, 1, 4);   // x-lines row 6, columns 1..3
        EXPECT_EQ(TestFit(), FitBlocked) << value;
        PlacePiece(0, 1, 1, 5);
        EXPECT_EQ(TestFit(), FitResting) << value;
        PlacePiece(0, 1, 1, 6);
        EXPECT_EQ(TestFit(), FitFree) << value;

        PlacePiece(0, 0, 4, 2);   // y-lines column 6, rows 2..4
        EXPECT_EQ(TestFit(), FitBlocked) << value;
        PlacePiece(0, 0, 4, 5);
        EXPECT_EQ(TestFit(), FitResting) << value;
        PlacePiece(0, 0, 4, 6);
        EXPECT_EQ(TestFit(), FitFree) << value;
    }
}

TEST_F(FieldTest, OnlyTheBoxLinesOfThePieceCount) {
    // A T resting by one line only: its y-line foot on a settled y-line.
    YLineGrid[4][4] = 5;
    PlacePiece(4, 0, 3, 5);   // x (1,1) -> (4,6); y (1,0),(1,1) -> column 4 rows 5, 6
    EXPECT_EQ(TestFit(), FitResting);
    PlacePiece(4, 0, 2, 5);   // one column left: nothing under it
    EXPECT_EQ(TestFit(), FitFree);
}

TEST_F(FieldTest, ShadowRowIsTestedWithoutMovingThePiece) {
    YLineGrid[6][3] = 7;
    PlacePiece(0, 0, 4, 10);
    EXPECT_EQ(TestShadowFit(4), FitResting);
    EXPECT_EQ(TestShadowFit(3), FitBlocked);
    EXPECT_EQ(TestShadowFit(8), FitFree);
    EXPECT_EQ(Game.piece.y, 10);
    EXPECT_EQ(TestFit(), FitFree);
}

}  // namespace
