// The game scene: its entry, the READY countdown, the play frame, the danger warning, the
// abort combination and the game-over sequence with its hand-over.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "game/field.h"
#include "game/game_scene.h"
#include "game/levels.h"
#include "game/motion.h"
#include "input/input.h"
#include "options/buttons.h"
#include "platform/headless/headless.h"
#include "shell/name_entry.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace {

struct Played {
    uint16_t slot;
    int32_t frame;
};
std::vector<Played> g_played;

void RecordWave(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay) g_played.push_back({slot, SceneFrame});
}

std::vector<int32_t> FramesOf(uint16_t slot) {
    std::vector<int32_t> frames;
    for (const Played& p : g_played) {
        if (p.slot == slot) frames.push_back(p.frame);
    }
    return frames;
}

constexpr int32_t kColour = 6;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

class GameSceneTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { SetWaveTrace(nullptr); }

    // A new process, sounds recorded.
    static void Fresh() {
        FreshProcess();
        g_played.clear();
        SetWaveTrace(RecordWave);
    }

    // One frame as the scene machine runs it.
    static void Step() {
        GameUpdate();
        SceneFrame += 1;
    }
    static void Steps(int n) {
        for (int k = 0; k < n; ++k) Step();
    }

    static void HoldAbortCombination(int32_t state) {
        ButtonLatch.right = state;
        ButtonLatch.key[1] = state;
        ButtonLatch.key[7] = state;
        ButtonLatch.key[8] = state;
    }

    // Settled lines all over the entry point: whatever piece comes cannot enter.
    static void BlockEntry() {
        for (int i = 3; i <= 5; ++i) {
            for (int j = 11; j <= 13; ++j) XLineGrid[i][j] = kColour;
        }
        for (int i = 3; i <= 6; ++i) {
            for (int j = 10; j <= 13; ++j) YLineGrid[i][j] = kColour;
        }
    }

    // A game whose first piece tops out at the end of READY.
    static void TopOutFirstPiece() {
        StartGame(1);
        BlockEntry();
        Steps(100);
        ASSERT_EQ(SceneLeaveTimer, 200);
        ASSERT_EQ(FramesOf(WaveSlotChissoku).size(), 1u);
    }

    static void RankingOfTenDownToOneThousand() {
        for (int r = 0; r < kRankingEntries; ++r) NormalRanking.entries[r].score = 1000 * (10 - r);
    }
};

// ---- Entry and READY ----

TEST_F(GameSceneTest, StartGameClearsTheLastGameAndSeedsFromTheFrameCount) {
    Game.score = 123;
    Game.lines = 45;
    Game.level = 60;
    Game.levelLines = 30;
    Game.elapsedMs = 99999;
    Game.dealt = 77;
    Game.streak = 4;
    Game.medals[MedalChain] = 2;
    Game.medalFlash[MedalChain] = 9;
    Game.popupTimer = 50;
    Game.bannerTimer = 50;
    Game.piece.kind = 3;
    Game.piece.x = 5;
    XLineGrid[4][6] = kColour;
    YLineGrid[4][6] = kColour;
    EraseMarkX[2][2] = 1;
    ActionCounters[CounterRotateRight] = 7;
    NewRank = 2;
    StartLevel = 15;
    SceneFrame = 1234;

    StartGame(1);

    EXPECT_EQ(SceneId, SceneGameNormal);
    EXPECT_EQ(SceneEnterTimer, 100);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(SceneFrame, 0);
    EXPECT_EQ(NewRank, 10);
    EXPECT_EQ(Game.phase, PhaseReady);
    EXPECT_EQ(Game.seed, 1234);
    int8_t dealt[kSequenceLength];
    std::memcpy(dealt, Game.sequence, sizeof dealt);
    DealSequence(1234);
    EXPECT_EQ(std::memcmp(dealt, Game.sequence, sizeof dealt), 0);
    EXPECT_EQ(Game.score, 0);
    EXPECT_EQ(Game.lines, 0);
    EXPECT_EQ(Game.level, 15);
    EXPECT_EQ(Game.levelLines, 0);
    EXPECT_EQ(Game.elapsedMs, 0);
    EXPECT_EQ(Game.dealt, 0);
    EXPECT_EQ(Game.streak, 0);
    EXPECT_EQ(Game.medals[MedalChain], 0);
    EXPECT_EQ(Game.medalFlash[MedalChain], 0);
    EXPECT_EQ(Game.popupTimer, 0);
    EXPECT_EQ(Game.bannerTimer, 0);
    EXPECT_EQ(Game.piece.kind, 0);
    EXPECT_EQ(Game.piece.x, 0);
    EXPECT_EQ(XLineGrid[4][6], LineEmpty);
    EXPECT_EQ(YLineGrid[4][6], LineEmpty);
    EXPECT_EQ(EraseMarkX[2][2], 0);
    EXPECT_EQ(XLineGrid[4][1], LineGrey);
    EXPECT_EQ(ActionCounters[CounterRotateRight], 0);
    EXPECT_EQ(Game.params.fallDelay, 1);
    EXPECT_EQ(BackgroundIndex, 6);
    EXPECT_TRUE(g_played.empty());
}

