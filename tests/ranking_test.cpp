// The ranking screen driven frame by frame through the real FrameCallback: its 855-frame
// timeline, the two pages with their slides, the highlight of a new entry, skipping with a
// new press, the fades, and the return to the title.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/random.h"
#include "frame/sprite.h"
#include "platform/headless/headless.h"
#include "shell/ranking.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "support/fresh.h"

namespace {

constexpr int kKeys1To4[] = {'Z', 'S', 'X', 'C'};
constexpr int kOtherButtons[] = {38, 40, 37, 39, 'W', 'E', 'Q', 'R'};

struct Sprite {
    int32_t x, y;
    uint32_t slot;
    int32_t left, top, right, bottom;
};
std::vector<Sprite> g_sprites;

void RecordSprite(int32_t x, int32_t y, uint32_t slot, int32_t left, int32_t top,
                  int32_t right, int32_t bottom) {
    g_sprites.push_back({x, y, slot, left, top, right, bottom});
}

bool IsFontSlot(uint32_t slot) { return (slot >= 1 && slot <= 14) || (slot >= 31 && slot <= 44); }
bool IsMedalSlot(uint32_t slot) { return slot >= 18 && slot <= 21; }
int32_t GlyphSize(uint32_t slot) { return slot <= 14 ? 16 : 32; }

char Glyph(const Sprite& s) {
    const int32_t w = GlyphSize(s.slot);
    return static_cast<char>(32 + s.left / w + 16 * (s.top / w));
}

// The glyphs on one text row, in the order they were drawn.
std::vector<Sprite> TextOnRow(int32_t y) {
    std::vector<Sprite> row;
    for (const Sprite& s : g_sprites) {
        if (s.y == y && IsFontSlot(s.slot)) row.push_back(s);
    }
    return row;
}

std::vector<Sprite> Medals() {
    std::vector<Sprite> medals;
    for (const Sprite& s : g_sprites) {
        if (IsMedalSlot(s.slot)) medals.push_back(s);
    }
    return medals;
}

bool SummaryShown() {
    for (const Sprite& s : g_sprites) {
        if (s.slot >= 38 && s.slot <= 44) return true;
    }
    return false;
}

void Frame1() {
    g_sprites.clear();
    FrameCallback();
}

int32_t DrawnFrame() { return SceneFrame - 1; }

const char* const kLabels[10] = {"1ST", "2ND", "3RD", "4TH", "5TH",
                                 "6TH", "7TH", "8TH", "9TH", "10TH"};

// Checks glyphs [from, from + text length) of a row: characters, x from firstX in steps of
// `step`, and font slot.
void ExpectText(const std::vector<Sprite>& row, size_t from, const std::string& text,
                int32_t firstX, int32_t step, uint32_t slot) {
    ASSERT_GE(row.size(), from + text.size());
    for (size_t j = 0; j < text.size(); ++j) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Glyph(row[from + j]), text[j]);
        EXPECT_EQ(row[from + j].x, firstX + static_cast<int32_t>(j) * step);
        EXPECT_EQ(row[from + j].slot, slot);
    }
}

// A number as placement 10 draws it: its lowest `digits` digits, leading zeros left blank,
// the last digit at x + (digits - 1) * w.
void ExpectNumber(const std::vector<Sprite>& row, size_t from, int32_t value, int32_t digits,
                  int32_t x, int32_t w, uint32_t slot) {
    std::string shown = std::to_string(value);
    if (static_cast<int32_t>(shown.size()) > digits) shown = shown.substr(shown.size() - digits);
    const int32_t first = x + (digits - static_cast<int32_t>(shown.size())) * w;
    ASSERT_EQ(row.size(), from + shown.size());
    ExpectText(row, from, shown, first, w, slot);
}

std::string Name(const RankingEntry& e) {
    std::string name;
    for (int32_t letter : e.name) name += static_cast<char>(LetterToChar(letter));
    return name;
}

// Summary row i with its parts at the given offsets (half-glyphs of 16 pixels) and score x.
void ExpectSummaryRow(int32_t i, int32_t labelOffset, int32_t letterOffset, int32_t scoreX,
                      bool lit) {
    SCOPED_TRACE(kLabels[i]);
    const RankingEntry& e = NormalRanking.entries[i];
    const std::vector<Sprite> row = TextOnRow(32 * (i + 4));
    const std::string label = kLabels[i];
    const int32_t len = static_cast<int32_t>(label.size());
    ExpectText(row, 0, label, labelOffset * 16 + 320 - len * 16, 32, 31);
    const int32_t f = DrawnFrame();
    for (int32_t k = 0; k < 3; ++k) {
        const uint32_t slot = lit ? 31u + (f + 2 * k) % 6 + 1 : 31u;
        ExpectText(row, label.size() + k, std::string(1, Name(e)[k]),
                   (letterOffset + 2 * k) * 16 + 304, 0, slot);
    }
    const uint32_t scoreSlot = lit ? 38u + (f + 3) % 6 + 1 : 38u;
    ExpectNumber(row, label.size() + 3, e.score, 9, scoreX, 32, scoreSlot);
}

