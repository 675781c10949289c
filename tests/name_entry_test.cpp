// The name entry: letter stepping with auto-repeat, the cursor, the time limit, the insertion
// into the normal ranking, the screen it draws and the hand-over to the ranking.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/sprite.h"
#include "game/field.h"
#include "game/game_scene.h"
#include "platform/headless/headless.h"
#include "shell/name_entry.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace {

// Virtual keys of the logical buttons.
constexpr int kUp = 38, kDown = 40, kRight = 39, kLeft = 37;
constexpr int kKey1 = 'Z', kKey2 = 'S', kKey3 = 'X', kKey4 = 'C';

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
};
std::vector<Sprite> g_sprites;
void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t l, int32_t t, int32_t r,
                  int32_t b) {
    g_sprites.push_back({x, y, slot, l, t, r, b});
}

struct Played {
    uint16_t slot;
    int frame;   // frames run since the test's start, 1 for the first
};
std::vector<Played> g_played;
int g_frames;
void RecordWave(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay) g_played.push_back({slot, g_frames});
}

std::vector<int> FramesOf(uint16_t slot) {
    std::vector<int> frames;
    for (const Played& p : g_played)
        if (p.slot == slot) frames.push_back(p.frame);
    return frames;
}

// Slots of the fonts the screen uses.
constexpr uint32_t kSlotFontSmall1 = 1;    // FontId 0..6
constexpr uint32_t kSlotFontSmall2 = 8;    // FontId 7..13
constexpr uint32_t kSlotFontLarge1 = 31;   // FontId 14..20
constexpr uint32_t kSlotFontLarge2 = 38;   // FontId 21..27

// The character a sprite of a font with square glyphs of size w shows.
int32_t GlyphChar(const Sprite& s, int32_t w) { return (s.top / w) * 16 + s.left / w + 32; }

const Sprite* At(int32_t x, int32_t y) {
    const Sprite* found = nullptr;
    for (const Sprite& s : g_sprites)
        if (s.x == x && s.y == y) found = &s;
    return found;
}

int IndexOf(int32_t x, int32_t y, uint32_t slot) {
    for (size_t k = 0; k < g_sprites.size(); ++k) {
        const Sprite& s = g_sprites[k];
        if (s.x == x && s.y == y && s.slot == slot) return static_cast<int>(k);
    }
    return -1;
}

RankingEntry Entry(int32_t a, int32_t b, int32_t c, int32_t score, int32_t lines) {
    RankingEntry e{};
    e.name[0] = a;
    e.name[1] = b;
    e.name[2] = c;
    e.score = score;
    e.lines = lines;
    return e;
}

void ExpectSameEntry(const RankingEntry& got, const RankingEntry& want) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(got.name[k], want.name[k]) << "letter " << k;
    EXPECT_EQ(got.score, want.score);
    EXPECT_EQ(got.lines, want.lines);
    for (int m = 0; m < kMedalKinds; ++m) EXPECT_EQ(got.medals[m], want.medals[m]) << "medal " << m;
}

class NameEntryTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override {
        SetWaveTrace(nullptr);
        SetSpriteTrace(nullptr);
    }

    static void Fresh() {
        FreshProcess();
        g_played.clear();
        g_sprites.clear();
        g_frames = 0;
        SetWaveTrace(RecordWave);
        SetSpriteTrace(RecordSprite);
        DefaultNormalRanking();
    }

    // The game has just ended with this result and rank.
    static void EndedGame(int32_t score, int32_t rank) {
        Game.score = score;
        Game.lines = 321;
        Game.level = 12;
        const int32_t medals[kMedals] = {1, 2, 3, 0, 1, 2};
        for (int m = 0; m < kMedals; ++m) Game.medals[m] = medals[m];
        NewRank = rank;
        EnterNameEntry();
    }

    // One frame of the program; the sprites of the last frame only.
    static void Frame() {
        g_sprites.clear();
        ++g_frames;
        FrameCallback();
    }
    static void Frames(int n) {
        for (int k = 0; k < n; ++k) Frame();
    }
    static void Hold(int key, int frames) {
        HeadlessSetKey(key, true);
        Frames(frames);
        HeadlessSetKey(key, false);
    }
    // Down for one frame, then up for two: a key down again right after its release
    // reads as held, not pressed.
    static void Press(int key) {
        Hold(key, 1);
        Frames(2);
    }
    // One letter step: a held direction steps in its second frame.
    static void Step(int key) {
        Hold(key, 2);
        Frame();
    }
};

