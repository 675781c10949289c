// The ranking screen driven frame by frame through the real FrameCallback: its 855-update
// timeline, the two pages sliding, the new entry's highlight, skipping with a new press, the
// fades, and the way back to the title.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "scenes/ranking.h"
#include "shell/settings.h"
#include "support/screen_driver.h"

using namespace screen_driver;

namespace {

// Medals are all that is drawn besides the glyphs and the background (slots 241 to 251).
std::vector<DrawnSprite> Medals() {
    std::vector<DrawnSprite> medals = DrawnSprites;
    std::erase_if(medals, [](const DrawnSprite& s) {
        return IsGlyph(s.slot) || (s.slot >= 241 && s.slot <= 251);
    });
    return medals;
}

// The six phase timers in order; only one runs at a time.
using Timers = std::array<int32_t, 6>;
Timers Now() {
    return {Scene.enterTimer, SummaryShowTimer, SummaryLeaveTimer,
            DetailEnterTimer, DetailShowTimer,  Scene.leaveTimer};
}
// After n updates without a skip; each phase starts counting in the frame the last one ends.
Timers After(int n) {
    constexpr int kEnds[] = {40, 339, 378, 417, 836, 855};
    Timers t{};
    const auto p = std::upper_bound(kEnds, kEnds + 6, n) - kEnds;
    if (p < 6) t[p] = kEnds[p] - n;
    return t;
}

// Both pages as update n draws them: whole rows slide, 16 pixels a frame, the first entries
// of the default table reading the same all the way.
void ExpectPages(int n) {
    SCOPED_TRACE(n);
    const Timers t = After(n);
    const std::vector<DrawnSprite> medals = Medals();
    if (n < 378) {
        // Even rows come from the right and leave to the left, odd rows the other way.
        const int32_t shift = 16 * t[0] - (t[2] ? 16 * (40 - t[2]) : 0);
        EXPECT_EQ(RowAt(64).x, 16 - 16 * t[0]);
        EXPECT_TRUE(medals.empty());
        EXPECT_EQ(RowAt(128).text + "|" + RowAt(160).text, "1ST QTV  1000000|2ND LBR   810000");
        for (int32_t i = 0; i < 10; ++i) {
            EXPECT_EQ(RowAt(32 * (4 + i)).x, (i == 9 ? 48 : 64) + (i % 2 ? -shift : shift)) << i;
        }
        return;
    }
    // First lines come from the left, second lines and medals from the right; on the way
    // out the second lines go left, the rest and the title right.
    const int32_t in = 16 * t[3], out = t[5] ? 16 * (20 - t[5]) : 0;
    EXPECT_EQ(RowAt(64).x, 16 - out);
    ASSERT_EQ(medals.size(), 60u);
    EXPECT_EQ(RowAt(112).text + "|" + RowAt(128).text, "1ST     1000000 PTS.|QTV       1000 LINES");
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(RowAt(16 * (2 * i + 7)).x, (i == 9 ? 24 : 32) - in + out) << i;
        EXPECT_EQ(RowAt(16 * (2 * i + 8)).x, 80 + in - out) << i;
        for (int32_t m = 0; m < kMedalKinds; ++m) {
            const DrawnSprite& medal = medals[6 * i + m];
            EXPECT_EQ(medal.x, 416 + in + out + 32 * m) << i;
            EXPECT_EQ(medal.slot, 18u + NormalRanking.entries[i].medals[m]);
            EXPECT_EQ(medal.top, 32 * m);  // the kind's row of the tier's sheet
        }
    }
}

using Slots = std::vector<uint32_t>;

// Opened as the title's RANKING item opens it, the entering frame drawn.
void OpenFromTitle() {
    EnterRanking(SceneTitle);
    RankingDraw();
}

struct RankingTest : testing::Test {
    void SetUp() override {
        Start();
        DefaultNormalRanking();
    }
};

}  // namespace

TEST_F(RankingTest, SlidesBothPagesThroughItsPhasesAndReturnsToTheTitleAfter855Updates) {
    NormalRanking.entries[1].medals[1] = 3;
    NormalRanking.entries[9].medals[5] = 2;
    Scene.newRank = 4;
    FadeLevel = 13;  // a probe: opened from the title there is no fade-in
    OpenFromTitle();
    EXPECT_EQ(Scene.newRank, 10);  // nothing lit
    for (int n = 0; n < 855; ++n, RunFrames()) {
        ASSERT_EQ(Now(), After(n)) << n;
        EXPECT_EQ(FadeLevel, n < 836 ? 13 : 855 - n) << n;
        if (n % 13 == 0 || n == 40 || n == 417) ExpectPages(n);
    }
    EXPECT_EQ(Scene.id, SceneTitle);
    EXPECT_EQ(Scene.enterTimer, 20);
    EXPECT_EQ(FadeLevel, 1);
}

TEST_F(RankingTest, AfterANameEntryItFadesInTheNewEntryCyclesAndForeignMedalsDrawNothing) {
    NormalRanking.entries[4].medals[0] = 4;  // values from a foreign file: no picture
    NormalRanking.entries[4].medals[3] = -1;
    NormalRanking.entries[4].medals[5] = INT32_MAX;
    Scene.newRank = 3;
    EnterRanking(SceneNameEntry);
    RankingDraw();
    for (int n = 0; n < 442; ++n, RunFrames()) {
        EXPECT_EQ(FadeLevel, std::min(n + 1, 20)) << n;
        const Row lit = RowAt(224), plain = RowAt(192);
        if (n >= 45 && n < 51) {  // the summary at rest: letters out of step, the score too
            EXPECT_EQ((Slots{lit.slots[4], lit.slots[5], lit.slots[6], lit.slots.back()}),
                      (Slots{Cycle(31, 1, 0), Cycle(31, 1, 2), Cycle(31, 1, 4), Cycle(38, 1, 3)}));
            EXPECT_EQ((Slots{plain.slots[4], plain.slots.back()}), (Slots{31, 38}));
        } else if (n >= 436) {  // the detail page: the letters on the second line, the lines
            EXPECT_EQ((Slots{lit.slots[0], lit.slots[1], lit.slots[2], lit.slots.end()[-7]}),
                      (Slots{Cycle(1, 1, 0), Cycle(1, 1, 1), Cycle(1, 1, 2), Cycle(8, 1, 4)}));
        }
    }
    const std::vector<DrawnSprite> medals = Medals();
    EXPECT_EQ(medals.size(), 57u);
    for (const DrawnSprite& s : medals) {
        EXPECT_TRUE(s.y != 240 || s.x == 448 || s.x == 480 || s.x == 544) << s.x;
    }
}

TEST_F(RankingTest, OnlyANewPressOfKeysOneToFourSkipsTheShowPhases) {
    for (int key : {kKey1, kKey2, kKey3, kKey4}) {
        SCOPED_TRACE(key);
        Start();
        OpenFromTitle();
        for (int from : {0, 339}) {
            HeadlessSetKey(key, true);  // down before the show phase and held into it
            RunFrames(100);
            EXPECT_EQ(Now(), After(from + 100));
            HeadlessSetKey(key, false);
            RunFrames(2);
            Press(key);  // a new press: the slide-out that follows starts and counts at once
            EXPECT_EQ(Now(), After(from == 0 ? 339 : 836));
        }
        RunFrames(19);
        EXPECT_EQ(Scene.id, SceneTitle);
    }
}