// Detail entry i: offsets in half-glyphs of 8 pixels, numbers and medals in pixels.
struct DetailAt {
    int32_t label, letter, scoreX, points, linesX, linesLabel, medalX;
};

void ExpectDetailRow(int32_t i, const DetailAt& at, bool lit) {
    SCOPED_TRACE(kLabels[i]);
    const RankingEntry& e = NormalRanking.entries[i];
    const int32_t f = DrawnFrame();
    const std::string label = kLabels[i];
    const int32_t len = static_cast<int32_t>(label.size());

    // First row: label, score, "PTS." (drawn in that order).
    std::vector<Sprite> first = TextOnRow(16 * (2 * i + 7));
    ASSERT_GE(first.size(), label.size() + 1 + 4);
    ExpectText(first, 0, label, at.label * 8 + 320 - len * 8, 16, 1);
    std::vector<Sprite> scoreGlyphs(first.begin() + len, first.end() - 4);
    ExpectNumber(scoreGlyphs, 0, e.score, 8, at.scoreX, 16, lit ? 8u + (f + 3) % 6 + 1 : 8u);
    ExpectText(first, first.size() - 4, "PTS.", at.points * 8 + 320 - 32, 16,
               lit ? 8u + (f + 5) % 6 + 1 : 8u);

    // Second row: the three letters, the lines, "LINES".
    std::vector<Sprite> second = TextOnRow(16 * (2 * i + 8));
    ASSERT_GE(second.size(), 3u + 1 + 5);
    for (int32_t k = 0; k < 3; ++k) {
        ExpectText(second, k, std::string(1, Name(e)[k]), (at.letter + 2 * k) * 8 + 312, 0,
                   lit ? 1u + (f + k) % 6 + 1 : 1u);
    }
    std::vector<Sprite> linesGlyphs(second.begin() + 3, second.end() - 5);
    ExpectNumber(linesGlyphs, 0, e.lines, 8, at.linesX, 16, lit ? 8u + (f + 4) % 6 + 1 : 8u);
    ExpectText(second, second.size() - 5, "LINES", at.linesLabel * 8 + 320 - 40, 16,
               lit ? 8u + f % 6 + 1 : 8u);

    // Six medals, column 0 of the sheet of the entry's value, row of the kind.
    std::vector<Sprite> medals;
    for (const Sprite& s : Medals()) {
        if (s.y == 112 + 32 * i) medals.push_back(s);
    }
    ASSERT_EQ(medals.size(), 6u);
    for (int32_t m = 0; m < 6; ++m) {
        EXPECT_EQ(medals[m].x, at.medalX + 32 * m);
        EXPECT_EQ(medals[m].slot, 18u + static_cast<uint32_t>(e.medals[m]));
        EXPECT_EQ(medals[m].left, 0);
        EXPECT_EQ(medals[m].top, 32 * m);
        EXPECT_EQ(medals[m].right, 32);
        EXPECT_EQ(medals[m].bottom, 32 * m + 32);
    }
}

void ExpectPageTitle(int32_t offset) {
    const std::vector<Sprite> row = TextOnRow(64);
    ExpectText(row, 0, "NORMAL MODE RANKING", offset * 16 + 320 - 19 * 16, 32, 31);
}

class Ranking : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        DefaultNormalRanking();
        g_sprites.clear();
        SetSpriteTrace(RecordSprite);
    }
    void TearDown() override { SetSpriteTrace(nullptr); }

    // Opened as the title's RANKING item opens it, the entering frame drawn.
    static void OpenFromTitle() {
        SceneId = SceneTitle;
        EnterRanking(SceneTitle);
        g_sprites.clear();
        RankingDraw();
    }
    // Frames until the predicate holds after one (at most a full run).
    template <typename Pred>
    static void RunUntil(Pred done) {
        for (int n = 0; n < 900 && !done(); ++n) Frame1();
        ASSERT_TRUE(done());
    }
};