TEST_F(GameSceneTest, FirstPieceEntersInTheHundredthUpdateAndTheClockStartsAfter) {
    StartGame(1);
    Steps(99);
    EXPECT_EQ(Game.phase, PhaseReady);
    EXPECT_EQ(Game.dealt, 0);
    EXPECT_EQ(SceneEnterTimer, 1);
    EXPECT_TRUE(g_played.empty());

    Step();
    EXPECT_EQ(SceneEnterTimer, 0);
    EXPECT_EQ(Game.dealt, 1);
    EXPECT_EQ(Game.piece.kind, Game.sequence[0]);
    EXPECT_EQ(Game.phase, PhaseFalling);
    EXPECT_EQ(Game.elapsedMs, 0);
    EXPECT_FALSE(g_played.empty());   // the next piece is announced

    Step();
    EXPECT_EQ(Game.elapsedMs, 17);
    Steps(59);
    EXPECT_EQ(Game.elapsedMs, 60 * 17);
}

TEST_F(GameSceneTest, FromLevelThirtyFiveThePieceDropsAtOnceOnEntry) {
    struct Case {
        int32_t level;
        int32_t phase;
    };
    for (Case c : {Case{34, PhaseFalling}, Case{35, PhaseLanded}, Case{100, PhaseLanded}}) {
        SCOPED_TRACE(c.level);
        Fresh();
        StartLevel = c.level;
        StartGame(1);
        Steps(100);
        EXPECT_EQ(Game.phase, c.phase);
        if (c.phase == PhaseLanded) {
            EXPECT_EQ(TestFit(), FitResting);
            EXPECT_LT(Game.piece.y, SpawnRowTable[Game.piece.kind] - 5);
        } else {
            EXPECT_EQ(Game.piece.y, SpawnRowTable[Game.piece.kind]);
        }
    }
}

// ---- The play frame ----

TEST_F(GameSceneTest, DangerLevelReadsOnlySettledLinesUnderTheEntryPoint) {
    struct Case {
        bool xLine;
        int i, j;
        int32_t danger;
    };
    const Case cases[] = {
        {true, 2, 9, 1},   {true, 6, 12, 1},  {true, 3, 9, 1},   {true, 1, 9, 0},
        {true, 7, 12, 0},  {true, 2, 8, 0},   {true, 4, 13, 0},  {true, 3, 10, 2},
        {true, 5, 12, 2},  {true, 6, 10, 1},  {false, 2, 9, 0},  {false, 3, 9, 1},
        {false, 6, 12, 1}, {false, 7, 10, 0}, {false, 3, 10, 1}, {false, 4, 10, 2},
        {false, 5, 12, 2}, {false, 4, 8, 0},  {false, 5, 13, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.xLine ? "x" : "y") << " (" << c.i << ", " << c.j
                                          << ")");
        ResetField();
        EXPECT_EQ(DangerLevel(), 0);
        (c.xLine ? XLineGrid[c.i][c.j] : YLineGrid[c.i][c.j]) = kColour;
        EXPECT_EQ(DangerLevel(), c.danger);
    }
    // The falling piece itself is no danger.
    ResetField();
    Game.piece.kind = 7;
    Game.piece.x = 3;
    Game.piece.y = 10;
    LoadShape();
    EXPECT_EQ(DangerLevel(), 0);
}

