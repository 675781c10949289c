// GameDraw and the field: the view grids, the falling piece with its shadow, the flashing
// lines, the line pictures and the next-piece preview.
#include "game/game_screen.h"

#include "frame/sprite.h"
#include "game/game_scene.h"
#include "game/game_screen_panel.h"
#include "rules/dealing.h"
#include "rules/motion.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"

int32_t ViewXGrid[kXGridColumns][kXGridRows];
int32_t ViewYGrid[kYGridColumns][kYGridRows];

namespace {

// The visible field: x-lines columns 1..7 rows 1..12, y-lines columns 1..8 rows 1..11.
// Rows above are the entry area, never drawn except as the preview.
constexpr int kLevelClearFirstXRow = 2;  // the floor line stays grey through a level clear

constexpr int32_t kCellPitch = 32;
constexpr int32_t kXLineLeft = 207, kXLineTop = 442;
constexpr int32_t kYLineLeft = 202, kYLineTop = 415;

// Line sheets: x-line images 33 x 11 on a pitch of 32 across and 10 down; the y-line sheet
// is the same turned. The grey picture sits at column 0, row 0.
constexpr int32_t kLineLong = 33, kLineShort = 11;
constexpr int32_t kSheetColumnPitch = 32, kSheetRowPitch = 10;

constexpr int32_t kShadowBelowLevel = 10;
constexpr int32_t kFlashColours = 6;

// The preview stands in columns 3..5 of x-line rows 13 and 14 and y-line row 13.
constexpr int32_t kPreviewColumn = 2;  // box column 0 lies on lattice column 3
constexpr int32_t kPreviewXRow = 12;   // box row 0 of the x-lines lies on row 13
constexpr int32_t kPreviewYTop = 31;   // y-line row 13
constexpr int32_t kEntryRotation = 1;

constexpr int32_t kNoRank = kRankingEntries;  // NewRank of a score that did not rank

// A lowest box row for the shadow search: every line of a piece lies below the grids there,
// so only a piece without lines could still fit, and it must not search forever.
constexpr int32_t kLowestShadowRow = -3;

bool InXView(int64_t i, int64_t j) {
    return i >= kXFirstColumn && i <= kXLastColumn && j >= kFloorRow && j <= kXTopRow;
}
bool InYView(int64_t i, int64_t j) {
    return i >= kYFirstColumn && i <= kYLastColumn && j >= kFloorRow && j <= kYTopRow;
}

// A colour 1..6 that runs diagonally across the field and changes every frame.
int32_t FlashColour(int i, int j) {
    const int64_t n = static_cast<int64_t>(i) - j + Scene.frame + 18;
    return static_cast<int32_t>(((n % kFlashColours) + kFlashColours) % kFlashColours) + 1;
}

void FillPieceX(int32_t row, int32_t codeBase) {
    const Piece& p = Game.piece;
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.xLines[dx][dy] == 0) continue;
            const int64_t i = static_cast<int64_t>(p.x) + dx, j = static_cast<int64_t>(row) + dy;
            if (InXView(i, j)) ViewXGrid[i][j] = p.xLines[dx][dy] + codeBase;
        }
    }
}

void FillPieceY(int32_t row, int32_t codeBase) {
    const Piece& p = Game.piece;
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.yLines[dx][dy] == 0) continue;
            const int64_t i = static_cast<int64_t>(p.x) + dx, j = static_cast<int64_t>(row) + dy;
            if (InYView(i, j)) ViewYGrid[i][j] = p.yLines[dx][dy] + codeBase;
        }
    }
}

void FillSettledX() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i)
        for (int j = kFloorRow; j <= kXTopRow; ++j)
            if (XLineGrid[i][j] > 0) ViewXGrid[i][j] = XLineGrid[i][j] + ViewSettled;
}

void FillSettledY() {
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i)
        for (int j = kFloorRow; j <= kYTopRow; ++j)
            if (YLineGrid[i][j] > 0) ViewYGrid[i][j] = YLineGrid[i][j] + ViewSettled;
}

// Where the falling piece would come to rest.
void FindShadowRow() {
    Game.shadowRow = Game.piece.y;
    while (Game.shadowRow > kLowestShadowRow && TestShadowFit(Game.shadowRow) == FitFree) {
        Game.shadowRow -= 1;
    }
}

// The shadow blinks every other frame, only in the early levels; the piece covers it.
void FillFalling() {
    FindShadowRow();
    const bool shadow =
        Game.level < kShadowBelowLevel && Scene.frame % 2 == 0 && Settings.showLineShadow == 1;
    FillSettledX();
    if (shadow) FillPieceX(Game.shadowRow, ViewShadow);
    FillPieceX(Game.piece.y, 0);
    FillSettledY();
    if (shadow) FillPieceY(Game.shadowRow, ViewShadow);
    FillPieceY(Game.piece.y, 0);
}

void FillErasing() {
    FillSettledView();
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i)
        for (int j = kFloorRow; j <= kXTopRow; ++j)
            if (EraseMarkX[i][j] > 0) ViewXGrid[i][j] = FlashColour(i, j);
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i)
        for (int j = kFloorRow; j <= kYTopRow; ++j)
            if (EraseMarkY[i][j] > 0) ViewYGrid[i][j] = FlashColour(i, j);
}

void FillLevelClear() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i)
        for (int j = kLevelClearFirstXRow; j <= kXTopRow; ++j)
            if (XLineGrid[i][j] > 0) ViewXGrid[i][j] = FlashColour(i, j);
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i)
        for (int j = kFloorRow; j <= kYTopRow; ++j)
            if (YLineGrid[i][j] > 0) ViewYGrid[i][j] = FlashColour(i, j);
}