// The phase and its timer after n updates without a button.
struct Expected {
    int32_t enter, summaryShow, summaryLeave, detailEnter, detailShow, leave;
};
Expected TimelineAfter(int n) {
    Expected e{};
    if (n < 40) e.enter = 40 - n;
    else if (n < 339) e.summaryShow = 339 - n;
    else if (n < 378) e.summaryLeave = 378 - n;
    else if (n < 417) e.detailEnter = 417 - n;
    else if (n < 836) e.detailShow = 836 - n;
    else e.leave = 855 - n;
    return e;
}

void ExpectTimers(const Expected& e) {
    EXPECT_EQ(SceneEnterTimer, e.enter);
    EXPECT_EQ(SummaryShowTimer, e.summaryShow);
    EXPECT_EQ(SummaryLeaveTimer, e.summaryLeave);
    EXPECT_EQ(DetailEnterTimer, e.detailEnter);
    EXPECT_EQ(DetailShowTimer, e.detailShow);
    EXPECT_EQ(SceneLeaveTimer, e.leave);
}

}  // namespace

TEST_F(Ranking, RunsItsSixPhasesAndReturnsToTheTitleIn855Updates) {
    FadeLevel = 20;
    NewRank = 4;
    OpenFromTitle();
    EXPECT_EQ(SceneId, SceneRankingFromTitle);
    EXPECT_EQ(NewRank, 10);
    EXPECT_EQ(MenuCursor, 0);
    ExpectTimers(Expected{40, 0, 0, 0, 0, 0});
    for (int n = 1; n < 855; ++n) {
        SCOPED_TRACE(n);
        Frame1();
        ASSERT_EQ(SceneId, SceneRankingFromTitle);
        const Expected e = TimelineAfter(n);
        ExpectTimers(e);
        // The summary page shows in A1, A2 and B; the detail page with its medals after.
        const bool summary = e.enter || e.summaryShow || e.summaryLeave;
        EXPECT_EQ(SummaryShown(), summary);
        EXPECT_EQ(Medals().size(), summary ? 0u : 60u);
        // No fade until phase D, which darkens one step a frame from clear.
        EXPECT_EQ(FadeLevel, e.leave ? e.leave : 20);
    }
    SeedRandom(77);
    const int32_t background = RandomUpTo(11);
    SeedRandom(77);
    Frame1();
    // The title with its full entry: a new background, sliding and fading in.
    EXPECT_EQ(SceneId, SceneTitle);
    EXPECT_EQ(SceneEnterTimer, 20);
    EXPECT_EQ(SceneLeaveTimer, 0);
    EXPECT_EQ(MenuCursor, 0);
    EXPECT_EQ(BackgroundIndex, background);
    EXPECT_EQ(SceneFrame, 1);
    EXPECT_EQ(FadeLevel, 1);
    ExpectTimers(Expected{20, 0, 0, 0, 0, 0});
}

TEST_F(Ranking, SummaryPageSlidesInFromAlternateSides) {
    OpenFromTitle();
    for (int32_t e : {40, 39, 20, 1, 0}) {
        SCOPED_TRACE(e);
        RunUntil([e] { return SceneEnterTimer == e && (e > 0 || SummaryShowTimer == 299); });
        ExpectPageTitle(-e);
        for (int32_t i = 0; i < 10; ++i) {
            const int32_t s = i % 2 == 0 ? e : -e;
            ExpectSummaryRow(i, s - 13, s - 7, 288 + 16 * s, false);
        }
    }
    // At rest: labels from x 64 (48 for the wider 10TH), letters at 192, 224, 256.
    EXPECT_EQ(TextOnRow(128)[0].x, 64);
    EXPECT_EQ(TextOnRow(416)[0].x, 48);
    EXPECT_EQ(TextOnRow(416)[4].x, 192);
    EXPECT_EQ(TextOnRow(416).back().x, 544);
}

TEST_F(Ranking, SummaryPageSlidesOutEvenLeftOddRight) {
    OpenFromTitle();
    for (int32_t s : {39, 20, 1}) {
        SCOPED_TRACE(s);
        RunUntil([s] { return SummaryLeaveTimer == s; });
        ExpectPageTitle(0);
        for (int32_t i = 0; i < 10; ++i) {
            if (i % 2 == 0) {
                ExpectSummaryRow(i, s - 53, s - 47, 288 - 16 * (40 - s), false);
            } else {
                ExpectSummaryRow(i, 27 - s, 33 - s, 288 + 16 * (40 - s), false);
            }
        }
    }
}