// ---- Letters and cursor ----

TEST_F(NameEntryTest, KeyOneThreeTimesAcceptsAAA) {
    EndedGame(2000000, 0);
    Press(kKey1);
    EXPECT_EQ(MenuCursor, 1);
    Press(kKey1);
    EXPECT_EQ(MenuCursor, 2);
    EXPECT_EQ(SceneEnterTimer, 1800 - 6);
    Press(kKey1);
    EXPECT_EQ(MenuCursor, 3);
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(SceneLeaveTimer, 58);   // 60 at the acceptance, two frames since
    EXPECT_EQ(FramesOf(WaveSlotSelect), (std::vector<int>{1, 4, 7}));
    EXPECT_TRUE(FramesOf(WaveSlotChoice).empty());
    const RankingEntry& e = NormalRanking.entries[0];
    EXPECT_EQ(e.name[0], 1);
    EXPECT_EQ(e.name[1], 1);
    EXPECT_EQ(e.name[2], 1);
    EXPECT_EQ(e.score, 2000000);
    EXPECT_EQ(e.lines, 321);
}

TEST_F(NameEntryTest, KeyFourAcceptsLikeKeyOne) {
    EndedGame(2000000, 0);
    Press(kKey4);
    Press(kKey1);
    Press(kKey4);
    EXPECT_EQ(MenuCursor, 3);
    EXPECT_EQ(FramesOf(WaveSlotSelect).size(), 3u);
}

TEST_F(NameEntryTest, OneStepBackFromAIsBlankThenQuestionMark) {
    EndedGame(2000000, 0);
    Step(kUp);
    EXPECT_EQ(NameLetters[0], 0);
    Step(kLeft);
    EXPECT_EQ(NameLetters[0], 41);
    EXPECT_EQ(LetterToChar(NameLetters[0]), '?');
    Step(kDown);
    Step(kRight);
    Step(kRight);
    EXPECT_EQ(NameLetters[0], 2);   // "?" → blank → "A" → "B"
    EXPECT_EQ(FramesOf(WaveSlotChoice).size(), 5u);
}

TEST_F(NameEntryTest, TheAlphabetRunsThroughAllFortyTwoLetters) {
    EndedGame(2000000, 0);
    const char* order = "BCDEFGHIJKLMNOPQRSTUVWXYZ123456789:-+.!?";
    for (int k = 0; order[k]; ++k) {
        Step(kDown);
        EXPECT_EQ(LetterToChar(NameLetters[0]), order[k]) << "step " << k;
    }
    Step(kDown);
    EXPECT_EQ(NameLetters[0], 0);
    Step(kDown);
    EXPECT_EQ(NameLetters[0], 1);
}

TEST_F(NameEntryTest, HoldingADirectionStepsAtTwoElevenThenEverySix) {
    for (int key : {kDown, kRight, kUp, kLeft}) {
        SCOPED_TRACE(key);
        Fresh();
        EndedGame(2000000, 0);
        Hold(key, 30);
        EXPECT_EQ(FramesOf(WaveSlotChoice), (std::vector<int>{2, 11, 17, 23, 29}));
        const bool forward = key == kDown || key == kRight;
        EXPECT_EQ(NameLetters[0], forward ? 6 : 38);   // A + 5, or A − 5 round the end
        EXPECT_EQ(NameLetters[1], 1);
    }
}

