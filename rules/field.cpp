#include "rules/field.h"

#include <cstring>

int32_t XLineGrid[kXGridColumns][kXGridRows];
int32_t YLineGrid[kYGridColumns][kYGridRows];
int32_t EraseMarkX[kXGridColumns][kXGridRows];
int32_t DropMarkX[kXGridColumns][kXGridRows];
int32_t EraseMarkY[kYGridColumns][kYGridRows];
int32_t DropMarkY[kYGridColumns][kYGridRows];

GameState Game;

// Each shape is nine x-line bytes then nine y-line bytes, three box rows of three from the
// bottom row up (byte dy * 3 + dx); a byte is 0 or the kind's colour.
const PieceShape PieceShapeTable[kPieceKinds][kRotations] = {
    {
        // kind 0
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}},  // rotation 0
        {{0, 0, 0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 1, 0, 0, 1}},  // rotation 2
        {{0, 0, 0, 0, 0, 0, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 1
        {{0, 2, 0, 0, 0, 0, 0, 0, 0}, {0, 2, 0, 0, 2, 0, 0, 0, 0}},  // rotation 0
        {{0, 0, 0, 2, 2, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 0, 0, 0, 0, 0, 2, 0, 0}, {0, 2, 0, 0, 2, 0, 0, 0, 0}},  // rotation 2
        {{0, 0, 0, 2, 2, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 2, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 2
        {{0, 3, 0, 0, 3, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0, 0, 0, 0}},  // rotation 0
        {{0, 0, 0, 0, 3, 0, 0, 0, 0}, {0, 3, 3, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 3, 0, 0, 3, 0, 0, 0, 0}, {0, 0, 3, 0, 0, 0, 0, 0, 0}},  // rotation 2
        {{0, 3, 0, 0, 0, 0, 0, 0, 0}, {0, 3, 3, 0, 0, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 3
        {{0, 0, 0, 0, 4, 0, 0, 0, 0}, {0, 4, 0, 0, 0, 4, 0, 0, 0}},  // rotation 0
        {{0, 4, 0, 4, 0, 0, 0, 0, 0}, {0, 4, 0, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 0, 0, 0, 4, 0, 0, 0, 0}, {0, 4, 0, 0, 0, 4, 0, 0, 0}},  // rotation 2
        {{0, 4, 0, 4, 0, 0, 0, 0, 0}, {0, 4, 0, 0, 0, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 4
        {{0, 0, 0, 0, 5, 0, 0, 0, 0}, {0, 5, 0, 0, 5, 0, 0, 0, 0}},  // rotation 0
        {{0, 0, 0, 5, 5, 0, 0, 0, 0}, {0, 5, 0, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 0, 0, 5, 0, 0, 0, 0, 0}, {0, 5, 0, 0, 5, 0, 0, 0, 0}},  // rotation 2
        {{0, 0, 0, 5, 5, 0, 0, 0, 0}, {0, 0, 0, 0, 5, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 5
        {{0, 0, 0, 0, 0, 0, 0, 6, 0}, {0, 6, 0, 0, 6, 0, 0, 0, 0}},  // rotation 0
        {{0, 0, 0, 6, 6, 0, 0, 0, 0}, {0, 0, 6, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{6, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 6, 0, 0, 6, 0, 0, 0, 0}},  // rotation 2
        {{0, 0, 0, 6, 6, 0, 0, 0, 0}, {0, 0, 0, 6, 0, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 6
        {{0, 0, 0, 0, 7, 0, 0, 0, 0}, {0, 0, 7, 0, 7, 0, 0, 0, 0}},  // rotation 0
        {{7, 0, 0, 0, 7, 0, 0, 0, 0}, {0, 7, 0, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 0, 0, 0, 7, 0, 0, 0, 0}, {0, 0, 7, 0, 7, 0, 0, 0, 0}},  // rotation 2
        {{7, 0, 0, 0, 7, 0, 0, 0, 0}, {0, 7, 0, 0, 0, 0, 0, 0, 0}},  // rotation 3
    },
    {
        // kind 7
        {{0, 8, 0, 0, 8, 0, 0, 0, 0}, {0, 8, 8, 0, 0, 0, 0, 0, 0}},  // rotation 0
        {{0, 8, 0, 0, 8, 0, 0, 0, 0}, {0, 8, 8, 0, 0, 0, 0, 0, 0}},  // rotation 1
        {{0, 8, 0, 0, 8, 0, 0, 0, 0}, {0, 8, 8, 0, 0, 0, 0, 0, 0}},  // rotation 2
        {{0, 8, 0, 0, 8, 0, 0, 0, 0}, {0, 8, 8, 0, 0, 0, 0, 0, 0}},  // rotation 3
    },
};

// The straight line enters one row lower: its lines sit in the top box row when lying flat.
const int32_t SpawnRowTable[kPieceKinds] = {10, 11, 11, 11, 11, 11, 11, 11};

namespace {

bool InXGrid(int32_t i, int32_t j) {
    return i >= 0 && i < kXGridColumns && j >= 0 && j < kXGridRows;
}

bool InYGrid(int32_t i, int32_t j) {
    return i >= 0 && i < kYGridColumns && j >= 0 && j < kYGridRows;
}

// A line is held by whatever lies directly under it in its own grid. Below row 0 there is
// nothing to read; a line there would already have been refused as blocked, but the grid's
// lower edge holds it should the walls ever be missing.
bool XHeld(int32_t i, int32_t j) { return j < 1 || XLineGrid[i][j - 1] != LineEmpty; }
bool YHeld(int32_t i, int32_t j) { return j < 1 || YLineGrid[i][j - 1] != LineEmpty; }

int32_t FitAt(int32_t x, int32_t y) {
    const Piece& p = Game.piece;

    // Out of the grids first, so the later steps never index outside them.
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.xLines[dx][dy] != 0 && !InXGrid(x + dx, y + dy)) return FitBlocked;
            if (p.yLines[dx][dy] != 0 && !InYGrid(x + dx, y + dy)) return FitBlocked;
        }
    }

    // Walls, the floor and settled lines all block; an x-line only meets x-lines and a
    // y-line only y-lines.
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.xLines[dx][dy] != 0 && XLineGrid[x + dx][y + dy] != LineEmpty) return FitBlocked;
            if (p.yLines[dx][dy] != 0 && YLineGrid[x + dx][y + dy] != LineEmpty) return FitBlocked;
        }
    }

    // One held line holds the whole piece.
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.xLines[dx][dy] != 0 && XHeld(x + dx, y + dy)) return FitResting;
            if (p.yLines[dx][dy] != 0 && YHeld(x + dx, y + dy)) return FitResting;
        }
    }

    return FitFree;
}

}  // namespace

int32_t TestFit() { return FitAt(Game.piece.x, Game.piece.y); }

int32_t TestShadowFit(int32_t row) { return FitAt(Game.piece.x, row); }

void LoadShape() {
    Piece& p = Game.piece;
    // A kind or rotation outside the table has no lines rather than someone else's bytes.
    const bool known =
        p.kind >= 0 && p.kind < kPieceKinds && p.rotation >= 0 && p.rotation < kRotations;
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (!known) {
                p.xLines[dx][dy] = 0;
                p.yLines[dx][dy] = 0;
                continue;
            }
            const PieceShape& shape = PieceShapeTable[p.kind][p.rotation];
            p.xLines[dx][dy] = shape.x[dy * 3 + dx];
            p.yLines[dx][dy] = shape.y[dy * 3 + dx];
        }
    }
}