TEST_F(Ranking, DetailPageSlidesInStaysAndSlidesOut) {
    NormalRanking.entries[2].medals[1] = 3;
    NormalRanking.entries[9].medals[5] = 2;
    NormalRanking.entries[0].medals[0] = 1;
    OpenFromTitle();
    for (int32_t d : {39, 20, 1, 0}) {
        SCOPED_TRACE(d);
        RunUntil([d] { return DetailEnterTimer == d && (d > 0 || DetailShowTimer == 419); });
        ExpectPageTitle(0);
        for (int32_t i = 0; i < 10; ++i) {
            ExpectDetailRow(i, {-2 * d - 33, 2 * d - 29, 144 - 16 * d, -2 * d, 176 + 16 * d,
                                2 * d + 5, 416 + 16 * d},
                            false);
        }
    }
    // At rest: label from x 32 (24 for 10TH), letters 80, 96, 112, "PTS." at 288,
    // "LINES" at 320, medals 416 to 607.
    EXPECT_EQ(TextOnRow(112)[0].x, 32);
    EXPECT_EQ(TextOnRow(400)[0].x, 24);
    EXPECT_EQ(TextOnRow(128)[0].x, 80);
    EXPECT_EQ(TextOnRow(128)[2].x, 112);
    EXPECT_EQ(TextOnRow(112).back().x, 288 + 48);
    EXPECT_EQ(TextOnRow(128).back().x, 320 + 64);
    for (int32_t l : {19, 10, 1}) {
        SCOPED_TRACE(l);
        RunUntil([l] { return SceneLeaveTimer == l; });
        const int32_t u = 20 - l;
        ExpectPageTitle(l - 20);
        for (int32_t i = 0; i < 10; ++i) {
            ExpectDetailRow(i, {2 * u - 33, -2 * u - 29, 144 + 16 * u, 2 * u, 176 - 16 * u,
                                -2 * u + 5, 416 + 16 * u},
                            false);
        }
    }
}

TEST_F(Ranking, AfterANameEntryTheNewEntryCyclesOnBothPagesAndTheScreenFadesIn) {
    NewRank = 3;
    SceneId = SceneNameEntry;
    SeedRandom(5);
    const int32_t background = RandomUpTo(11);
    SeedRandom(5);
    EnterRanking(SceneNameEntry);
    EXPECT_EQ(SceneId, SceneRankingAfterEntry);
    EXPECT_EQ(NewRank, 3);
    EXPECT_EQ(BackgroundIndex, background);
    EXPECT_EQ(FadeLevel, 0);
    g_sprites.clear();
    RankingDraw();
    EXPECT_EQ(g_sprites[0].slot, 241u + static_cast<uint32_t>(background));
    EXPECT_EQ(FadeLevel, 1);
    // Fading in from black during the first slide only.
    for (int n = 1; n <= 45; ++n) {
        Frame1();
        EXPECT_EQ(FadeLevel, std::min(n + 1, 20));
    }
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        Frame1();
        for (int32_t i = 0; i < 10; ++i) ExpectSummaryRow(i, -13, -7, 288, i == 3);
    }
    RunUntil([] { return DetailShowTimer == 400; });
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        Frame1();
        for (int32_t i = 0; i < 10; ++i) {
            ExpectDetailRow(i, {-33, -29, 144, 0, 176, 5, 416}, i == 3);
        }
    }
    // It ends like the other: the title, with its full entry.
    RunUntil([] { return SceneId == SceneTitle; });
    EXPECT_EQ(SceneEnterTimer, 20);
}

TEST_F(Ranking, OpenedFromTheTitleNothingIsLitAndThereIsNoFadeIn) {
    NewRank = 0;
    FadeLevel = 13;   // a probe: any fade step would move it
    OpenFromTitle();
    EXPECT_EQ(NewRank, 10);
    for (int n = 0; n < 39; ++n) Frame1();
    EXPECT_EQ(FadeLevel, 13);
    for (int32_t i = 0; i < 10; ++i) ExpectSummaryRow(i, i % 2 ? -14 : -12, i % 2 ? -8 : -6,
                                                      i % 2 ? 272 : 304, false);
}

