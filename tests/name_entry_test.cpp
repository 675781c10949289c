// The name entry driven frame by frame with keys: letter stepping with auto-repeat, the
// cursor, the time limit, the insertion into the normal ranking and the hand-over to it.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/headless/headless.h"
#include "platform/keys.h"
#include "program/query.h"
#include "rules/field.h"
#include "scenes/callbacks.h"
#include "scenes/name_entry.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "support/fresh.h"
#include "support/sprite_log.h"

namespace {

constexpr int kKey1 = 'Z', kKey2 = 'S';

// The frames of the test, counted from 0, in which each sound was played.
std::vector<int> g_choice, g_select;
int g_frames;

class NameEntryTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        SetWaveTrace([](WaveOp op, uint16_t slot, int32_t, int32_t) {
            if (op == WaveOpPlay && slot == WaveSlotChoice) g_choice.push_back(g_frames);
            if (op == WaveOpPlay && slot == WaveSlotSelect) g_select.push_back(g_frames);
        });
        DefaultNormalRanking();
        RecordSprites();
        EndedGame(2000000, 0);
    }
    // The game has just ended with this result and rank.
    static void EndedGame(int32_t score, int32_t rank) {
        Game.score = score;
        Game.lines = 321;
        Scene.newRank = rank;
        EnterNameEntry();
        g_choice.clear(), g_select.clear(), g_frames = 0;
    }
    static void Frames(int n) {
        for (int k = 0; k < n; ++k, ++g_frames) FrameCallback();
    }
    // A key down for some frames, then up for some. Once up for two frames, a key reads
    // pressed again when it goes down; a held direction steps in its second frame.
    static void Tap(int key, int down = 1, int up = 2) {
        HeadlessSetKey(key, true);
        Frames(down);
        HeadlessSetKey(key, false);
        Frames(up);
    }
    static std::vector<int32_t> Entry(int i) {
        const RankingEntry& e = NormalRanking.entries[i];
        return {e.name[0], e.name[1], e.name[2], e.score, e.lines};
    }
};

using FrameList = std::vector<int>;

}  // namespace

TEST_F(NameEntryTest, KeyOneThreeTimesEntersAAAAndTheRankingFollowsSixtyFramesLater) {
    Tap(kKey1);
    Tap(kKey1);
    Tap(kKey1, 1, 0);
    EXPECT_EQ(g_select, (FrameList{0, 3, 6}));
    EXPECT_TRUE(g_choice.empty());
    EXPECT_EQ(Entry(0), (std::vector<int32_t>{1, 1, 1, 2000000, 321}));
    Frames(59);
    EXPECT_EQ(Scene.id, SceneNameEntry);
    EXPECT_EQ(FadeLevel, 0);  // faded to black
    Frames(1);
    EXPECT_EQ(Scene.id, SceneRankingAfterEntry);
}

TEST_F(NameEntryTest, BlankComesBeforeAQuestionMarkBeforeBlankAndKeyTwoGoesBack) {
    Tap(kKey2);  // no letter before the first: silent
    EXPECT_EQ(Scene.menuCursor, 0);
    EXPECT_TRUE(g_select.empty());
    Tap(VkUp, 2, 1);
    EXPECT_EQ(NameLetters[0], 0);
    Tap(VkLeft, 2, 1);
    EXPECT_EQ(NameLetters[0], 41);
    Tap(kKey1);
    const char shown[] = "?AA";
    for (int k = 0; k < 3; ++k) {  // 32-pixel letters, the one under the cursor yellow
        const DrawnSprite* s = SpriteAt(240 + 64 * k, 256);
        ASSERT_NE(s, nullptr) << k;
        EXPECT_EQ(GlyphChar(*s), shown[k]);
        EXPECT_EQ(s->slot, k == 1 ? 33u : 31u) << k;
    }
    Tap(kKey2);
    EXPECT_EQ(Scene.menuCursor, 0);
    EXPECT_EQ(g_select.size(), 2u);
}

