// The game scene: READY, the play frame, the danger warning, the abort combination and the
// game-over sequence with its hand-over.
#include "game/replay_record.h"
#include "hosts/headless/headless.h"
#include "input/buttons.h"
#include "input/input.h"
#include "options/key_config.h"
#include "options/option_menu.h"
#include "platform/keys.h"
#include "rules/dealing.h"
#include "rules/motion.h"
#include "scenes/callbacks.h"
#include "scenes/mode_select.h"
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
        PlayFrom(level);  // the first piece enters flat in the air
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

// The abort is a close request like Escape: it samples Shift, and Shift steps only at close
// requests. Two sequences that read Shift differently at the key config's Escape once the
// abort counts as a sample.
TEST_F(GameSceneTest, TheAbortCombinationSamplesShiftLikeEveryCloseRequest) {
    const auto leaveGameByAbort = [] {
        Scene.startLevel = 0;
        StartGame(1);
        Step(100);  // READY
        HoldAbortCombination(ButtonPressed);
        Step();
        HoldAbortCombination(ButtonIdle);
    };

    // Shift held at an Escape, released for the abort and a plain Escape: pressed anew at the
    // key config's Escape it is a press, and the option menu comes back.
    EnterModeSelect();
    HeadlessSetKey(VkShift, true);
    EXPECT_EQ(CloseCallback(), 0);
    HeadlessSetKey(VkShift, false);
    leaveGameByAbort();
    EXPECT_EQ(Scene.id, SceneTitle);
    EXPECT_EQ(RecordedInfo().result.end, ReplayEndAbort);  // the replay keeps it as the abort
    EnterOptionMenu(SceneTitle);
    EXPECT_EQ(CloseCallback(), 0);  // Escape alone: back to the title
    EnterKeyConfig();
    HeadlessSetKey(VkShift, true);
    EXPECT_EQ(CloseCallback(), 0);
    EXPECT_EQ(Scene.id, SceneOptionMenu);

    // Shift held through the abort and on to the key config's Escape: held since the close
    // request before, so straight back to the title.
    Fresh();
    HeadlessSetKey(VkShift, true);
    leaveGameByAbort();
    EnterKeyConfig();
    EXPECT_EQ(CloseCallback(), 0);
    EXPECT_EQ(Scene.id, SceneTitle);
}

// Each entry chimes the kind dealt next: one sound for each kind or pair of kinds.
TEST_F(GameSceneTest, EachEntryChimesTheNextKind) {
    const int chime[7] = {WaveSlotNewLine1, WaveSlotNewLine26, WaveSlotNewLine3, WaveSlotNewLine47,
                          WaveSlotNewLine5, WaveSlotNewLine26, WaveSlotNewLine47};
    for (int kind = 0; kind < 7; ++kind) {
        Fresh();
        StartGame(1);
        Deal({kind, kind});
        Step(100);
        EXPECT_EQ(Played(), V(chime[kind])) << kind;
    }
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
