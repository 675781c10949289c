// The game screen as the player sees it: every picture GameDraw copies is recorded through
// the sprite trace and compared with places worked out here from the screen's geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "frame/frame.h"
#include "frame/sprite.h"
#include "game/field.h"
#include "game/game_scene.h"
#include "game/game_screen.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "support/fresh.h"

namespace {

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
    bool operator==(const Sprite&) const = default;
};
std::vector<Sprite> g_sprites;

void Record(int32_t x, int32_t y, uint32_t slot, int32_t l, int32_t t, int32_t r, int32_t b) {
    g_sprites.push_back({x, y, slot, l, t, r, b});
}

// Slots of the pictures and fonts the screen uses.
constexpr uint32_t kLineX = 16, kLineY = 17;
constexpr uint32_t kSmallWhite = 1, kSmallYellow = 3, kFigures = 8;   // FontIds 0, 2, 7
constexpr uint32_t kLargeRed = 32;                                     // FontId 15
constexpr uint32_t kBigWhite = 38, kBigRed = 39, kBigYellow = 40;      // FontIds 21..23

// Screen geometry of the field, lattice column i and row j counted from the floor.
Sprite XLine(int i, int j, int col, int row) {
    return {207 + 32 * (i - 1), 442 - 32 * (j - 1), kLineX,
            32 * col,           10 * row,           32 * col + 33, 10 * row + 11};
}
Sprite YLine(int i, int j, int col, int row) {
    return {202 + 32 * (i - 1), 415 - 32 * (j - 1), kLineY,
            10 * row,           32 * col,           10 * row + 11, 32 * col + 33};
}

std::vector<Sprite> OfSlot(uint32_t slot) {
    std::vector<Sprite> out;
    for (const Sprite& s : g_sprites)
        if (s.slot == slot) out.push_back(s);
    return out;
}

bool Drawn(const Sprite& want) {
    return std::find(g_sprites.begin(), g_sprites.end(), want) != g_sprites.end();
}

// The characters of one font drawn on one pixel row, keyed by x, read back from the glyph
// grid (16 glyphs per row, starting at the space).
std::map<int32_t, char> GlyphsAt(uint32_t slot, int32_t y, int32_t size) {
    std::map<int32_t, char> out;
    for (const Sprite& s : g_sprites) {
        if (s.slot != slot || s.y != y) continue;
        out[s.x] = static_cast<char>(32 + (s.top / size) * 16 + s.left / size);
    }
    return out;
}
std::string TextAt(uint32_t slot, int32_t y, int32_t size) {
    std::string text;
    for (const auto& [x, ch] : GlyphsAt(slot, y, size)) text += ch;
    return text;
}

class GameScreen : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        g_sprites.clear();
        SetSpriteTrace(Record);
        // A game in play on an empty field.
        ResetField();
        SceneId = SceneGameNormal;
        Game.phase = PhaseNext;
        Game.nextTimer = 100;
        NewRank = 10;
    }
    void TearDown() override { SetSpriteTrace(nullptr); }

    void Draw() {
        g_sprites.clear();
        GameDraw();
    }
    void SetPiece(int32_t kind, int32_t rotation, int32_t x, int32_t y) {
        Game.piece.kind = kind;
        Game.piece.rotation = rotation;
        Game.piece.x = x;
        Game.piece.y = y;
        LoadShape();
    }
};

TEST_F(GameScreen, ReadyShowsOnlyTheFloorAndTheFirstPiece) {
    StartGame(1);
    XLineGrid[4][3] = 5;   // would be hidden during READY in any case
    Game.sequence[0] = 2;  // the bracket: rotation 1 has x-line (1,1), y-lines (1,0) (2,0)
    Game.sequence[1] = 0;
    Game.dealt = 1;        // READY ignores the dealing position
    Draw();

    std::vector<Sprite> want;
    for (int i = 1; i <= 7; ++i) want.push_back(XLine(i, 1, 0, 0));   // the grey floor
    want.push_back(XLine(4, 14, 0, 3));                               // preview, colour 3
    std::vector<Sprite> xs = OfSlot(kLineX);
    EXPECT_EQ(xs, want);
    EXPECT_EQ(OfSlot(kLineY), (std::vector<Sprite>{YLine(4, 13, 0, 3), YLine(5, 13, 0, 3)}));
    EXPECT_EQ(FadeLevel, 1);   // fading in from black
}