// The browser page sends a finished game under the name just entered; it reads the letters
// through the program's query, after the ranking has taken over.
TEST_F(NameEntryTest, TheLettersEnteredCanBeAskedForAfterTheRankingTakesOver) {
    Tap(VkUp, 2, 1);  // the blank letter
    Tap(kKey1);
    Tap(VkLeft, 2, 1);
    Tap(VkLeft, 2, 1);  // "?", through the blank letter
    Tap(kKey1);
    Tap(VkDown, 2, 1);  // "B"
    Tap(kKey1, 1, 0);
    Frames(60);
    ASSERT_EQ(Scene.id, SceneRankingAfterEntry);
    EXPECT_EQ(QueryProgram(ProgramQuery::NameLetter1), 0);
    EXPECT_EQ(QueryProgram(ProgramQuery::NameLetter2), 41);
    EXPECT_EQ(QueryProgram(ProgramQuery::NameLetter3), 2);
    EXPECT_EQ(Entry(0), (std::vector<int32_t>{0, 41, 2, 2000000, 321}));
}

TEST_F(NameEntryTest, HoldingADirectionStepsInFrames2And11ThenEverySix) {
    for (int key : {VkDown, VkRight, VkUp, VkLeft}) {
        EndedGame(2000000, 0);
        Tap(key, 30, 0);
        EXPECT_EQ(g_choice, (FrameList{1, 10, 16, 22, 28})) << key;
        EXPECT_EQ(NameLetters[0], key == VkDown || key == VkRight ? 6 : 38) << key;
    }
}

TEST_F(NameEntryTest, TimeOutEntersTheLettersAsTheyStandAndIgnoresButtonsAfter) {
    EndedGame(555555, 3);
    Tap(VkDown, 2, 1);
    Tap(kKey1);
    Frames(1799 - g_frames);
    HeadlessSetKey(kKey1, true);  // in the frame of the time-out and after: no effect
    HeadlessSetKey(VkDown, true);
    Frames(3);
    EXPECT_EQ(g_select, (FrameList{3, 1799}));
    EXPECT_EQ(g_choice, (FrameList{1}));
    EXPECT_EQ(Entry(3), (std::vector<int32_t>{2, 1, 1, 555555, 321}));
}

TEST_F(NameEntryTest, TheEntriesBelowTheNewRankMoveDownOnePlace) {
    for (int32_t rank : {0, 9, 10}) {
        DefaultNormalRanking();
        const RankingTable before = NormalRanking;
        EndedGame(777, rank);
        CommitName();
        for (int i = 0; i < kRankingEntries; ++i)
            EXPECT_EQ(Entry(i)[3], i == rank ? 777 : before.entries[i - (i > rank)].score) << i;
    }
}

TEST_F(NameEntryTest, AScoreEqualToAnEntryGoesBelowIt) {
    for (int i = 0; i < kRankingEntries; ++i) NormalRanking.entries[i].score = 5004 - i;
    Scene.id = SceneGameNormal;  // the game-over countdown works out the rank
    Game.readyTimer = 0;
    Game.overTimer = 200;
    Game.score = 5000;
    Frames(200);
    EXPECT_EQ(Scene.id, SceneNameEntry);
    EXPECT_EQ(Scene.newRank, 5);  // below the older entry of the same score
    CommitName();
    EXPECT_EQ(Entry(5), (std::vector<int32_t>{1, 1, 1, 5000, 321}));
}

TEST_F(NameEntryTest, BackInTheFrameOfAcceptanceStillEntersTheNameAndMovesTheCursor) {
    Tap(kKey1);
    Tap(kKey1);
    HeadlessSetKey(kKey1, true);
    HeadlessSetKey(kKey2, true);
    Frames(1);
    EXPECT_EQ(g_select, (FrameList{0, 3, 6, 6}));  // accepted, then the step back
    EXPECT_EQ(Entry(0), (std::vector<int32_t>{1, 1, 1, 2000000, 321}));
    EXPECT_EQ(Scene.menuCursor, 2);
    const DrawnSprite* third = SpriteAt(368, 256);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->slot, 33u);  // yellow like a letter under the cursor, not cycling
    Frames(60);
    EXPECT_EQ(Scene.id, SceneRankingAfterEntry);
}