TEST_F(NameEntryTest, ForwardAndBackTogetherKeepTheLetterWithTwoSoundsPerStep) {
    EndedGame(2000000, 0);
    HeadlessSetKey(kDown, true);
    HeadlessSetKey(kUp, true);
    for (int k = 1; k <= 30; ++k) {
        Frame();
        EXPECT_EQ(NameLetters[0], 1) << "frame " << k;
    }
    EXPECT_EQ(FramesOf(WaveSlotChoice),
              (std::vector<int>{2, 2, 11, 11, 17, 17, 23, 23, 29, 29}));
}

TEST_F(NameEntryTest, BackKeysMoveTheCursorButNotBeforeTheFirstLetter) {
    EndedGame(2000000, 0);
    Press(kKey2);
    Press(kKey3);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_TRUE(g_played.empty());

    Press(kKey1);
    Press(kKey1);
    Step(kDown);                   // the third letter becomes B
    Press(kKey3);
    EXPECT_EQ(MenuCursor, 1);
    Step(kDown);                   // the second letter becomes B
    Press(kKey2);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(FramesOf(WaveSlotSelect).size(), 4u);
    EXPECT_EQ(NameLetters[0], 1);
    EXPECT_EQ(NameLetters[1], 2);
    EXPECT_EQ(NameLetters[2], 2);
}

TEST_F(NameEntryTest, AcceptedNameIsNotReopenedByABackKeyInTheSameFrame) {
    EndedGame(2000000, 0);
    Press(kKey1);
    Press(kKey1);
    HeadlessSetKey(kKey1, true);
    HeadlessSetKey(kKey2, true);
    Frame();
    EXPECT_EQ(MenuCursor, 3);
    EXPECT_EQ(FramesOf(WaveSlotSelect).size(), 3u);
}

// ---- Time limit ----

TEST_F(NameEntryTest, TimeOutAcceptsExactlyLikeKeyOneOnTheThirdLetter) {
    struct Result {
        RankingTable table;
        int32_t cursor, leave;
        size_t selects;
    };
    auto play = [](bool waitForTimeOut) {
        Fresh();
        EndedGame(555555, 3);
        Step(kDown);      // B
        Press(kKey1);
        Step(kUp);        // blank
        Press(kKey1);
        Step(kDown);
        Step(kDown);      // C
        if (waitForTimeOut) {
            const int used = g_frames;
            Frames(1799 - used);
            EXPECT_EQ(SceneEnterTimer, 1);
            EXPECT_EQ(MenuCursor, 2);
            Frame();      // the 1800th update
        } else {
            Frame();
            HeadlessSetKey(kKey1, true);
            Frame();
        }
        return Result{NormalRanking, MenuCursor, SceneLeaveTimer, FramesOf(WaveSlotSelect).size()};
    };
    const Result timedOut = play(true);
    const Result accepted = play(false);
    EXPECT_EQ(timedOut.cursor, 3);
    EXPECT_EQ(timedOut.cursor, accepted.cursor);
    EXPECT_EQ(timedOut.leave, 60);
    EXPECT_EQ(timedOut.leave, accepted.leave);
    EXPECT_EQ(timedOut.selects, 3u);
    EXPECT_EQ(timedOut.selects, accepted.selects);
    for (int i = 0; i < kRankingEntries; ++i) {
        SCOPED_TRACE(i);
        ExpectSameEntry(timedOut.table.entries[i], accepted.table.entries[i]);
    }
    const RankingEntry& e = timedOut.table.entries[3];
    EXPECT_EQ(e.name[0], 2);
    EXPECT_EQ(e.name[1], 0);
    EXPECT_EQ(e.name[2], 3);
    EXPECT_EQ(e.score, 555555);
}

TEST_F(NameEntryTest, ButtonsAreIgnoredOnceTimeIsUp) {
    EndedGame(2000000, 0);
    Frames(1799);
    HeadlessSetKey(kKey1, true);
    HeadlessSetKey(kDown, true);
    Frames(3);
    EXPECT_EQ(NameLetters[0], 1);
    EXPECT_EQ(FramesOf(WaveSlotSelect), (std::vector<int>{1800}));
    EXPECT_TRUE(FramesOf(WaveSlotChoice).empty());
}

