// The game screen as the player sees it: every picture GameDraw copies is recorded and compared
// with places worked out here from the screen's geometry.
#include <algorithm>
#include <climits>
#include <string>

#include "frame/sprite.h"
#include "game/game_screen.h"
#include "shell/settings.h"
#include "support/piece_fixture.h"

namespace {

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
    auto operator<=>(const Sprite&) const = default;
};
std::vector<Sprite> g_sprites;

constexpr uint32_t kLineX = 16, kLineY = 17, kSmallWhite = 1, kFigures = 8, kLargeRed = 32;
constexpr uint32_t kBigWhite = 38, kBigRed = 39, kBigYellow = 40;

// Line (i, j) of the lattice, its picture at sheet column col and row row.
Sprite XLine(int i, int j, int col, int row) {
    return {207 + 32 * (i - 1), 442 - 32 * (j - 1), kLineX,       32 * col,
            10 * row,           32 * col + 33,      10 * row + 11};
}
Sprite YLine(int i, int j, int col, int row) {
    return {202 + 32 * (i - 1), 415 - 32 * (j - 1), kLineY,       10 * row,
            32 * col,           10 * row + 11,      32 * col + 33};
}

// The sprites drawn from the slots first..last, in order of place.
std::vector<Sprite> OfSlots(uint32_t first, uint32_t last) {
    std::vector<Sprite> out;
    for (const Sprite& s : g_sprites)
        if (s.slot >= first && s.slot <= last) out.push_back(s);
    std::sort(out.begin(), out.end());
    return out;
}
// The lines of the piece as it stands, its box `up` rows higher, with pictures from sheet column
// col.
std::vector<Sprite> PieceLines(int up, int col) {
    std::vector<Sprite> out;
    const Piece& p = Game.piece;
    for (int dx = 0; dx < 3; ++dx) {
        for (int dy = 0; dy < 3; ++dy) {
            if (p.xLines[dx][dy])
                out.push_back(XLine(p.x + dx, p.y + up + dy, col, p.xLines[dx][dy]));
            if (p.yLines[dx][dy])
                out.push_back(YLine(p.x + dx, p.y + up + dy, col, p.yLines[dx][dy]));
        }
    }
    return out;
}
bool Drawn(const Sprite& want) {
    return std::find(g_sprites.begin(), g_sprites.end(), want) != g_sprites.end();
}

// The text one font shows on one pixel row, read back from the glyph grid (16 glyphs a row from
// the space) as "x:TEXT", a new "x:" wherever a glyph does not follow the one before.
std::string TextAt(uint32_t slot, int32_t y, int32_t size) {
    std::string text;
    int32_t next = INT32_MIN;
    for (const Sprite& s : OfSlots(slot, slot)) {
        if (s.y != y) continue;
        if (s.x != next) text += (text.empty() ? "" : " ") + std::to_string(s.x) + ":";
        text += static_cast<char>(32 + (s.top / size) * 16 + s.left / size);
        next = s.x + size;
    }
    return text;
}

class GameScreenTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        SetSpriteTrace(
            [](int32_t x, int32_t y, uint32_t slot, int32_t l, int32_t t, int32_t r, int32_t b) {
                g_sprites.push_back({x, y, slot, l, t, r, b});
            });
        ResetField();  // a game between two pieces on an empty field; the next, a square, stands in
                       // column 4
        Scene.id = SceneGameNormal;
        Game.phase = PhaseNext;
        Game.nextTimer = 100;
        Game.sequence[0] = 7;
    }
    void TearDown() override {
        SetSpriteTrace(nullptr);
        GameTest::TearDown();
    }
    static void Draw() {
        g_sprites.clear();
        GameDraw();
    }
};