// The view grids for this frame; during READY only the grey lines show.
void FillView() {
    if (Scene.enterTimer > 0) {
        DrawReadyText(Scene.enterTimer);
        return;
    }
    if (Scene.leaveTimer != 0) {
        FillSettledView();
        return;
    }
    switch (Game.phase) {
        case PhaseFalling: FillFalling(); break;
        case PhaseLanded:
            FillSettledX();
            FillPieceX(Game.piece.y, 0);
            FillSettledY();
            FillPieceY(Game.piece.y, 0);
            break;
        case PhaseErasing: FillErasing(); break;
        case PhaseNext: FillSettledView(); break;
        case PhaseLevelClear: FillLevelClear(); break;
        default: break;
    }
}

void DrawXLinePicture(int32_t x, int32_t y, int32_t v) {
    const int32_t left = kSheetColumnPitch * (v / 10), top = kSheetRowPitch * (v % 10);
    DrawSprite(x, y, SlotLineX, left, top, left + kLineLong, top + kLineShort);
}

void DrawYLinePicture(int32_t x, int32_t y, int32_t v) {
    const int32_t left = kSheetRowPitch * (v % 10), top = kSheetColumnPitch * (v / 10);
    DrawSprite(x, y, SlotLineY, left, top, left + kLineShort, top + kLineLong);
}

// The READY countdown shows the first piece; afterwards the one that enters next.
int32_t PreviewKind() {
    if (Scene.enterTimer >= 1) {
        const int32_t kind = Game.sequence[0];
        return kind >= 0 && kind < kPieceKinds ? kind : 0;
    }
    return NextPieceKind();
}

void StepGameFades() {
    if (Scene.enterTimer > 0) StepFade(1, 0);
    // Only a game over that leads to the title fades out; the name entry starts visible.
    if (Scene.leaveTimer >= 1 && Scene.leaveTimer <= 20 && Scene.newRank == kNoRank) {
        StepFade(0, 0);
    }
}

}  // namespace

int32_t XLineScreenX(int32_t i) { return kXLineLeft + kCellPitch * (i - 1); }
int32_t XLineScreenY(int32_t j) { return kXLineTop - kCellPitch * (j - 1); }
int32_t YLineScreenX(int32_t i) { return kYLineLeft + kCellPitch * (i - 1); }
int32_t YLineScreenY(int32_t j) { return kYLineTop - kCellPitch * (j - 1); }

void ClearViewGrids() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i)
        for (int j = kFloorRow; j <= kXTopRow; ++j) ViewXGrid[i][j] = 0;
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i)
        for (int j = kFloorRow; j <= kYTopRow; ++j) ViewYGrid[i][j] = 0;
}

void FillSettledView() {
    FillSettledX();
    FillSettledY();
}

void DrawFieldLines() {
    for (int i = kXFirstColumn; i <= kXLastColumn; ++i) {
        for (int j = kFloorRow; j <= kXTopRow; ++j) {
            const int32_t v = ViewXGrid[i][j];
            const int32_t colour = v % 10;
            if (colour >= 1 && colour <= 8) {
                DrawXLinePicture(XLineScreenX(i), XLineScreenY(j), v);
            } else if (XLineGrid[i][j] == LineGrey) {
                DrawXLinePicture(XLineScreenX(i), XLineScreenY(j), 0);
            }
        }
    }
    for (int i = kYFirstColumn; i <= kYLastColumn; ++i) {
        for (int j = kFloorRow; j <= kYTopRow; ++j) {
            const int32_t v = ViewYGrid[i][j];
            if (v % 10 != 0 && YLineGrid[i][j] != LineGrey) {
                DrawYLinePicture(YLineScreenX(i), YLineScreenY(j), v);
            } else if (YLineGrid[i][j] == LineGrey) {
                DrawYLinePicture(YLineScreenX(i), YLineScreenY(j), 0);
            }
        }
    }
}

void DrawFrozenField() {
    ClearViewGrids();
    FillSettledView();
    DrawFieldLines();
}

// Kind 0 enters as a horizontal line of three along the top of its box, so its preview is
// drawn as one line in the upper preview row.
void DrawPreview(int32_t kind) {
    if (kind < 0 || kind >= kPieceKinds) return;
    int32_t p[3][2] = {};
    int32_t q[3] = {};
    if (kind == 0) {
        for (int i = 0; i < 3; ++i) p[i][1] = 1;
    } else {
        const PieceShape& shape = PieceShapeTable[kind][kEntryRotation];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 2; ++j) p[i][j] = shape.x[j * 3 + i];
            q[i] = shape.y[i];
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 2; ++j) {
            if (p[i][j] == 0) continue;
            DrawXLinePicture((i + kPreviewColumn) * kCellPitch + kXLineLeft,
                             kXLineTop - (j + kPreviewXRow) * kCellPitch, p[i][j] % 10);
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (q[i] % 10 == 0) continue;
        DrawYLinePicture((i + kPreviewColumn) * kCellPitch + kYLineLeft, kPreviewYTop, q[i] % 10);
    }
}

void GameDraw() {
    ClearViewGrids();
    DrawGameBackdrop();
    DrawPanel();
    FillView();
    DrawFieldLines();
    DrawPreview(PreviewKind());
    DrawMedals();
    if (Settings.eraseProperty == 1) DrawErasePopup();
    DrawLevelBanner();
    DrawGameOverText();
    DrawPhaseNumber();
    StepGameFades();
    DrawFrameRateText();
}

void ResetGameScreen() {
    for (auto& column : ViewXGrid)
        for (auto& code : column) code = 0;
    for (auto& column : ViewYGrid)
        for (auto& code : column) code = 0;
}