// ---- Insertion into the ranking ----

TEST_F(NameEntryTest, CommitNameShiftsTheEntriesBelowTheNewRank) {
    for (int32_t rank : {0, 4, 9}) {
        SCOPED_TRACE(rank);
        Fresh();
        const RankingTable before = NormalRanking;
        EndedGame(777, rank);
        NameLetters[0] = 41;
        NameLetters[1] = 0;
        NameLetters[2] = 27;
        CommitName();

        RankingEntry fresh = Entry(41, 0, 27, 777, 321);
        const int32_t medals[kMedalKinds] = {1, 2, 3, 0, 1, 2};
        for (int m = 0; m < kMedalKinds; ++m) fresh.medals[m] = medals[m];
        for (int i = 0; i < kRankingEntries; ++i) {
            SCOPED_TRACE(i);
            if (i < rank) ExpectSameEntry(NormalRanking.entries[i], before.entries[i]);
            if (i == rank) ExpectSameEntry(NormalRanking.entries[i], fresh);
            if (i > rank) ExpectSameEntry(NormalRanking.entries[i], before.entries[i - 1]);
        }
        EXPECT_EQ(FramesOf(WaveSlotSelect).size(), 1u);
        EXPECT_EQ(ExpertRanking.entries[0].score, 0);   // only the normal table takes part
    }
}

TEST_F(NameEntryTest, RankNineReplacesOnlyTheLastEntryAndRankZeroDropsTheTenth) {
    EndedGame(20000, 9);
    CommitName();
    EXPECT_EQ(NormalRanking.entries[8].score, 40000);
    EXPECT_EQ(NormalRanking.entries[9].score, 20000);

    Fresh();
    EndedGame(5000000, 0);
    CommitName();
    EXPECT_EQ(NormalRanking.entries[0].score, 5000000);
    EXPECT_EQ(NormalRanking.entries[1].name[0], 17);   // "QTV"
    EXPECT_EQ(NormalRanking.entries[9].score, 40000);   // "YPM"; "252" is gone
    for (const RankingEntry& e : NormalRanking.entries) EXPECT_NE(e.score, 10000);
}

TEST_F(NameEntryTest, ANameEntryWithoutARankWritesNothing) {
    const RankingTable before = NormalRanking;
    EndedGame(5000000, 10);
    CommitName();
    for (int i = 0; i < kRankingEntries; ++i) ExpectSameEntry(NormalRanking.entries[i], before.entries[i]);
    EXPECT_EQ(SceneLeaveTimer, 60);
}

// A real game played twice from the same seed: the second time one entry already holds
// exactly its score, and the new entry goes in below it.
TEST_F(NameEntryTest, AScoreEqualToAnEntryIsEnteredBelowIt) {
    auto playSpeedyFall = []() {
        StartGame(1);
        HeadlessSetKey(kDown, true);   // SPEEDY FALL in the first key layout
        int frames = 0;
        while (SceneId == SceneGameNormal && frames < 20000) {
            Frame();
            ++frames;
        }
        HeadlessSetKey(kDown, false);
    };
    for (RankingEntry& e : NormalRanking.entries) e.score = 0;
    playSpeedyFall();
    ASSERT_EQ(SceneId, SceneNameEntry);
    const int32_t score = Game.score;
    ASSERT_GT(score, 10);

    Fresh();
    for (int i = 0; i < kRankingEntries; ++i) NormalRanking.entries[i].score = score + 4 - i;
    NormalRanking.entries[4].name[0] = 26;   // the older entry with the same score
    playSpeedyFall();
    ASSERT_EQ(SceneId, SceneNameEntry);
    ASSERT_EQ(Game.score, score);
    EXPECT_EQ(NewRank, 5);
    Press(kKey1);
    Press(kKey1);
    Press(kKey1);
    EXPECT_EQ(NormalRanking.entries[4].name[0], 26);
    EXPECT_EQ(NormalRanking.entries[4].score, score);
    EXPECT_EQ(NormalRanking.entries[5].name[0], 1);
    EXPECT_EQ(NormalRanking.entries[5].score, score);
    EXPECT_EQ(NormalRanking.entries[5].lines, Game.lines);
    EXPECT_EQ(NormalRanking.entries[6].score, score - 1);   // the old sixth, moved down
}