// The preview is the piece as it will enter, two rows higher.
TEST_F(GameScreenTest, ReadyShowsOnlyTheFloorAndTheFirstPieceInThePreview) {
    StartGame(1);
    XLineGrid[4][3] = YLineGrid[4][3] = 5;  // hidden during READY
    for (int kind = 0; kind < kPieceKinds; ++kind) {
        Game.sequence[0] = static_cast<int8_t>(kind);
        Game.dealt = 1;  // READY shows the first piece whatever was dealt
        Place(kind, 1, 3, SpawnRowTable[kind] + 2, PhaseReady);
        std::vector<Sprite> want = PieceLines(0, 0);
        for (int i = 1; i <= 7; ++i) want.push_back(XLine(i, 1, 0, 0));  // the grey floor
        std::sort(want.begin(), want.end());
        Draw();
        EXPECT_EQ(OfSlots(kLineX, kLineY), want) << kind;
    }
}

// The bracket (kind 2) held high above the empty field; its shadow rests with its box on row 2.
TEST_F(GameScreenTest, ShadowOnlyOnEvenFramesBelowLevelTenForAFallingPiece) {
    struct Case {
        int32_t phase, level, frame, showLineShadow;
        bool shadow;
    };
    const Case cases[] = {
        {PhaseFalling, 0, 10, 1, true}, {PhaseFalling, 0, 11, 1, false},
        {PhaseFalling, 9, 4, 1, true},  {PhaseFalling, 10, 4, 1, false},
        {PhaseFalling, 0, 4, 0, false}, {PhaseLanded, 0, 4, 1, false},
    };
    for (const Case& c : cases) {
        Game.level = c.level;
        Scene.frame = c.frame;
        Settings.showLineShadow = c.showLineShadow;
        Place(2, 0, 3, 7, c.phase);
        Draw();
        for (const Sprite& s : PieceLines(0, 0)) EXPECT_TRUE(Drawn(s));
        for (const Sprite& s : PieceLines(-5, 3))
            EXPECT_EQ(Drawn(s), c.shadow) << "case " << &c - cases;
        EXPECT_EQ(OfSlots(kLineX, kLineY).size(),
                  7u + 3 + 4 + (c.shadow ? 3 : 0));  // with floor and preview
    }
}

TEST_F(GameScreenTest, SettledLinesShowTheirSettledPictureAndTheEntryAreaNothing) {
    XLineGrid[5][4] = YLineGrid[2][3] = 3;
    XLineGrid[3][6] = YLineGrid[7][2] = LineGrey;
    XLineGrid[2][13] = YLineGrid[2][12] = 4;  // in the entry area
    Draw();
    EXPECT_TRUE(Drawn({335, 346, kLineX, 64, 30, 97, 41}));  // x-line (5, 4), colour 3
    EXPECT_TRUE(Drawn({234, 351, kLineY, 30, 64, 41, 97}));  // y-line (2, 3)
    EXPECT_TRUE(Drawn(XLine(3, 6, 0, 0)) && Drawn(YLine(7, 2, 0, 0)));
    EXPECT_EQ(OfSlots(kLineX, kLineY).size(), 7u + 4 + 4);  // with floor and preview
}

// Marked lines flash in colours 1..6 that step by one each frame and run diagonally.
TEST_F(GameScreenTest, ErasingLinesFlashInADiagonalColourRun) {
    Game.phase = PhaseErasing;
    XLineGrid[2][3] = XLineGrid[3][4] = EraseMarkX[2][3] = EraseMarkX[3][4] = 4;
    YLineGrid[3][2] = EraseMarkY[3][2] = 5;
    XLineGrid[6][5] = 2;                                 // not marked: stays settled
    const int32_t colourAt23[] = {6, 1, 2, 3, 4, 5, 6};  // (2 - 3 + frame + 18) mod 6 + 1
    for (int32_t frame = 0; frame <= 6; ++frame) {
        Scene.frame = frame;
        Draw();
        const int32_t colour = colourAt23[frame];
        EXPECT_TRUE(Drawn(XLine(2, 3, 0, colour)) && Drawn(XLine(3, 4, 0, colour))) << frame;
        EXPECT_TRUE(Drawn(YLine(3, 2, 0, (colour + 1) % 6 + 1))) << frame;  // two steps along
        EXPECT_TRUE(Drawn(XLine(6, 5, 2, 2)));
    }
}