TEST_F(GameSceneTest, PinchSoundsEveryHalfSecondOrSecondOnlyInPlay) {
    struct Case {
        bool xLine;
        int i, j;
        int frames;
        std::vector<int32_t> pinch;
    };
    const Case cases[] = {
        // Close danger: every 30 frames at 13 past; nothing during READY (13, 43, 73).
        {true, 3, 10, 220, {103, 133, 163, 193}},
        // Farther danger, beside the pieces' path: every 60 frames.
        {true, 6, 9, 400, {133, 193, 253, 313, 373}},
        {true, 6, 8, 400, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.i << ", " << c.j);
        Fresh();
        StartGame(1);
        (c.xLine ? XLineGrid[c.i][c.j] : YLineGrid[c.i][c.j]) = kColour;
        Steps(c.frames);
        EXPECT_EQ(SceneLeaveTimer, 0);
        EXPECT_EQ(FramesOf(WaveSlotPinch), c.pinch);
    }
}

TEST_F(GameSceneTest, TimersOfThePlayFrame) {
    StartGame(1);
    AwardMedal(MedalLines, 1);
    Game.popupTimer = 5;
    Steps(3);
    // READY: the flash waits, the popup counts down.
    EXPECT_EQ(Game.medalFlash[MedalLines], 60);
    EXPECT_EQ(Game.popupTimer, 2);
    Game.popupTimer = 10;
    Game.bannerTimer = 3;
    Step();
    EXPECT_EQ(Game.popupTimer, 0);   // a banner hides the popup
    EXPECT_EQ(Game.bannerTimer, 2);

    Steps(96);
    Steps(10);
    EXPECT_EQ(Game.medalFlash[MedalLines], 50);

    // Three kinds won: the collection medal comes in the next play frame.
    Game.medals[MedalLevel] = 1;
    Game.medals[MedalTime] = 1;
    const int32_t score = Game.score;
    Step();
    EXPECT_EQ(Game.medals[MedalCollection], 1);
    EXPECT_EQ(Game.score, score + 300000);
    EXPECT_EQ(Game.medalFlash[MedalCollection], 59);

    // The play clock stops at its ceiling instead of wrapping into negative time.
    Game.elapsedMs = 2147483647 - 20;
    Step();
    EXPECT_EQ(Game.elapsedMs, 2147483647 - 3);
    Step();
    EXPECT_EQ(Game.elapsedMs, 2147483647);
    Step();
    EXPECT_EQ(Game.elapsedMs, 2147483647);
}

// ---- Leaving ----

TEST_F(GameSceneTest, AbortCombinationWorksOnlyDuringPlay) {
    RankingOfTenDownToOneThousand();
    StartGame(1);
    HoldAbortCombination(ButtonHeld);
    Steps(100);
    EXPECT_EQ(SceneId, SceneGameNormal);
    EXPECT_EQ(Game.dealt, 1);

    // Three of the four are not enough.
    ButtonLatch.key[8] = ButtonIdle;
    Step();
    EXPECT_EQ(SceneId, SceneGameNormal);

    ButtonLatch.key[8] = ButtonPressed;
    Step();
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(NormalRanking.entries[9].score, 1000);

    // Nor during the game-over sequence.
    Fresh();
    TopOutFirstPiece();
    HoldAbortCombination(ButtonHeld);
    Steps(199);
    EXPECT_EQ(SceneId, SceneGameNormal);
    Step();
    EXPECT_EQ(SceneId, SceneTitle);
}

TEST_F(GameSceneTest, NewRankIsTheFirstEntryStrictlyBelowTheScore) {
    struct Case {
        int32_t score;
        int32_t rank;
    };
    const Case cases[] = {
        {10001, 0}, {10000, 1}, {7001, 3}, {7000, 4}, {1001, 9}, {1000, 10}, {0, 10},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.score);
        Fresh();
        RankingOfTenDownToOneThousand();
        TopOutFirstPiece();
        Game.score = c.score;
        Steps(4);
        EXPECT_EQ(NewRank, 10);   // not looked up yet
        Step();
        EXPECT_EQ(SceneLeaveTimer, 195);
        EXPECT_EQ(NewRank, c.rank);

        Steps(194);
        EXPECT_EQ(SceneId, SceneGameNormal);
        Step();
        if (c.rank == 10) {
            EXPECT_EQ(SceneId, SceneTitle);
        } else {
            EXPECT_EQ(SceneId, SceneNameEntry);
            EXPECT_EQ(SceneEnterTimer, 1800);
            EXPECT_EQ(NameLetters[0], 1);
            EXPECT_EQ(NameLetters[2], 1);
        }
        EXPECT_EQ(SceneFrame, 1);   // reset by the entry, then counted at the frame's end
    }
}