// ---- Leaving ----

TEST_F(NameEntryTest, SixtyFramesAfterAcceptanceTheRankingShowsTheNewEntry) {
    EndedGame(2000000, 2);
    Press(kKey1);
    Press(kKey1);
    HeadlessSetKey(kKey1, true);
    Frame();
    ASSERT_EQ(SceneLeaveTimer, 60);
    for (int k = 1; k <= 59; ++k) {
        Frame();
        ASSERT_EQ(SceneId, SceneNameEntry);
        ASSERT_EQ(SceneLeaveTimer, 60 - k);
        // The last 20 frames dissolve to black.
        EXPECT_EQ(FadeLevel, SceneLeaveTimer > 20 ? 20 : SceneLeaveTimer - 1) << "frame " << k;
    }
    Frame();
    EXPECT_EQ(SceneId, SceneRankingAfterEntry);
    EXPECT_EQ(NewRank, 2);
    EXPECT_EQ(NormalRanking.entries[2].score, 2000000);
}

TEST_F(NameEntryTest, EscapeGoesToTheTitleWithoutAnEntry) {
    const RankingTable before = NormalRanking;
    EndedGame(2000000, 0);
    Press(kKey1);
    EXPECT_EQ(CloseCallback(), 0);
    EXPECT_EQ(SceneId, SceneTitle);
    for (int i = 0; i < kRankingEntries; ++i) ExpectSameEntry(NormalRanking.entries[i], before.entries[i]);
}

// ---- The screen ----

TEST_F(NameEntryTest, LettersStandAtTheirPlacesAndTheCursorIsYellow) {
    EndedGame(2000000, 0);
    NameLetters[1] = 26;   // "Z"
    NameLetters[2] = 41;   // "?"
    g_sprites.clear();
    NameEntryDraw();
    const int32_t xs[3] = {240, 304, 368};
    const char chars[3] = {'A', 'Z', '?'};
    for (int k = 0; k < 3; ++k) {
        const Sprite* s = At(xs[k], 256);
        ASSERT_NE(s, nullptr) << k;
        EXPECT_EQ(GlyphChar(*s, 32), chars[k]);
        EXPECT_EQ(s->slot, k == 0 ? kSlotFontLarge1 + 2 : kSlotFontLarge1);
    }

    // Accepted: each letter in its own colour of the six, changing every frame.
    MenuCursor = 3;
    for (int frame = 0; frame < 6; ++frame) {
        SceneFrame = frame;
        g_sprites.clear();
        NameEntryDraw();
        for (int k = 0; k < 3; ++k) {
            const Sprite* s = At(xs[k], 256);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->slot, kSlotFontLarge1 + 1 + (frame + 2 * k) % 6);
        }
    }
}

TEST_F(NameEntryTest, RankAndTitleReadAsOneLine) {
    struct Case {
        int32_t rank;
        const char* number;   // at x 352 and 384
    } cases[] = {{0, " 1"}, {8, " 9"}, {9, "10"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rank);
        Fresh();
        EndedGame(2000000, c.rank);
        g_sprites.clear();
        NameEntryDraw();
        const char* rank = "RANK";
        for (int i = 0; i < 4; ++i) {
            const Sprite* s = At(224 + 32 * i, 192);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->slot, kSlotFontLarge2 + 2);
            EXPECT_EQ(GlyphChar(*s, 32), rank[i]);
        }
        for (int i = 0; i < 2; ++i) {
            const Sprite* s = At(352 + 32 * i, 192);
            if (c.number[i] == ' ') {
                EXPECT_EQ(s, nullptr);
            } else {
                ASSERT_NE(s, nullptr);
                EXPECT_EQ(GlyphChar(*s, 32), c.number[i]);
            }
        }
        const char* title = "NAME ENTRY";
        for (int i = 0; i < 10; ++i) {
            const Sprite* s = At(240 + 16 * i, 160);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->slot, kSlotFontSmall2 + 1);
            EXPECT_EQ(GlyphChar(*s, 16), title[i]);
        }
    }
}