TEST_F(Ranking, KeysOneToFourSkipTheTwoShowPhasesWithANewPressOnly) {
    for (int key : kKeys1To4) {
        SCOPED_TRACE(key);
        FreshProcess();
        DefaultNormalRanking();
        OpenFromTitle();
        // A1: pressed, ignored; the slide goes on.
        HeadlessSetKey(key, true);
        Frame1();
        HeadlessSetKey(key, false);
        ExpectTimers(TimelineAfter(1));
        RunUntil([] { return SummaryShowTimer == 250; });
        // A2: a new press ends it; B starts and counts in the same frame.
        HeadlessSetKey(key, true);
        Frame1();
        HeadlessSetKey(key, false);
        ExpectTimers(Expected{0, 0, 39, 0, 0, 0});
        // B and C1: presses ignored.
        for (int n = 0; n < 78; n += 3) {
            HeadlessSetKey(key, true);
            Frame1();
            HeadlessSetKey(key, false);
            Frame1();
            Frame1();
        }
        ExpectTimers(Expected{0, 0, 0, 0, 419, 0});
        RunUntil([] { return DetailShowTimer == 100; });
        HeadlessSetKey(key, true);
        Frame1();
        HeadlessSetKey(key, false);
        ExpectTimers(Expected{0, 0, 0, 0, 0, 19});
        EXPECT_EQ(FadeLevel, 19);
        for (int n = 0; n < 18; ++n) Frame1();
        EXPECT_EQ(SceneId, SceneRankingFromTitle);
        EXPECT_EQ(FadeLevel, 1);
        Frame1();
        EXPECT_EQ(SceneId, SceneTitle);
    }
}

TEST_F(Ranking, AButtonHeldFromThePreviousScreenOrAnotherButtonDoesNotSkip) {
    // KEY 1 down since before the screen opened: held all through, never a new press.
    HeadlessSetKey('Z', true);
    SceneId = 12345;
    Frame1();   // latched as pressed on the previous screen (here one without a scene)
    OpenFromTitle();
    for (int n = 1; n <= 854; ++n) {
        Frame1();
        ASSERT_EQ(SummaryLeaveTimer, TimelineAfter(n).summaryLeave) << n;
        ASSERT_EQ(SceneLeaveTimer, TimelineAfter(n).leave) << n;
    }
    HeadlessSetKey('Z', false);
    // The other buttons are no skip buttons, pressed anew in the show phases.
    for (int key : kOtherButtons) {
        SCOPED_TRACE(key);
        FreshProcess();
        OpenFromTitle();
        RunUntil([] { return SummaryShowTimer == 200; });
        HeadlessSetKey(key, true);
        Frame1();
        HeadlessSetKey(key, false);
        EXPECT_EQ(SummaryShowTimer, 199);
        RunUntil([] { return DetailShowTimer == 200; });
        HeadlessSetKey(key, true);
        Frame1();
        HeadlessSetKey(key, false);
        EXPECT_EQ(DetailShowTimer, 199);
    }
}

TEST_F(Ranking, NumbersKeepTheirRightEdgeAndLoseTheirTopDigits) {
    NormalRanking.entries[0].score = 0;
    NormalRanking.entries[0].lines = 0;
    NormalRanking.entries[1].score = 1234567890;
    NormalRanking.entries[1].lines = 123456789;
    OpenFromTitle();
    RunUntil([] { return SummaryShowTimer == 299; });
    ExpectSummaryRow(0, -13, -7, 288, false);   // a single "0" at x 544
    EXPECT_EQ(TextOnRow(128).back().x, 544);
    ExpectSummaryRow(1, -13, -7, 288, false);   // "234567890"
    std::string shown;
    for (const Sprite& s : TextOnRow(160)) shown += Glyph(s);
    EXPECT_EQ(shown, "2NDLBR234567890");
    RunUntil([] { return DetailShowTimer == 419; });
    ExpectDetailRow(0, {-33, -29, 144, 0, 176, 5, 416}, false);
    ExpectDetailRow(1, {-33, -29, 144, 0, 176, 5, 416}, false);
    shown.clear();
    for (const Sprite& s : TextOnRow(16 * 9)) shown += Glyph(s);
    EXPECT_EQ(shown, "2ND34567890PTS.");
    shown.clear();
    for (const Sprite& s : TextOnRow(16 * 10)) shown += Glyph(s);
    EXPECT_EQ(shown, "LBR23456789LINES");
}

TEST_F(Ranking, EveryEntryShowsSixMedalsAndForeignValuesShowNone) {
    NormalRanking.entries[4].medals[0] = 4;
    NormalRanking.entries[4].medals[3] = -1;
    NormalRanking.entries[4].medals[5] = INT32_MAX;
    OpenFromTitle();
    RunUntil([] { return DetailShowTimer == 419; });
    const std::vector<Sprite> medals = Medals();
    EXPECT_EQ(medals.size(), 57u);
    for (const Sprite& s : medals) EXPECT_EQ(s.slot, 18u);
    int onRow4 = 0;
    for (const Sprite& s : medals) {
        if (s.y == 112 + 32 * 4) {
            ++onRow4;
            EXPECT_TRUE(s.x == 416 + 32 || s.x == 416 + 64 || s.x == 416 + 128);
        }
    }
    EXPECT_EQ(onRow4, 3);
}