// The preview of every kind in its entry rotation: x-lines on rows 13 and 14, y-lines on
// row 13, columns 3..5; kind 0 lies flat on row 14.
struct PreviewLines {
    std::vector<std::pair<int, int>> x, y;   // lattice (column, row)
};
const PreviewLines kPreview[kPieceKinds] = {
    {{{3, 14}, {4, 14}, {5, 14}}, {}},
    {{{3, 14}, {4, 14}}, {{3, 13}}},
    {{{4, 14}}, {{4, 13}, {5, 13}}},
    {{{3, 14}, {4, 13}}, {{4, 13}}},
    {{{3, 14}, {4, 14}}, {{4, 13}}},
    {{{3, 14}, {4, 14}}, {{5, 13}}},
    {{{3, 13}, {4, 14}}, {{4, 13}}},
    {{{4, 13}, {4, 14}}, {{4, 13}, {5, 13}}},
};

// Sprites of one kind's lines, drawn `down` rows below the preview, in colour `code`.
std::vector<Sprite> PieceSprites(int32_t kind, int down, int code, bool wantX) {
    std::vector<Sprite> out;
    const auto& lines = wantX ? kPreview[kind].x : kPreview[kind].y;
    for (const auto& [i, j] : lines)
        out.push_back(wantX ? XLine(i, j - down, 0, code) : YLine(i, j - down, 0, code));
    std::sort(out.begin(), out.end(), [](const Sprite& a, const Sprite& b) {
        return a.x != b.x ? a.x < b.x : a.y > b.y;
    });
    return out;
}

std::vector<Sprite> SortedAbove(uint32_t slot, int32_t belowY) {
    std::vector<Sprite> out;
    for (const Sprite& s : OfSlot(slot))
        if (s.y < belowY) out.push_back(s);
    std::sort(out.begin(), out.end(), [](const Sprite& a, const Sprite& b) {
        return a.x != b.x ? a.x < b.x : a.y > b.y;
    });
    return out;
}

TEST_F(GameScreen, PreviewOfEveryKindInItsEntryRotation) {
    for (int32_t kind = 0; kind < kPieceKinds; ++kind) {
        SCOPED_TRACE(kind);
        Game.sequence[3] = static_cast<int8_t>(kind);
        Game.dealt = 1003;   // the sequence repeats every 1000 pieces
        Draw();
        // Nothing of the field lies above row 12 (y 90); the preview lies above it.
        EXPECT_EQ(SortedAbove(kLineX, 90), PieceSprites(kind, 0, kind + 1, true));
        EXPECT_EQ(SortedAbove(kLineY, 90), PieceSprites(kind, 0, kind + 1, false));
    }
}

// The program's own frames: READY previews the first piece; in the 100th frame it enters
// two rows below its preview and the preview moves on to the second piece.
TEST_F(GameScreen, FirstPieceEntersBelowItsPreview) {
    StartLevel = 0;
    StartGame(1);
    const int32_t first = Game.sequence[0], second = Game.sequence[1];
    for (int frame = 1; frame <= 99; ++frame) {
        g_sprites.clear();
        FrameCallback();
    }
    EXPECT_EQ(SortedAbove(kLineX, 90), PieceSprites(first, 0, first + 1, true));
    EXPECT_EQ(SortedAbove(kLineY, 90), PieceSprites(first, 0, first + 1, false));

    g_sprites.clear();
    FrameCallback();
    ASSERT_EQ(Game.phase, PhaseFalling);
    EXPECT_EQ(SortedAbove(kLineX, 90),
              PieceSprites(second, 0, second + 1, true));
    for (const Sprite& want : PieceSprites(first, 2, first + 1, true)) EXPECT_TRUE(Drawn(want));
    for (const Sprite& want : PieceSprites(first, 2, first + 1, false)) EXPECT_TRUE(Drawn(want));
}

