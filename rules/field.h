#pragma once
// The playing field (two grids of unit lines), the pieces and their shapes, the fit test, the
// drop and the lock, and the GameState record that the rules and the game screen share.
#include <cstdint>

// LineValue meanings.
constexpr int32_t LineWall = -1;
constexpr int32_t LineEmpty = 0;
constexpr int32_t LineGrey = 9;

constexpr int kXGridColumns = 9;   // i = 0..8
constexpr int kXGridRows = 16;     // j = 0..15
constexpr int kYGridColumns = 10;  // i = 0..9
constexpr int kYGridRows = 15;     // j = 0..14

// The playing area between the walls (column 0 and the last column of each grid). Row 1 of
// the x-lines is the grey floor; x-line row 12 and y-line row 11 are the top of the visible
// field, where the search for rectangles and the collapse stop.
constexpr int kXFirstColumn = 1, kXLastColumn = 7, kXWallColumn = 8;
constexpr int kYFirstColumn = 1, kYLastColumn = 8, kYWallColumn = 9;
constexpr int kFloorRow = 1;
constexpr int kXTopRow = 12;
constexpr int kYTopRow = 11;

extern int32_t XLineGrid[kXGridColumns][kXGridRows];
extern int32_t YLineGrid[kYGridColumns][kYGridRows];
extern int32_t EraseMarkX[kXGridColumns][kXGridRows];
extern int32_t DropMarkX[kXGridColumns][kXGridRows];
extern int32_t EraseMarkY[kYGridColumns][kYGridRows];
extern int32_t DropMarkY[kYGridColumns][kYGridRows];

constexpr int kPieceKinds = 8;
constexpr int kRotations = 4;

struct Piece {
    int32_t kind;          // 0..7, colour kind + 1
    int32_t rotation;      // 0..3
    int32_t x, y;          // box offset on the lattice
    int32_t xLines[3][3];  // [dx][dy]
    int32_t yLines[3][3];
};

// Nine bytes of x-lines and nine of y-lines per kind and rotation, index dy * 3 + dx.
struct PieceShape {
    uint8_t x[9];
    uint8_t y[9];
};
extern const PieceShape PieceShapeTable[kPieceKinds][kRotations];
extern const int32_t SpawnRowTable[kPieceKinds];

// GamePhase values.
constexpr int32_t PhaseReady = 0;
constexpr int32_t PhaseFalling = 1;
constexpr int32_t PhaseLanded = 2;
constexpr int32_t PhaseErasing = 3;
constexpr int32_t PhaseNext = 4;
constexpr int32_t PhaseLevelClear = 5;
constexpr int32_t PhaseTopOut = -1;

// MedalKind values, in ranking and drawing order.
constexpr int MedalLevel = 0;
constexpr int MedalTime = 1;
constexpr int MedalLines = 2;
constexpr int MedalChain = 3;
constexpr int MedalStreak = 4;
constexpr int MedalCollection = 5;
constexpr int kMedals = 6;

constexpr int kSequenceLength = 1000;

struct LevelParams {
    int32_t fallDelay;
    int32_t lockDelay;
    int32_t eraseDelay;
    int32_t nextDelay;
    int32_t scoreFactor;
    int32_t instantGravity;
};

struct GameState {
    int32_t readyTimer;  // the READY countdown: the game scene's SceneEnterTimer
    int32_t overTimer;   // the game-over countdown: the game scene's SceneLeaveTimer
    int32_t startLevel;
    int32_t phase;
    int32_t score;
    int32_t lines;
    int32_t level;
    int32_t levelLines;
    int32_t elapsedMs;
    int32_t seed;
    int8_t sequence[kSequenceLength];
    int32_t dealt;
    Piece piece;
    int32_t fallTimer, lockTimer, eraseTimer, nextTimer;
    int32_t stepLines;
    int32_t chainLines;
    int32_t chain;
    int32_t stepPoints;
    int32_t streak;
    int32_t medals[kMedals];
    int32_t medalFlash[kMedals];
    int32_t popupTimer;
    int32_t popupX, popupY;
    int32_t bannerTimer;
    int32_t bannerLevel;
    int32_t shadowRow;
    LevelParams params;
};
extern GameState Game;

// FitResult values.
constexpr int32_t FitFree = 0;
constexpr int32_t FitResting = 1;
constexpr int32_t FitBlocked = 2;

int32_t TestFit();
int32_t TestShadowFit(int32_t row);
void LoadShape();
// Drops the piece while it fits freely; returns the number of rows it fell.
int32_t DropToRest();
// Writes the piece's lines into the grids.
void LockPiece();
void ResetField();
// Every grid all zero, as before the first game of the process.
void ClearFieldGrids();
// Back to the state of a process that has just started: no game, every grid zero.
void ResetGame();
