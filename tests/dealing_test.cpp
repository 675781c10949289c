// Dealing the pieces and their entry into the field.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "game/field.h"
#include "game/motion.h"
#include "options/buttons.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/piece_fixture.h"

namespace {

// The generator as a player's notebook would compute it.
struct NotebookRandom {
    uint32_t state;
    int Draw() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
};

int NotebookKind(int r) {
    const int kind = r * 7 / 32767;
    return kind == 7 ? 0 : kind;
}

using DealingTest = PieceTest;

TEST_F(DealingTest, DealtKindsFollowTheGenerator) {
    for (int32_t seed : {0, 1, 12345, 0x7FFFFFFF, -1}) {
        DealSequence(seed);
        NotebookRandom notebook{static_cast<uint32_t>(seed)};
        for (int i = 0; i < kSequenceLength; ++i) {
            ASSERT_EQ(Game.sequence[i], NotebookKind(notebook.Draw())) << "seed " << seed << " piece " << i;
        }
    }
}

TEST_F(DealingTest, FirstKindsOfSeedZero) {
    // States 2531011, 505908858, 3539360597 draw 38, 7719, 21238.
    DealSequence(0);
    EXPECT_EQ(Game.sequence[0], 0);
    EXPECT_EQ(Game.sequence[1], 1);
    EXPECT_EQ(Game.sequence[2], 4);
}

TEST_F(DealingTest, TheTopDrawDealsAStraightLineNotTheSquare) {
    // The starting value whose first draw is 32767: invert the step for the state 0x7FFF0000.
    uint32_t inverse = 214013u;   // Newton's iteration for the inverse modulo 2^32
    for (int n = 0; n < 5; ++n) inverse *= 2u - 214013u * inverse;
    const uint32_t seed = (0x7FFF0000u - 2531011u) * inverse;
    DealSequence(static_cast<int32_t>(seed));
    EXPECT_EQ(Game.sequence[0], 0);

    int counts[8] = {};
    for (int32_t s = 0; s < 40; ++s) {
        DealSequence(s * 7919);
        for (int8_t k : Game.sequence) ++counts[k >= 0 && k < 8 ? k : 7];
    }
    EXPECT_EQ(counts[7], 0);
    for (int kind = 0; kind < 7; ++kind) EXPECT_GT(counts[kind], 4000) << kind;   // about 5714 each
}

TEST_F(DealingTest, MoreThanAThousandPiecesRepeatTheSequence) {
    DealSequence(4242);
    for (int n = 0; n < 2105; ++n) {
        ResetField();
        g_played.clear();
        SpawnPiece();
        ASSERT_EQ(Game.piece.kind, Game.sequence[n % 1000]) << n;
        ASSERT_EQ(Game.dealt, n + 1);
        ASSERT_EQ(NextPieceKind(), Game.sequence[(n + 1) % 1000]);
        ASSERT_EQ(Game.phase, PhaseFalling);
    }
}

TEST_F(DealingTest, PieceCountNeverOverflows) {
    DealSequence(99);
    Game.dealt = INT32_MAX - 1;
    SpawnPiece();
    EXPECT_EQ(Game.piece.kind, Game.sequence[(INT32_MAX - 1) % 1000]);
    EXPECT_GT(Game.dealt, 0);
    EXPECT_EQ(Game.dealt % 1000, INT32_MAX % 1000);
    ResetField();
    SpawnPiece();
    EXPECT_EQ(Game.piece.kind, Game.sequence[INT32_MAX % 1000]);
}

// ---- Entry ----

TEST_F(DealingTest, PieceEntersAtItsRowInRotationOne) {
    for (int kind = 0; kind < 7; ++kind) {
        ResetField();
        Deal({kind, 3});
        Game.params.fallDelay = 40;
        Game.params.lockDelay = 33;
        SpawnPiece();
        EXPECT_EQ(Game.piece.kind, kind);
        EXPECT_EQ(Game.piece.rotation, 1);
        EXPECT_EQ(Game.piece.x, 3);
        EXPECT_EQ(Game.piece.y, kind == 0 ? 10 : 11);
        EXPECT_EQ(Game.piece.xLines[0][2], kind == 0 ? 1 : 0);
        EXPECT_EQ(Game.phase, PhaseFalling);
        EXPECT_EQ(Game.fallTimer, 40);
        EXPECT_EQ(Game.lockTimer, 33);
        EXPECT_EQ(Game.dealt, 1);
    }
}

TEST_F(DealingTest, EntryChimeNamesTheNextKind) {
    const uint16_t chime[7] = {3, 4, 5, 6, 7, 4, 6};
    for (int next = 0; next < 7; ++next) {
        ResetField();
        Deal({1, next});
        g_played.clear();
        SpawnPiece();
        EXPECT_EQ(g_played, std::vector<uint16_t>{chime[next]}) << "next kind " << next;
    }
}

TEST_F(DealingTest, EntryOntoASupportLandsWithTheLandingSound) {
    Deal({0, 4});
    XLineGrid[4][11] = 3;   // under the flat line's middle on row 12
    SpawnPiece();
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 60);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotLineFall, WaveSlotNewLine5}));
}