TEST_F(GameScreen, ReadyLettersFlyInStandAndGiveWayToGo) {
    StartGame(1);
    // Single 16-pixel letters centred at 320 + x * 8.
    SceneEnterTimer = 100;
    Draw();
    EXPECT_EQ(GlyphsAt(kSmallYellow, 224, 16),
              (std::map<int32_t, char>{{-272, 'Y'}, {16, 'D'}, {312, 'A'},
                                       {608, 'E'}, {896, 'R'}}));
    SceneEnterTimer = 45;
    Draw();
    EXPECT_EQ(TextAt(kSmallYellow, 224, 16), "R E A D Y");
    EXPECT_EQ(GlyphsAt(kSmallYellow, 224, 16).begin()->first, 248);
    SceneEnterTimer = 30;
    Draw();
    EXPECT_EQ(GlyphsAt(kLargeRed, 224, 32), (std::map<int32_t, char>{{288, 'G'}, {320, 'O'}}));
}

struct ShadowCase {
    const char* name;
    int32_t phase, level, frame, showLineShadow;
    bool shadow;
};

void PrintTo(const ShadowCase& c, std::ostream* os) { *os << c.name; }

class GameScreenShadow : public GameScreen, public testing::WithParamInterface<ShadowCase> {};

// The bracket (kind 2, rotation 0: x-lines (1,0) (1,1), y-line (1,0), colour 3) held high
// above the empty field; its lowest x-line comes to rest on the floor, so the shadow stands
// with its box on row 2.
TEST_P(GameScreenShadow, ShadowOnlyOnEvenFramesBelowLevelTenForAFallingPiece) {
    const ShadowCase& c = GetParam();
    Game.phase = c.phase;
    Game.level = c.level;
    SceneFrame = c.frame;
    Settings.showLineShadow = c.showLineShadow;
    SetPiece(2, 0, 3, 7);
    Draw();

    const Sprite shadowX1 = XLine(4, 2, 3, 3), shadowX2 = XLine(4, 3, 3, 3);
    const Sprite shadowY = YLine(4, 2, 3, 3);
    EXPECT_EQ(Drawn(shadowX1), c.shadow);
    EXPECT_EQ(Drawn(shadowX2), c.shadow);
    EXPECT_EQ(Drawn(shadowY), c.shadow);
    // The piece itself, in its own colour.
    EXPECT_TRUE(Drawn(XLine(4, 7, 0, 3)));
    EXPECT_TRUE(Drawn(XLine(4, 8, 0, 3)));
    EXPECT_TRUE(Drawn(YLine(4, 7, 0, 3)));
    if (c.phase == PhaseFalling) {
        EXPECT_EQ(Game.shadowRow, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GameScreenShadow,
    testing::Values(ShadowCase{"EvenFrame", PhaseFalling, 0, 10, 1, true},
                    ShadowCase{"OddFrame", PhaseFalling, 0, 11, 1, false},
                    ShadowCase{"LevelNine", PhaseFalling, 9, 4, 1, true},
                    ShadowCase{"LevelTen", PhaseFalling, 10, 4, 1, false},
                    ShadowCase{"SettingOff", PhaseFalling, 0, 4, 0, false},
                    ShadowCase{"Landed", PhaseLanded, 0, 4, 1, false}),
    [](const testing::TestParamInfo<ShadowCase>& info) { return info.param.name; });

TEST_F(GameScreen, PieceCoversItsShadowWhereTheyMeet) {
    Game.phase = PhaseFalling;
    SceneFrame = 2;
    SetPiece(2, 0, 3, 2);   // already resting: shadow and piece in the same place
    Draw();
    EXPECT_TRUE(Drawn(XLine(4, 2, 0, 3)));
    EXPECT_FALSE(Drawn(XLine(4, 2, 3, 3)));
}

// A falling piece without lines fits everywhere; its shadow search still ends.
TEST_F(GameScreen, ShadowOfAnEmptyPieceDoesNotSearchForever) {
    Game.phase = PhaseFalling;
    Game.piece = Piece{};
    Game.piece.y = 11;
    Game.sequence[0] = 7;
    Draw();
    EXPECT_LE(Game.shadowRow, 0);
    std::vector<Sprite> want;
    for (int i = 1; i <= 7; ++i) want.push_back(XLine(i, 1, 0, 0));
    want.push_back(XLine(4, 13, 0, 8));
    want.push_back(XLine(4, 14, 0, 8));
    EXPECT_EQ(OfSlot(kLineX), want);
}

TEST_F(GameScreen, StepsPaintInTheirOrder) {
    BackgroundIndex = 4;
    Game.phase = PhaseTopOut;
    SceneLeaveTimer = 150;
    YLineGrid[2][2] = LineGrey;
    Game.sequence[0] = 7;
    Game.popupTimer = 120;
    Game.chain = 1;
    Game.bannerTimer = 50;
    Draw();
    ASSERT_FALSE(g_sprites.empty());
    EXPECT_EQ(g_sprites[0], (Sprite{0, 0, 245, 0, 0, -1, -1}));   // the whole background
    std::vector<uint32_t> slots;
    for (const Sprite& s : g_sprites)
        if (slots.empty() || slots.back() != s.slot) slots.push_back(s.slot);
    const std::vector<uint32_t> want = {
        245, 15,                              // backdrop
        1, 8, 1, 8, 1, 8,                     // panel labels and figures, then the time
        kLineX, kLineY, kLineX, kLineY,       // field, preview
        18,                                   // six empty medals
        kBigYellow, 1, kBigYellow, 1,         // popup
        kBigWhite, kBigYellow,                // banner
        kLargeRed,                            // GAME OVER
        kSmallYellow,                         // phase number
        1,                                    // frame rate
    };
    EXPECT_EQ(slots, want);
}

TEST_F(GameScreen, SettledLinesUseTheSettledColumnAtTheirPlace) {
    XLineGrid[5][4] = 3;
    YLineGrid[2][3] = 3;
    XLineGrid[3][6] = LineGrey;
    YLineGrid[7][2] = LineGrey;
    XLineGrid[2][13] = 4;   // the entry area is never drawn
    YLineGrid[2][12] = 4;
    Game.sequence[0] = 7;   // preview kept out of rows 13 and 14 of column 2
    Draw();
    EXPECT_TRUE(Drawn(XLine(5, 4, 2, 3)));
    EXPECT_EQ(XLine(5, 4, 2, 3), (Sprite{335, 346, kLineX, 64, 30, 97, 41}));
    EXPECT_TRUE(Drawn(YLine(2, 3, 2, 3)));
    EXPECT_EQ(YLine(2, 3, 2, 3), (Sprite{234, 351, kLineY, 30, 64, 41, 97}));
    EXPECT_TRUE(Drawn(XLine(3, 6, 0, 0)));
    EXPECT_TRUE(Drawn(YLine(7, 2, 0, 0)));
    const Sprite entryX = XLine(2, 13, 0, 0), entryY = YLine(2, 12, 0, 0);
    for (const Sprite& s : OfSlot(kLineX)) EXPECT_FALSE(s.x == entryX.x && s.y == entryX.y);
    for (const Sprite& s : OfSlot(kLineY)) EXPECT_FALSE(s.x == entryY.x && s.y == entryY.y);
}

// Marked lines flash in colours 1..6 that step by one each frame and run diagonally.
TEST_F(GameScreen, ErasingLinesFlashInADiagonalColourRun) {
    Game.phase = PhaseErasing;
    for (int k = 1; k <= 3; ++k) {
        XLineGrid[k + 1][k + 2] = 4;
        EraseMarkX[k + 1][k + 2] = 1;
    }
    YLineGrid[3][2] = 5;
    EraseMarkY[3][2] = 1;
    XLineGrid[6][5] = 2;   // not marked: stays settled
    Game.sequence[0] = 7;

    // (i - j + frame + 18) mod 6 + 1 at (2, 3) for frames 0..6.
    const int32_t expected[] = {6, 1, 2, 3, 4, 5, 6};
    for (int32_t frame = 0; frame <= 6; ++frame) {
        SceneFrame = frame;
        Draw();
        const int32_t colour = expected[frame];
        for (int k = 1; k <= 3; ++k) EXPECT_TRUE(Drawn(XLine(k + 1, k + 2, 0, colour))) << frame;
        // y-line (3, 2) lies two steps further along the run: its i - j is 1, theirs -1.
        EXPECT_TRUE(Drawn(YLine(3, 2, 0, (colour + 1) % 6 + 1))) << frame;
        EXPECT_TRUE(Drawn(XLine(6, 5, 2, 2)));
    }
}

TEST_F(GameScreen, LevelClearFlashesEveryLineButTheFloor) {
    Game.phase = PhaseLevelClear;
    XLineGrid[1][2] = 3;
    YLineGrid[8][11] = LineGrey;
    SceneFrame = 1;
    Game.sequence[0] = 7;
    Draw();
    EXPECT_TRUE(Drawn(XLine(1, 1, 0, 0)));   // floor grey
    EXPECT_TRUE(Drawn(XLine(1, 2, 0, 1)));   // (1 - 2 + 1 + 18) mod 6 + 1
    EXPECT_TRUE(Drawn(YLine(8, 11, 0, 0)));  // a grey y-line keeps the grey picture
}

TEST_F(GameScreen, GameOverShowsTheStackSettledAndGrey) {
    SceneLeaveTimer = 120;
    Game.phase = PhaseTopOut;
    XLineGrid[2][2] = LineGrey;
    XLineGrid[2][9] = 6;
    YLineGrid[5][10] = 1;
    Game.sequence[0] = 7;
    Draw();
    EXPECT_TRUE(Drawn(XLine(2, 2, 0, 0)));
    EXPECT_TRUE(Drawn(XLine(2, 9, 2, 6)));
    EXPECT_TRUE(Drawn(YLine(5, 10, 2, 1)));
}

TEST_F(GameScreen, GameOverLettersComeInFromBothSides) {
    Game.phase = PhaseTopOut;
    SceneLeaveTimer = 150;
    Draw();
    EXPECT_EQ(GlyphsAt(kLargeRed, 224, 32),
              (std::map<int32_t, char>{{176, 'O'}, {208, 'V'}, {240, 'E'}, {272, 'R'},
                                       {336, 'G'}, {368, 'A'}, {400, 'M'}, {432, 'E'}}));
    SceneLeaveTimer = 100;
    Draw();
    std::map<int32_t, char> together;
    const std::string text = "GAME OVER";
    for (int k = 0; k < 9; ++k) together[176 + 32 * k] = text[k];
    EXPECT_EQ(GlyphsAt(kLargeRed, 224, 32), together);
}

TEST_F(GameScreen, OnlyAGameOverToTheTitleFadesOut) {
    Game.phase = PhaseTopOut;
    SceneLeaveTimer = 20;
    NewRank = 3;
    Draw();
    EXPECT_EQ(FadeLevel, 20);
    NewRank = 10;
    SceneLeaveTimer = 21;
    Draw();
    EXPECT_EQ(FadeLevel, 20);
    SceneLeaveTimer = 20;
    Draw();
    EXPECT_EQ(FadeLevel, 19);
}

TEST_F(GameScreen, MedalFramesFollowTheFlash) {
    const struct {
        int32_t flash, column;
    } cases[] = {{60, 2}, {53, 2}, {52, 1}, {50, 1}, {40, 0}, {30, 0}, {20, 0},
                 {19, 1}, {8, 1},  {7, 2},  {5, 2},  {0, 3}};
    Game.medals[MedalChain] = 2;
    for (const auto& c : cases) {
        Game.medalFlash[MedalChain] = c.flash;
        Draw();
        EXPECT_TRUE(Drawn({480, 192, 20, 32 * c.column, 96, 32 * c.column + 32, 128}))
            << "flash " << c.flash;
    }
    // The empty medals are drawn too, at rest.
    EXPECT_TRUE(Drawn({448, 160, 18, 96, 0, 128, 32}));
    EXPECT_TRUE(Drawn({480, 224, 18, 96, 160, 128, 192}));
}

TEST_F(GameScreen, PanelShowsScoreLinesLevelWithoutLeadingZeros) {
    Game.score = 1234567;
    Game.lines = 40;
    Game.level = 7;
    Draw();
    EXPECT_EQ(TextAt(kSmallWhite, 112, 16), "SCORE");
    EXPECT_EQ(GlyphsAt(kSmallWhite, 112, 16).begin()->first, 16);
    EXPECT_EQ(TextAt(kFigures, 144, 16), "1234567");
    EXPECT_EQ(GlyphsAt(kFigures, 144, 16).begin()->first, 48);   // columns 3..9
    EXPECT_EQ(TextAt(kFigures, 224, 16), "40");
    EXPECT_EQ(TextAt(kFigures, 304, 16), "7");
    EXPECT_EQ(GlyphsAt(kFigures, 304, 16).begin()->first, 144);
}

TEST_F(GameScreen, TimeReadsMinutesSecondsHundredths) {
    Game.elapsedMs = 130000;
    Draw();
    EXPECT_EQ(TextAt(kFigures, 464, 16), "02'10\"00");
    EXPECT_EQ(GlyphsAt(kFigures, 464, 16).begin()->first, 256);
    Game.elapsedMs = 61237;
    Draw();
    EXPECT_EQ(TextAt(kFigures, 464, 16), "01'01\"23");
}

TEST_F(GameScreen, PopupNumbersSlideInFromTheLeft) {
    Game.popupX = 2;
    Game.popupY = 3;   // X 64, Y 96
    Game.chain = 1;
    Game.chainLines = 12;
    Game.stepPoints = 1234;
    Game.popupTimer = 120;
    Draw();
    EXPECT_EQ(GlyphsAt(kBigYellow, 352, 32), (std::map<int32_t, char>{{208, '1'}, {240, '2'}}));
    EXPECT_EQ(GlyphsAt(kBigYellow, 384, 32),
              (std::map<int32_t, char>{{240, '1'}, {272, '2'}, {304, '3'}, {336, '4'}}));
    EXPECT_EQ(TextAt(kSmallWhite, 368, 16), "LINES");
    EXPECT_EQ(GlyphsAt(kSmallWhite, 368, 16).begin()->first, 272);
    EXPECT_EQ(TextAt(kSmallWhite, 400, 16), "PTS");
    EXPECT_EQ(GlyphsAt(kSmallWhite, 400, 16).begin()->first, 368);

    Game.popupTimer = 175;   // (175 - 160)^2 / 3 = 75 pixels to the left
    Draw();
    EXPECT_EQ(GlyphsAt(kSmallWhite, 400, 16).begin()->first, 368 - 75);

    Game.chain = 3;
    Game.popupTimer = 100;
    Draw();
    EXPECT_EQ(GlyphsAt(kBigRed, 352, 32), (std::map<int32_t, char>{{224, '3'}}));
    EXPECT_EQ(TextAt(kSmallWhite, 368, 16), "CHAIN");
    EXPECT_EQ(TextAt(kSmallWhite, 336, 16), "LINES");
}

TEST_F(GameScreen, PopupAbsentWithErasePropertyOff) {
    Settings.eraseProperty = 0;
    Game.chain = 2;
    Game.chainLines = 40;
    for (int32_t t : {170, 120, 50}) {
        Game.popupTimer = t;
        SceneFrame = 1;
        Draw();
        EXPECT_TRUE(OfSlot(kBigYellow).empty()) << t;
        EXPECT_TRUE(OfSlot(kBigRed).empty()) << t;
        EXPECT_TRUE(OfSlot(kBigWhite).empty()) << t;
    }
}

TEST_F(GameScreen, BannerHidesThePopup) {
    Game.phase = PhaseLevelClear;
    Game.eraseTimer = 30;
    Game.popupX = 1;
    Game.popupY = 1;   // "LINES" on y 432, "PTS" on y 464
    Game.popupTimer = 150;
    Game.chain = 1;
    Game.chainLines = 10;
    Game.stepPoints = 500;
    Draw();
    ASSERT_EQ(TextAt(kSmallWhite, 464, 16), "PTS");

    Game.bannerTimer = 120;
    Game.bannerLevel = 10;
    GameUpdate();
    EXPECT_EQ(Game.popupTimer, 0);
    Draw();
    EXPECT_EQ(TextAt(kSmallWhite, 432, 16), "");
    EXPECT_EQ(TextAt(kSmallWhite, 464, 16), "");
    EXPECT_EQ(TextAt(kBigYellow, 416, 32), "");
    // The banner slides in from the right: b 119 puts "LEVEL" at column 25.
    EXPECT_EQ(TextAt(kBigWhite, 224, 32), "LEVEL");
    EXPECT_EQ(GlyphsAt(kBigWhite, 224, 32).begin()->first, 800);
}

TEST_F(GameScreen, LevelBannerSlidesInStandsAndLeaves) {
    Game.bannerLevel = 20;
    Game.bannerTimer = 50;
    Draw();
    EXPECT_EQ(TextAt(kBigWhite, 224, 32), "LEVEL");
    EXPECT_EQ(GlyphsAt(kBigWhite, 224, 32).begin()->first, 192);
    EXPECT_EQ(GlyphsAt(kBigYellow, 224, 32), (std::map<int32_t, char>{{384, '2'}, {416, '0'}}));
    Game.bannerTimer = 10;
    Draw();
    EXPECT_EQ(GlyphsAt(kBigWhite, 224, 32).begin()->first, -160);
    Game.bannerTimer = 0;
    Draw();
    EXPECT_TRUE(OfSlot(kBigWhite).empty());
}

struct RatingCase {
    int32_t chainLines, chain, frame;
    const char* word;   // nullptr: nothing shown
    int32_t offset;
    uint32_t slot;
};

TEST_F(GameScreen, RatingWordWithItsOffsetAndFont) {
    const RatingCase cases[] = {
        {12, 1, 1, "NICE", 176, kBigWhite},
        {11, 1, 1, nullptr, 0, 0},
        {19, 1, 2, "GOOD", 176, kBigWhite},
        {6, 2, 5, "GREAT", 160, kBigWhite},       // 6 + 3 * 7 = 27
        {10, 2, 1, "VERY GOOD", 96, kBigWhite},   // 31
        {30, 3, 7, "LUNATIC", 112, 41},           // 86; frame 7: green
        {30, 3, 19, "LUNATIC", 112, kBigRed},     // frame 19: back to red
        {50, 4, 1, "HOLYSHIT", 104, kBigRed},     // 155
        {40, 1, 8, nullptr, 0, 0},                // blinked off
    };
    Game.popupX = 1;
    Game.popupY = 2;   // X 32, Y 64: the word stands on y 400
    Game.popupTimer = 60;
    for (const RatingCase& c : cases) {
        Game.chainLines = c.chainLines;
        Game.chain = c.chain;
        SceneFrame = c.frame;
        Draw();
        if (!c.word) {
            for (uint32_t slot = 38; slot <= 44; ++slot)
                EXPECT_EQ(TextAt(slot, 400, 32), "") << c.chainLines << " " << c.chain;
            continue;
        }
        EXPECT_EQ(TextAt(c.slot, 400, 32), c.word);
        EXPECT_EQ(GlyphsAt(c.slot, 400, 32).begin()->first, 32 + c.offset) << c.word;
    }
}

TEST_F(GameScreen, PhaseNumberInThreeYellowDigits) {
    Game.phase = PhaseErasing;
    Draw();
    EXPECT_EQ(GlyphsAt(kSmallYellow, 32, 16),
              (std::map<int32_t, char>{{0, '0'}, {16, '0'}, {32, '3'}}));
    Game.phase = PhaseTopOut;
    SceneLeaveTimer = 100;
    Draw();
    EXPECT_EQ(TextAt(kSmallYellow, 32, 16), "000");
}

TEST_F(GameScreen, FrameRateAtTheTopRightOnlyWhenSwitchedOn) {
    Frame.measuredFrameRate = 59.7f;
    Draw();
    EXPECT_EQ(GlyphsAt(kSmallWhite, 0, 16),
              (std::map<int32_t, char>{{512, 'F'}, {528, 'P'}, {544, 'S'}, {560, '='},
                                       {576, '5'}, {592, '9'}, {608, '.'}, {624, '7'}}));
    Settings.fpsDisplay = 0;
    Draw();
    EXPECT_TRUE(GlyphsAt(kSmallWhite, 0, 16).empty());
}

TEST_F(GameScreen, FrozenFieldDrawsSettledAndGreyLinesOnly) {
    XLineGrid[3][5] = 7;
    YLineGrid[6][4] = LineGrey;
    g_sprites.clear();
    DrawFrozenField();
    EXPECT_EQ(ViewXGrid[3][5], 27);
    EXPECT_EQ(ViewYGrid[6][4], 29);
    EXPECT_EQ(OfSlot(kLineY), (std::vector<Sprite>{YLine(6, 4, 0, 0)}));
    EXPECT_EQ(OfSlot(kLineX).size(), 8u);   // the floor and the one coloured line
    EXPECT_TRUE(Drawn(XLine(3, 5, 2, 7)));
}

}  // namespace
