// The piece shapes and the fit test.
#include <cstdio>
#include <cstring>

#include "support/piece_fixture.h"

namespace {

// The shapes as a designer draws them: each line by its box position (dx, dy), dy upward.
const char* const kDrawnShapes[kPieceKinds][kRotations] = {
    {"y: (2,0) (2,1) (2,2)", "x: (0,2) (1,2) (2,2)", "y: (2,0) (2,1) (2,2)",
     "x: (0,2) (1,2) (2,2)"},
    {"x: (1,0); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (0,0)", "x: (0,2); y: (1,0) (1,1)",
     "x: (0,1) (1,1); y: (2,1)"},
    {"x: (1,0) (1,1); y: (1,0)", "x: (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (2,0)",
     "x: (1,0); y: (1,0) (2,0)"},
    {"x: (1,1); y: (1,0) (2,1)", "x: (1,0) (0,1); y: (1,0)", "x: (1,1); y: (1,0) (2,1)",
     "x: (1,0) (0,1); y: (1,0)"},
    {"x: (1,1); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (1,0)", "x: (0,1); y: (1,0) (1,1)",
     "x: (0,1) (1,1); y: (1,1)"},
    {"x: (1,2); y: (1,0) (1,1)", "x: (0,1) (1,1); y: (2,0)", "x: (0,0); y: (1,0) (1,1)",
     "x: (0,1) (1,1); y: (0,1)"},
    {"x: (1,1); y: (2,0) (1,1)", "x: (0,0) (1,1); y: (1,0)", "x: (1,1); y: (2,0) (1,1)",
     "x: (0,0) (1,1); y: (1,0)"},
    {"x: (1,0) (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (1,0) (2,0)",
     "x: (1,0) (1,1); y: (1,0) (2,0)", "x: (1,0) (1,1); y: (1,0) (2,0)"},
};

using FieldTest = GameTest;

TEST_F(FieldTest, EveryShapeLoadsAsDrawn) {
    for (int kind = 0; kind < kPieceKinds; ++kind) {
        for (int rotation = 0; rotation < kRotations; ++rotation) {
            int32_t drawn[2][3][3] = {};  // x-lines and y-lines by [dx][dy]
            int grid = 0, dx = 0, dy = 0;
            for (const char* c = kDrawnShapes[kind][rotation]; *c; ++c) {
                if (*c == 'x' || *c == 'y') grid = *c - 'x';
                if (std::sscanf(c, "(%d,%d)", &dx, &dy) == 2) drawn[grid][dx][dy] = kind + 1;
            }
            Place(kind, rotation, 0, 0);
            EXPECT_EQ(std::memcmp(drawn[0], Game.piece.xLines, sizeof drawn[0]), 0)
                << kind << "/" << rotation;
            EXPECT_EQ(std::memcmp(drawn[1], Game.piece.yLines, sizeof drawn[1]), 0)
                << kind << "/" << rotation;
        }
    }
}

// The straight line, upright (rotation 0) in box column 2 or flat (rotation 1) in box row 2. A
// settled colour and the grey line act alike; an x-line meets only x-lines, a y-line only y-lines.
TEST_F(FieldTest, FitAtWallsFloorAndSettledLinesOfBothKinds) {
    struct Case {
        int rotation, x, y, fit;
    };
    const Case cases[] = {
        {1, -1, 6, FitBlocked}, {1, 0, 6, FitBlocked},
        {1, 1, 6, FitFree},     {1, 5, 6, FitFree},
        {1, 6, 6, FitBlocked},  {0, -1, 6, FitFree},
        {0, 6, 6, FitFree},     {0, 7, 6, FitBlocked},
        {0, 8, 6, FitBlocked},  // side walls
        {1, 3, 13, FitFree},    {1, 3, 14, FitBlocked},
        {0, 3, 12, FitFree},    {0, 3, 13, FitBlocked},  // top
        {1, 3, 0, FitResting},  {1, 3, -1, FitBlocked},
        {0, 3, 1, FitResting},  {0, 3, 0, FitBlocked},  // floor
        {1, 1, 4, FitBlocked},  {1, 1, 5, FitResting},
        {1, 1, 6, FitFree},  // flat, over x-line (3, 6)
        {0, 4, 2, FitBlocked},  {0, 4, 5, FitResting},
        {0, 4, 6, FitFree},                          // upright, over y-line (6, 4)
        {1, 4, 3, FitFree},     {0, 1, 6, FitFree},  // on a line of the other kind
    };
    for (int32_t value : {4, LineGrey}) {
        ResetField();
        XLineGrid[3][6] = YLineGrid[6][4] = value;
        for (const Case& c : cases) {
            Place(0, c.rotation, c.x, c.y);
            EXPECT_EQ(TestFit(), c.fit)
                << value << ": rotation " << c.rotation << " at " << c.x << "," << c.y;
        }
    }
}

}  // namespace
