#include "rules/erase.h"

#include "rules/dealing.h"
#include "rules/events.h"
#include "rules/field.h"
#include "rules/levels.h"
#include "rules/medals.h"
#include "rules/score.h"

namespace {

constexpr int32_t kPopupFrames = 180;
constexpr int32_t kLevelClearFrames = 60;
constexpr int32_t kBannerFrames = 120;
constexpr int32_t kLinesPerLevel = 40;

bool Present(int32_t value) { return value >= 1; }

// Levels 9, 19, ... 99 end with a level clear instead of rising at once.
bool LevelEndsWithClear(int32_t level) { return level % 10 == 9 && level <= 100; }

void ClearMarks() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i) {
        for (int j = kFloorRow; j <= kXTopRow; ++j) {
            EraseMarkX[i][j] = 0;
            DropMarkX[i][j] = 0;
        }
    }
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i) {
        for (int j = kFloorRow; j <= kYTopRow; ++j) {
            EraseMarkY[i][j] = 0;
            DropMarkY[i][j] = 0;
        }
    }
}

bool RectangleClosed(int i1, int j1, int i2, int j2) {
    for (int i = i1; i <= i2 - 1; ++i) {
        if (!Present(XLineGrid[i][j1]) || !Present(XLineGrid[i][j2])) return false;
    }
    for (int j = j1; j <= j2 - 1; ++j) {
        if (!Present(YLineGrid[i1][j]) || !Present(YLineGrid[i2][j])) return false;
    }
    return true;
}

// Every line on or inside the rectangle is erased; the grey floor serves as an edge but stays.
void MarkRectangle(int i1, int j1, int i2, int j2) {
    for (int i = i1; i <= i2 - 1; ++i) {
        for (int j = j1; j <= j2; ++j) {
            if (XLineGrid[i][j] > 0 && XLineGrid[i][j] != LineGrey) EraseMarkX[i][j] += 1;
            if (j != j2) DropMarkX[i][j] = 1;
        }
    }
    for (int i = i1; i <= i2; ++i) {
        for (int j = j1; j <= j2 - 1; ++j) {
            if (YLineGrid[i][j] > 0) EraseMarkY[i][j] += 1;
            DropMarkY[i][j] = 1;
        }
    }
}

// Every pair of corners is tried, so overlapping and nested rectangles are all found.
void MarkClosedRectangles() {
    for (int i1 = 1; i1 <= 6; ++i1) {
        for (int j1 = 1; j1 <= kYTopRow; ++j1) {
            if (!Present(XLineGrid[i1][j1]) || !Present(YLineGrid[i1][j1])) continue;
            for (int i2 = i1 + 2; i2 <= 8; ++i2) {
                for (int j2 = j1 + 2; j2 <= kXTopRow; ++j2) {
                    if (!Present(XLineGrid[i2 - 1][j2]) || !Present(YLineGrid[i2][j2 - 1]))
                        continue;
                    if (RectangleClosed(i1, j1, i2, j2)) MarkRectangle(i1, j1, i2, j2);
                }
            }
        }
    }
}

int32_t EraseMarkedLines() {
    int32_t erased = 0;
    for (int i = kXFirstColumn; i <= kXWallColumn; ++i) {
        for (int j = kFloorRow; j <= kXTopRow; ++j) {
            if (EraseMarkX[i][j] >= 1) {
                XLineGrid[i][j] = LineEmpty;
                ++erased;
            }
        }
    }
    for (int i = kYFirstColumn; i <= kYWallColumn; ++i) {
        for (int j = kFloorRow; j <= kYTopRow; ++j) {
            if (EraseMarkY[i][j] >= 1) {
                YLineGrid[i][j] = LineEmpty;
                ++erased;
            }
        }
    }
    return erased;
}

// The popup sits at the highest erased y-line, rightmost in its row. The scan keeps to the
// x-lines' columns and rows, so an erased y-line in the last column never anchors it.
void AnchorPopup() {
    for (int j = kFloorRow; j <= kXTopRow; ++j) {
        for (int i = kXFirstColumn; i <= kXLastColumn; ++i) {
            if (EraseMarkY[i][j] > 0) {
                Game.popupX = i;
                Game.popupY = j;
            }
        }
    }
}

// The collapse can pull the floor line up out of row 1; walls and floor go back in place
// without touching the lines that settled.
void RestoreWallsAndFloor() {
    for (int j = 0; j < kXGridRows; ++j) {
        XLineGrid[0][j] = LineWall;
        XLineGrid[kXGridColumns - 1][j] = LineWall;
    }
    for (int i = 0; i < kXGridColumns; ++i) XLineGrid[i][0] = LineWall;
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i) XLineGrid[i][kFloorRow] = LineGrey;
    for (int j = 0; j < kYGridRows; ++j) {
        YLineGrid[0][j] = LineWall;
        YLineGrid[kYGridColumns - 1][j] = LineWall;
    }
    for (int i = 0; i < kYGridColumns; ++i) YLineGrid[i][0] = LineWall;
}