TEST_F(GameSceneTest, GameOverGreysTheStackFromTheBottomUp) {
    StartGame(1);
    for (int j = 1; j <= 11; ++j) YLineGrid[2][j] = kColour;
    for (int j = 2; j <= 15; ++j) XLineGrid[1][j] = kColour;
    BlockEntry();
    Steps(100);
    ASSERT_EQ(SceneLeaveTimer, 200);
    const int32_t elapsed = Game.elapsedMs;

    for (int k = 1; k <= 199; ++k) {
        Step();
        const int32_t t = SceneLeaveTimer;
        ASSERT_EQ(t, 200 - k);
        for (int r = 1; r <= 11; ++r) {
            EXPECT_EQ(YLineGrid[2][r], t <= 195 - 10 * r ? LineGrey : kColour) << "t " << t;
        }
        for (int r = 2; r <= 15; ++r) {
            EXPECT_EQ(XLineGrid[1][r], t <= 200 - 10 * r ? LineGrey : kColour) << "t " << t;
        }
    }
    // Empty places stay empty, and the lines above the greyed rows keep their colour.
    EXPECT_EQ(XLineGrid[7][5], LineEmpty);
    EXPECT_EQ(YLineGrid[8][5], LineEmpty);
    for (int i = 3; i <= 6; ++i) {
        EXPECT_EQ(YLineGrid[i][11], LineGrey);
        EXPECT_NE(YLineGrid[i][12], LineGrey);
        EXPECT_NE(YLineGrid[i][13], LineGrey);
    }
    EXPECT_EQ(Game.elapsedMs, elapsed);
    EXPECT_TRUE(FramesOf(WaveSlotPinch).empty());
}

// ---- Whole games ----

TEST_F(GameSceneTest, UntouchedGameStacksUpTopsOutAndReturnsToTheTitle) {
    for (int r = 0; r < kRankingEntries; ++r) NormalRanking.entries[r].score = 500000;
    SceneFrame = 4321;
    StartGame(1);
    EXPECT_EQ(Game.seed, 4321);
    int frames = 0;
    while (SceneLeaveTimer == 0 && frames < 20000) {
        Step();
        ++frames;
    }
    ASSERT_EQ(SceneLeaveTimer, 200);
    EXPECT_GE(Game.dealt, 4);
    EXPECT_EQ(FramesOf(WaveSlotChissoku).size(), 1u);
    EXPECT_FALSE(FramesOf(WaveSlotLineSet).empty());
    EXPECT_EQ(Game.elapsedMs, 17 * (frames - 100));
    EXPECT_GE(DangerLevel(), 1);

    Steps(199);
    EXPECT_EQ(SceneId, SceneGameNormal);
    for (int i = 1; i <= 7; ++i) {
        for (int j = 1; j <= 15; ++j) {
            EXPECT_TRUE(XLineGrid[i][j] == LineEmpty || XLineGrid[i][j] == LineGrey) << i << "," << j;
        }
    }
    for (int i = 1; i <= 8; ++i) {
        for (int j = 1; j <= 11; ++j) {
            EXPECT_TRUE(YLineGrid[i][j] == LineEmpty || YLineGrid[i][j] == LineGrey) << i << "," << j;
        }
    }
    Step();
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(NewRank, 10);
    EXPECT_EQ(NormalRanking.entries[0].score, 500000);
}

// Through the scene machine, with keys on the keyboard: the first key layout has SPEEDY
// FALL on the down arrow.
TEST_F(GameSceneTest, SpeedyFallGameEarnsARankAndGoesToTheNameEntry) {
    StartGame(1);
    HeadlessSetKey(kKeyDown, true);
    int frames = 0;
    while (SceneId == SceneGameNormal && frames < 20000) {
        FrameCallback();
        ++frames;
    }
    EXPECT_GT(Game.score, 0);
    EXPECT_EQ(NewRank, 0);
    EXPECT_EQ(SceneId, SceneNameEntry);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(FramesOf(WaveSlotChissoku).size(), 1u);
}

TEST_F(GameSceneTest, AbortKeysThroughTheSceneMachineLeaveWithoutARanking) {
    StartGame(1);
    for (int k = 0; k < 120; ++k) FrameCallback();
    Game.score = 5000;   // would rank in an empty table
    for (int key : {kKeyRight, int{'Z'}, int{'Q'}, int{'R'}}) HeadlessSetKey(key, true);
    FrameCallback();
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(NewRank, 10);
    EXPECT_EQ(NormalRanking.entries[0].score, 0);
}

}  // namespace