TEST_F(GameScreenTest, PopupHiddenByTheBannerAndAbsentWithErasePropertyOff) {
    Game.popupX = Game.popupY = Game.chain = 1;
    Game.popupTimer = 150;
    Draw();
    EXPECT_EQ(TextAt(kSmallWhite, 464, 16), "336:PTS");
    Settings.eraseProperty = 0;
    Draw();
    EXPECT_EQ(TextAt(kSmallWhite, 464, 16) + TextAt(kBigYellow, 448, 32), "");

    Settings.eraseProperty = 1;
    Game.bannerTimer = 51;
    Game.bannerLevel = 10;
    GameUpdate();
    Draw();
    EXPECT_EQ(TextAt(kSmallWhite, 464, 16), "");
    EXPECT_EQ(TextAt(kBigWhite, 224, 32) + " " + TextAt(kBigYellow, 224, 32), "192:LEVEL 384:10");
}

TEST_F(GameScreenTest, RatingWordWithItsOffsetAndFont) {
    struct Case {
        int32_t chainLines, chain, frame;
        uint32_t slot;
        const char* text;
    };
    const Case cases[] = {
        // the word at X + offset, X = 32
        {12, 1, 1, kBigWhite, "208:NICE"},      {11, 1, 1, kBigWhite, ""},
        {6, 2, 5, kBigWhite, "192:GREAT"},      {10, 2, 1, kBigWhite, "128:VERY GOOD"},
        {30, 3, 7, kBigRed + 2, "144:LUNATIC"}, {30, 3, 19, kBigRed, "144:LUNATIC"},
        {50, 4, 1, kBigRed, "136:HOLYSHIT"},    {40, 1, 8, kBigWhite, ""},  // blinked off
    };
    Game.popupX = 1;
    Game.popupY = 2;
    Game.popupTimer = 60;  // the word stands on y 400
    for (const Case& c : cases) {
        Game.chainLines = c.chainLines;
        Game.chain = c.chain;
        Scene.frame = c.frame;
        Draw();
        std::string shown;
        for (uint32_t slot = kBigWhite; slot <= kBigWhite + 6; ++slot)
            shown += TextAt(slot, 400, 32);
        EXPECT_EQ(shown, c.text);
        EXPECT_EQ(TextAt(c.slot, 400, 32), c.text);
    }
}

TEST_F(GameScreenTest, MedalFramesFollowTheFlash) {
    const int32_t cases[][2] = {{60, 2}, {53, 2}, {52, 1}, {41, 1}, {40, 0},
                                {20, 0}, {19, 1}, {8, 1},  {7, 2},  {0, 3}};
    Game.medals[MedalChain] = 2;
    for (const auto& [flash, column] : cases) {
        Game.medalFlash[MedalChain] = flash;
        Draw();
        EXPECT_TRUE(Drawn({480, 192, 18 + 2, 32 * column, 96, 32 * column + 32, 128})) << flash;
    }
    EXPECT_TRUE(Drawn({448, 160, 18, 96, 0, 128, 32}));  // the empty medals at rest
}

TEST_F(GameScreenTest, TimeAndGameOverTexts) {
    Game.elapsedMs = 130000;
    Game.phase = PhaseTopOut;
    Scene.leaveTimer = 150;
    Draw();  // the words come in from both sides
    EXPECT_EQ(TextAt(kFigures, 464, 16), "256:02'10\"00");
    EXPECT_EQ(TextAt(kLargeRed, 224, 32), "176:OVER 336:GAME");
    Scene.leaveTimer = 100;
    Draw();
    EXPECT_EQ(TextAt(kLargeRed, 224, 32), "176:GAME OVER");
}

}  // namespace