int32_t DropToRest() {
    int32_t rows = 0;
    while (TestFit() == FitFree) {
        Game.piece.y -= 1;
        ++rows;
    }
    return rows;
}

void LockPiece() {
    const Piece& p = Game.piece;
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            const int32_t i = p.x + dx;
            const int32_t j = p.y + dy;
            // A piece only ever stands inside the grids; the check keeps a stray one from
            // writing past them.
            if (p.xLines[dx][dy] != 0 && i >= 0 && i < kXGridColumns && j >= 0 && j < kXGridRows) {
                XLineGrid[i][j] = p.xLines[dx][dy];
            }
            if (p.yLines[dx][dy] != 0 && i >= 0 && i < kYGridColumns && j >= 0 && j < kYGridRows) {
                YLineGrid[i][j] = p.yLines[dx][dy];
            }
        }
    }
}

void ResetField() {
    for (int i = 0; i < kXGridColumns; ++i) {
        for (int j = 0; j < kXGridRows; ++j) {
            const bool wall = i == 0 || i == kXGridColumns - 1 || j == 0;
            XLineGrid[i][j] = wall ? LineWall : (j == 1 ? LineGrey : LineEmpty);
            EraseMarkX[i][j] = wall ? LineWall : 0;
            DropMarkX[i][j] = wall ? LineWall : 0;
        }
    }
    for (int i = 0; i < kYGridColumns; ++i) {
        for (int j = 0; j < kYGridRows; ++j) {
            const bool wall = i == 0 || i == kYGridColumns - 1 || j == 0;
            YLineGrid[i][j] = wall ? LineWall : LineEmpty;
            EraseMarkY[i][j] = wall ? LineWall : 0;
            DropMarkY[i][j] = wall ? LineWall : 0;
        }
    }
}

void ClearFieldGrids() {
    std::memset(XLineGrid, 0, sizeof XLineGrid);
    std::memset(YLineGrid, 0, sizeof YLineGrid);
    std::memset(EraseMarkX, 0, sizeof EraseMarkX);
    std::memset(DropMarkX, 0, sizeof DropMarkX);
    std::memset(EraseMarkY, 0, sizeof EraseMarkY);
    std::memset(DropMarkY, 0, sizeof DropMarkY);
}

void ResetGame() {
    Game = GameState{};
    ClearFieldGrids();
}