TEST_F(DealingTest, TopOutWritesThePieceOverTheStack) {
    Deal({1, 0});
    Game.dealt = 0;
    XLineGrid[3][12] = 5;   // where the L's arm appears
    YLineGrid[3][11] = 6;
    SpawnPiece();
    EXPECT_EQ(Game.phase, PhaseTopOut);
    EXPECT_EQ(SceneLeaveTimer, 200);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotChissoku});
    EXPECT_EQ(XLineGrid[3][12], 2);
    EXPECT_EQ(XLineGrid[4][12], 2);
    EXPECT_EQ(YLineGrid[3][11], 2);
    EXPECT_EQ(Game.dealt, 0);
}

TEST_F(DealingTest, HeldRotateButtonTurnsThePieceAsItEnters) {
    Deal({1, 0});
    ActionCounters[CounterRotateRight] = 7;
    SpawnPiece();
    EXPECT_EQ(Game.piece.rotation, 2);
    EXPECT_EQ(Game.piece.xLines[0][2], 2);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotNewLine1, WaveSlotPreRotate}));
}

TEST_F(DealingTest, BothRotateButtonsTurnRightAndBack) {
    Deal({1, 4});
    ActionCounters[CounterRotateRight] = 1;
    ActionCounters[CounterRotateLeft] = 11;
    SpawnPiece();
    EXPECT_EQ(Game.piece.rotation, 1);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotNewLine5, WaveSlotPreRotate}));
}

TEST_F(DealingTest, RefusedPreRotationIsTakenBackSilently) {
    Deal({1, 4});
    XLineGrid[3][13] = 4;   // rotation 2's arm
    ActionCounters[CounterRotateRight] = 3;
    SpawnPiece();
    EXPECT_EQ(Game.piece.rotation, 1);
    EXPECT_EQ(Game.piece.xLines[0][1], 2);
    EXPECT_EQ(g_played, std::vector<uint16_t>{WaveSlotNewLine5});

    // Both held, right refused, left allowed: the piece enters in rotation 0, announced as turned.
    ResetField();
    XLineGrid[3][13] = 4;
    Deal({1, 4});
    g_played.clear();
    ActionCounters[CounterRotateLeft] = 3;
    SpawnPiece();
    EXPECT_EQ(Game.piece.rotation, 0);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotNewLine5, WaveSlotPreRotate}));
}

TEST_F(DealingTest, PreRotationOntoASupportLandsBeforeTheChimes) {
    Deal({1, 2});
    XLineGrid[4][10] = 4;   // under rotation 0's x-line on row 11
    ActionCounters[CounterRotateLeft] = 1;
    SpawnPiece();
    EXPECT_EQ(Game.piece.rotation, 0);
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(g_played, (std::vector<uint16_t>{WaveSlotLineFall, WaveSlotNewLine3, WaveSlotPreRotate}));
}

TEST_F(DealingTest, InstantGravityEntryDropsSilently) {
    Deal({0, 0});
    Game.params = {0, 40, 20, 20, 40, 1};
    SpawnPiece();
    g_played.clear();
    Game.fallTimer = 7;
    InstantGravityAfterEntry();
    EXPECT_EQ(Game.piece.y, 0);   // flat line on row 2, over the floor
    EXPECT_EQ(Game.phase, PhaseLanded);
    EXPECT_EQ(Game.lockTimer, 40);
    EXPECT_EQ(Game.fallTimer, 0);
    EXPECT_TRUE(g_played.empty());

    // Without instant gravity the entry stays where it is.
    ResetField();
    Deal({0, 0});
    Game.params = kLevel0;
    SpawnPiece();
    InstantGravityAfterEntry();
    EXPECT_EQ(Game.piece.y, 10);
    EXPECT_EQ(Game.phase, PhaseFalling);
}

}  // namespace