// The seconds shown at columns 22-23 of row 21 (x 352, 368, y 336), "" when none.
std::string SecondsShown(uint32_t* slot) {
    std::string shown;
    for (int32_t x : {352, 368}) {
        const Sprite* s = At(x, 336);
        if (!s) continue;
        shown += static_cast<char>(GlyphChar(*s, 16));
        *slot = s->slot;
    }
    return shown;
}

TEST_F(NameEntryTest, TimeCountsDownAndFlashesInTheLastFiveSeconds) {
    EndedGame(2000000, 0);
    g_sprites.clear();
    NameEntryDraw();   // the frame of the entry
    uint32_t slot = 0;
    EXPECT_EQ(SecondsShown(&slot), "31");
    EXPECT_EQ(slot, kSlotFontSmall2);
    for (int i = 0; i < 4; ++i) {
        const Sprite* s = At(256 + 16 * i, 336);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(GlyphChar(*s, 16), "TIME"[i]);
    }

    std::vector<std::string> shown;   // each value once, in order of appearance
    uint32_t lastSlot = 0;
    for (int k = 1; k <= 1799; ++k) {
        Frame();
        const std::string now = SecondsShown(&slot);
        if (shown.empty() || shown.back() != now) shown.push_back(now);
        ASSERT_NE(At(256, 336), nullptr) << "TIME at update " << k;
        EXPECT_EQ(At(256, 336)->slot, kSlotFontSmall2);
        if (k <= 1500) {
            EXPECT_EQ(slot, kSlotFontSmall2) << "update " << k;
        } else {
            // A new colour every frame, one of the six.
            EXPECT_GE(slot, kSlotFontSmall2 + 1);
            EXPECT_LE(slot, kSlotFontSmall2 + 6);
            EXPECT_NE(slot, lastSlot) << "update " << k;
        }
        lastSlot = slot;
    }
    std::vector<std::string> want;
    for (int s = 30; s >= 1; --s) want.push_back(std::to_string(s));
    EXPECT_EQ(shown, want);
    EXPECT_EQ(SceneEnterTimer, 1);

    Frame();   // time is up: no more countdown
    EXPECT_EQ(At(256, 336), nullptr);
    EXPECT_EQ(SecondsShown(&slot), "");
}