void RaiseLevel() {
    Game.level += 1;
    Game.levelLines = 0;
    ApplyLevel(Game.level);
}

}  // namespace

void CheckErase(EraseOrigin origin) {
    ClearMarks();
    MarkClosedRectangles();
    Game.stepLines = EraseMarkedLines();

    if (Game.stepLines > 0) {
        Game.phase = PhaseErasing;
        Game.eraseTimer = Game.params.eraseDelay;
        Game.popupTimer = kPopupFrames;
        AnchorPopup();
        if (origin == AfterLock) {
            Game.chain = 1;
            Game.chainLines = Game.stepLines;
            Game.stepPoints = ErasePoints(Game.stepLines, Game.params.scoreFactor, 1);
            Game.streak = SaturatedAdd(Game.streak, 1);
        } else {
            Game.chain = SaturatedAdd(Game.chain, 1);
            Game.chainLines = SaturatedAdd(Game.chainLines, Game.stepLines);
            Game.stepPoints = ErasePoints(Game.stepLines, Game.params.scoreFactor, Game.chain);
        }
        CheckLineMedals();
        CheckChainMedals();
        CheckStreakMedals();
        EmitPlayEvent(PlayEraseBegan, 0);
        return;
    }

    if (origin == AfterLock) {
        Game.phase = PhaseNext;
        Game.nextTimer = Game.params.nextDelay;
        EmitPlayEvent(PlayLocked);
        Game.streak = 0;
        return;
    }

    // The chain is over.
    if (Game.levelLines >= kLinesPerLevel && LevelEndsWithClear(Game.level)) {
        Game.phase = PhaseLevelClear;
        EmitPlayEvent(PlayEraseBegan, 1);
        Game.eraseTimer = kLevelClearFrames;
        Game.bannerTimer = kBannerFrames;
        Game.bannerLevel = Game.level + 1;
        return;
    }
    SpawnPiece();
    if (Game.params.instantGravity) InstantGravityAfterEntry();
}

void UpdateErasing() {
    if (Game.eraseTimer >= 1) {
        Game.eraseTimer -= 1;
        return;
    }
    EmitPlayEvent(PlayEraseEnded);
    CollapseField();
    RestoreWallsAndFloor();
    Game.phase = PhaseNext;
    Game.nextTimer = Game.params.nextDelay;
    AddScore(Game.stepPoints);
    // Each step adds the chain's running total, so long chains count their early lines again.
    Game.lines = SaturatedAdd(Game.lines, Game.chainLines);
    Game.levelLines = SaturatedAdd(Game.levelLines, Game.chainLines);
    EmitPlayEvent(PlayLinesDropped);

    if (Game.levelLines >= kLinesPerLevel && !LevelEndsWithClear(Game.level)) RaiseLevel();
}

void UpdateNext() {
    if (Game.nextTimer < 1) {
        CheckErase(AfterWait);
    } else {
        Game.nextTimer -= 1;
    }
}

void UpdateLevelClear() {
    if (Game.eraseTimer >= 1) {
        Game.eraseTimer -= 1;
        return;
    }
    EmitPlayEvent(PlayEraseEnded);
    // The floor line and the entry area above the visible field are left alone.
    for (int i = kXFirstColumn; i <= kXWallColumn; ++i) {
        for (int j = 2; j <= kXTopRow; ++j) {
            if (XLineGrid[i][j] >= 1) XLineGrid[i][j] = LineEmpty;
        }
    }
    for (int i = kYFirstColumn; i <= kYWallColumn; ++i) {
        for (int j = kFloorRow; j <= kYTopRow; ++j) {
            if (YLineGrid[i][j] >= 1) YLineGrid[i][j] = LineEmpty;
        }
    }
    Game.phase = PhaseNext;
    // The wait after the wipe is the old level's, set before the new level's params apply.
    Game.nextTimer = Game.params.nextDelay;
    RaiseLevel();
}

// Lines above a rectangle drop only within its columns; overhangs beside it stay where they
// are. The row just above the moving stretch is emptied first, so a line lying there is lost.
void CollapseField() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i) {
        for (int j = kXTopRow; j >= kFloorRow; --j) {
            if (DropMarkX[i][j] <= 0) continue;
            XLineGrid[i][kXTopRow + 1] = LineEmpty;
            for (int k = j; k <= kXTopRow; ++k) XLineGrid[i][k] = XLineGrid[i][k + 1];
        }
    }
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i) {
        for (int j = kYTopRow; j >= kFloorRow; --j) {
            if (DropMarkY[i][j] <= 0) continue;
            YLineGrid[i][kYTopRow + 1] = LineEmpty;
            for (int k = j; k <= kYTopRow; ++k) YLineGrid[i][k] = YLineGrid[i][k + 1];
        }
    }
}
