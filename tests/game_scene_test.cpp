// The game scene: READY, the play frame, the danger warning, the abort combination and the
// game-over sequence with its hand-over.
#include "game/dealing.h"
#include "game/motion.h"
#include "input/buttons.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "scenes/callbacks.h"
#include "shell/catalogue.h"
#include "shell/settings.h"
#include "support/piece_fixture.h"

namespace {

constexpr int32_t kColour = 6;

class GameSceneTest : public GameTest {
protected:
    static void HoldAbortCombination(int32_t state) {
        ButtonLatch.right = ButtonLatch.key[1] = ButtonLatch.key[7] = ButtonLatch.key[8] = state;
    }
    // Lines all over the entry point: the game's first piece cannot enter at the end of READY.
    static void TopOutFirstPiece() {
        for (int i = 3; i <= 5; ++i)
            XLineGrid[i][11] = XLineGrid[i][12] = XLineGrid[i][13] = kColour;
        for (int i = 3; i <= 6; ++i)
            YLineGrid[i][10] = YLineGrid[i][11] = YLineGrid[i][12] = kColour;
        Step(100);
        // The flat straight line is written over the stack.
        ASSERT_EQ(V(Scene.leaveTimer, XLineGrid[4][12]), V(200, 1));
    }
};

TEST_F(GameSceneTest, ReadyCountsAHundredFramesThenTheFirstPieceEntersAndTheClockRuns) {
    Game.score = 123;
    Game.medals[MedalChain] = 2;
    XLineGrid[4][6] = kColour;  // the last game's
    Scene.startLevel = 15;
    Scene.frame = 1234;
    StartGame(1);
    const std::vector<int8_t> dealt(Game.sequence, Game.sequence + kSequenceLength);
    DealSequence(1234);  // dealt from the frame count
    EXPECT_EQ(dealt, std::vector<int8_t>(Game.sequence, Game.sequence + kSequenceLength));
    EXPECT_EQ(
        V(Game.score, Game.medals[MedalChain], XLineGrid[4][6], Game.level, Game.params.fallDelay),
        V(0, 0, 0, 15, 1));
    Step(99);
    EXPECT_EQ(V(Game.dealt, g_waves.size()), V(0, 0));  // the level was set silently, nothing won
    Step();
    EXPECT_EQ(V(Game.piece.kind, Game.phase, Game.elapsedMs), V(Game.sequence[0], PhaseFalling, 0));
    Step(60);
    EXPECT_EQ(Game.elapsedMs, 60 * 17);
    Game.elapsedMs = 2147483647 - 20;  // the clock stops at its ceiling instead of wrapping
    Step(2);
    EXPECT_EQ(Game.elapsedMs, 2147483647);
}

TEST_F(GameSceneTest, FromLevelThirtyFiveThePieceDropsAtOnceOnEntry) {
    for (int32_t level : {34, 35}) {
        Fresh();
        BeginPlay(level);  // the first piece enters flat in the air
        EXPECT_EQ(V(Game.phase, Game.piece.y),
                  level == 35 ? V(PhaseLanded, 0) : V(PhaseFalling, 10))
            << level;
    }
}

// Close danger every 30 frames at 13 past, farther danger every 60; nothing during READY.
TEST_F(GameSceneTest, PinchSoundsEveryHalfSecondOrSecondOnlyInPlay) {
    struct Case {
        int i, j, frames;
        std::vector<int64_t> pinch;
    };
    const Case cases[] = {{3, 10, 220, {103, 133, 163, 193}},
                          {6, 9, 400, {133, 193, 253, 313, 373}},
                          {6, 8, 400, {}}};
    for (const Case& c : cases) {
        Fresh();
        StartGame(1);
        XLineGrid[c.i][c.j] = kColour;
        Step(c.frames);
        EXPECT_EQ(Played(WaveSlotPinch), c.pinch) << c.i << "," << c.j;
    }
}

TEST_F(GameSceneTest, AbortCombinationWorksOnlyDuringPlay) {
    StartGame(1);
    HoldAbortCombination(ButtonHeld);
    Step(100);  // READY
    ButtonLatch.key[8] = ButtonIdle;
    Step();  // three of the four are not enough
    EXPECT_EQ(Scene.id, SceneGameNormal);
    ButtonLatch.key[8] = ButtonPressed;
    Step();
    EXPECT_EQ(Scene.id, SceneTitle);
}

// The abort combination held through the game over changes nothing either.
TEST_F(GameSceneTest, ScoreEqualToARankingScoreRanksBelowIt) {
    const int32_t cases[][2] = {{10001, 0}, {10000, 1}, {7001, 3}, {1000, 10}};
    for (const auto& [score, rank] : cases) {
        Fresh();
        for (int r = 0; r < kRankingEntries; ++r) NormalRanking.entries[r].score = 1000 * (10 - r);
        StartGame(1);
        TopOutFirstPiece();
        Game.score = score;
        HoldAbortCombination(ButtonHeld);
        Step(5);
        EXPECT_EQ(Scene.newRank, rank) << score;
        Step(194);
        // The stack has turned grey up to y-line row 11 and x-line row 15.
        EXPECT_EQ(V(Scene.id, YLineGrid[3][11], YLineGrid[3][12], XLineGrid[3][13]),
                  V(SceneGameNormal, LineGrey, kColour, LineGrey));
        Step();
        EXPECT_EQ(Scene.id, rank == 10 ? SceneTitle : SceneNameEntry) << score;
    }
}

// The instant drop follows every entry at instant-gravity levels, a failed one too: the phase
// then reads "landed", yet the piece stays where it could not enter and the game ends as ever.
TEST_F(GameSceneTest, TopOutAtAnInstantGravityLevelLeavesThePhaseLanded) {
    for (int32_t level : {34, 35}) {
        Fresh();
        Scene.startLevel = level;
        StartGame(1);
        TopOutFirstPiece();
        EXPECT_EQ(Game.phase, level == 35 ? PhaseLanded : PhaseTopOut) << level;
        EXPECT_EQ(V(Game.piece.y, Played(WaveSlotChissoku).size()), V(SpawnRowTable[0], 1));
        Step(199);
        EXPECT_EQ(Scene.id, SceneGameNormal) << level;
        Step();
        EXPECT_EQ(Scene.id, SceneTitle) << level;
    }
}

// The whole program with the first key layout: SPEEDY FALL held on the down arrow until the
// stack tops out, then the hand-over to the name entry.
TEST_F(GameSceneTest, SpeedyFallGameEarnsARankAndGoesToTheNameEntry) {
    StartGame(1);
    HeadlessSetKey(VkDown, true);
    for (int frames = 0; Scene.id == SceneGameNormal && frames < 20000; ++frames) FrameCallback();
    EXPECT_EQ(V(Scene.id, Scene.newRank, Played(WaveSlotChissoku).size()), V(SceneNameEntry, 0, 1));
    EXPECT_GT(Game.dealt, 4);
    EXPECT_GT(Game.score, 0);
}

}  // namespace