TEST_F(NameEntryTest, DrawsTheFrozenGameUnderTheNameInOrder) {
    BackgroundIndex = 4;
    Game.elapsedMs = 61230;             // 01'01"23
    XLineGrid[1][1] = LineGrey;
    XLineGrid[2][1] = 3;
    YLineGrid[1][1] = LineGrey;
    YLineGrid[2][2] = 5;
    // A piece in the air is not part of the frozen picture.
    Game.phase = PhaseFalling;
    Game.piece.x = 4;
    Game.piece.y = 6;
    Game.piece.xLines[0][0] = 2;
    Game.sequence[0] = 3;
    Game.dealt = 5;
    Game.sequence[5] = 0;               // kind 0: a line of three in the upper preview row
    Game.medalFlash[MedalLines] = 30;   // mid-flash picture, and it stays so
    EndedGame(2000000, 0);
    Frame();

    // Background and frame first.
    ASSERT_GE(g_sprites.size(), 2u);
    EXPECT_EQ(g_sprites[0].slot, 241u + 4);
    EXPECT_EQ(g_sprites[1].slot, 15u);

    // The settled lines: grey from the grey picture, colours from sheet column 2.
    const int xGrey = IndexOf(207, 442, 16), xColour = IndexOf(239, 442, 16);
    const int yGrey = IndexOf(202, 415, 17), yColour = IndexOf(234, 383, 17);
    ASSERT_GE(xGrey, 0);
    ASSERT_GE(xColour, 0);
    ASSERT_GE(yGrey, 0);
    ASSERT_GE(yColour, 0);
    EXPECT_EQ(g_sprites[xGrey].left, 0);
    EXPECT_EQ(g_sprites[xGrey].top, 0);
    EXPECT_EQ(g_sprites[xColour].left, 64);
    EXPECT_EQ(g_sprites[xColour].top, 30);
    EXPECT_EQ(g_sprites[xColour].right, 97);
    EXPECT_EQ(g_sprites[xColour].bottom, 41);
    EXPECT_EQ(g_sprites[yGrey].right, 11);
    EXPECT_EQ(g_sprites[yGrey].bottom, 33);
    EXPECT_EQ(g_sprites[yColour].left, 50);
    EXPECT_EQ(g_sprites[yColour].top, 64);
    // No other field lines: no piece, no shadow.
    int fieldLines = 0;
    for (const Sprite& s : g_sprites)
        if ((s.slot == 16 || s.slot == 17) && s.y > 40) ++fieldLines;
    EXPECT_EQ(fieldLines, 4);

    // The preview of the piece that would have come next, not the game's first piece.
    int preview = 0;
    for (const Sprite& s : g_sprites) {
        if (s.slot == 16 && s.y == 26) {
            EXPECT_EQ(s.top, 10);
            ++preview;
        }
        EXPECT_FALSE(s.slot == 17 && s.y == 31);
    }
    EXPECT_EQ(preview, 3);

    // The medal of the lines, tier 3, mid-flash.
    const int medal = IndexOf(448, 192, 21);
    ASSERT_GE(medal, 0);
    EXPECT_EQ(g_sprites[medal].left, 0);
    EXPECT_EQ(g_sprites[medal].top, 64);
    EXPECT_EQ(Game.medalFlash[MedalLines], 30);

    // The time played: 01'01"23 on row 29.
    const Sprite* minutes = At(16 * 17, 464);
    ASSERT_NE(minutes, nullptr);
    EXPECT_EQ(GlyphChar(*minutes, 16), '1');
    const Sprite* hundredths = At(16 * 23, 464);
    ASSERT_NE(hundredths, nullptr);
    EXPECT_EQ(GlyphChar(*hundredths, 16), '3');

    // Field, preview and medals, then the title, rank, letters, time and frame rate.
    const int title = IndexOf(240, 160, kSlotFontSmall2 + 1);
    const int rank = IndexOf(224, 192, kSlotFontLarge2 + 2);
    const int letters = IndexOf(240, 256, kSlotFontLarge1 + 2);
    const int time = IndexOf(256, 336, kSlotFontSmall2);
    const int fps = IndexOf(512, 0, kSlotFontSmall1);
    EXPECT_LT(yColour, medal);
    EXPECT_LT(medal, title);
    EXPECT_LT(title, rank);
    EXPECT_LT(rank, letters);
    EXPECT_LT(letters, time);
    EXPECT_LT(time, fps);

    // No GAME OVER (32-pixel red) and no phase number over the name entry.
    for (const Sprite& s : g_sprites) {
        EXPECT_FALSE(s.x == 0 && s.y == 32) << "phase number";
        EXPECT_NE(s.slot, kSlotFontLarge1 + 1) << "GAME OVER";
    }
}

TEST_F(NameEntryTest, FrameRateOnlyWithTheSetting) {
    for (int32_t setting : {0, 1}) {
        SCOPED_TRACE(setting);
        Fresh();
        Settings.fpsDisplay = setting;
        EndedGame(2000000, 0);
        Frame();
        EXPECT_EQ(IndexOf(512, 0, kSlotFontSmall1) >= 0, setting == 1);
    }
}

}  // namespace
