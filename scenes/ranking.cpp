#include "scenes/ranking.h"
#include "scenes/title.h"

#include <cstdint>

#include "frame/random.h"
#include "frame/sprite.h"
#include "input/buttons.h"
#include "input/input.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"

int32_t SummaryShowTimer;
int32_t SummaryLeaveTimer;
int32_t DetailEnterTimer;
int32_t DetailShowTimer;

namespace {

constexpr int32_t kMedalTiers = 4;
constexpr int32_t kMedalSize = 32;

constexpr int32_t kBackgroundChoices = 11;
constexpr int32_t kNoHighlight = 10;

// Phase lengths.
constexpr int32_t kSummaryEnterFrames = 40;
constexpr int32_t kSummaryShowFrames = 300;
constexpr int32_t kSummaryLeaveFrames = 40;
constexpr int32_t kDetailEnterFrames = 40;
constexpr int32_t kDetailShowFrames = 420;
constexpr int32_t kDetailLeaveFrames = 20;

constexpr const char* kPageTitle = "NORMAL MODE RANKING";
constexpr int32_t kPageTitleRow = 2;
constexpr const char* kRankLabels[kRankingEntries] = {
    "1ST", "2ND", "3RD", "4TH", "5TH", "6TH", "7TH", "8TH", "9TH", "10TH",
};

// Summary page, 32-pixel fonts: rows of 32 pixels, offsets of 16.
constexpr int32_t kSummaryFont = FontLarge1;
constexpr int32_t kSummaryScoreFont = FontLarge2;
constexpr int32_t kSummaryFirstRow = 4;
constexpr int32_t kSummaryLabelOffset = -13;
constexpr int32_t kSummaryLetterOffset = -7;
constexpr int32_t kSummaryScoreX = 288;
constexpr int32_t kSummaryScoreDigits = 9;

// Detail page, 16-pixel fonts: two rows of 16 pixels per entry.
constexpr int32_t kDetailFont = FontSmall1;
constexpr int32_t kDetailFiguresFont = FontSmall2;
constexpr int32_t kDetailFirstRow = 7;
constexpr int32_t kDetailLabelOffset = -33;
constexpr int32_t kDetailLetterOffset = -29;
constexpr int32_t kDetailScoreX = 144;
constexpr int32_t kDetailLinesX = 176;
constexpr int32_t kDetailDigits = 8;
constexpr int32_t kDetailLinesLabelOffset = 5;
constexpr int32_t kMedalX = 416;
constexpr int32_t kMedalY = 112;

bool SkipPressed() {
    for (int n = 1; n <= 4; ++n) {
        if (ButtonPressedNow(ButtonLatch.key[n])) return true;
    }
    return false;
}

// The six highlight colours in turn, one per frame; `phase` puts neighbouring items out of step.
int32_t Cycle(int32_t base, int32_t phase) { return base + (Scene.frame + phase) % 6 + 1; }

bool Highlighted(int32_t i) { return i == Scene.newRank; }

// Where one summary row sits: the slide-in and slide-out give each part its own offset.
struct SummaryRow {
    int32_t label;   // half-glyphs
    int32_t letter;  // half-glyphs, of the first letter
    int32_t scoreX;  // pixels
};

void DrawSummaryRow(int32_t i, const SummaryRow& at) {
    const RankingEntry& entry = NormalRanking.entries[i];
    const int32_t row = kSummaryFirstRow + i;
    const bool lit = Highlighted(i);
    DrawText(at.label, row, kRankLabels[i], kSummaryFont, TextCellsCentred);
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t font = lit ? Cycle(kSummaryFont, 2 * k) : kSummaryFont;
        DrawChar(at.letter + 2 * k, row, LetterToChar(entry.name[k]), font, TextCellsCentred);
    }
    const int32_t scoreFont = lit ? Cycle(kSummaryScoreFont, 3) : kSummaryScoreFont;
    DrawNumber(at.scoreX, 32 * row, kSummaryScoreDigits, entry.score, scoreFont, NumberPixelsBlank);
}

// Phases A1 and A2: the rows come in from alternate sides and meet at their places.
void DrawSummaryEntering(int32_t e) {
    DrawText(-e, kPageTitleRow, kPageTitle, kSummaryFont, TextCellsCentred);
    for (int32_t i = 0; i < kRankingEntries; ++i) {
        const int32_t s = i % 2 == 0 ? e : -e;
        DrawSummaryRow(
            i, {s + kSummaryLabelOffset, s + kSummaryLetterOffset, kSummaryScoreX + 16 * s});
    }
}

// Phase B: even rows leave to the left, odd rows to the right; the title stays.
void DrawSummaryLeaving(int32_t s) {
    DrawText(0, kPageTitleRow, kPageTitle, kSummaryFont, TextCellsCentred);
    const int32_t gone = kSummaryLeaveFrames - s;
    for (int32_t i = 0; i < kRankingEntries; ++i) {
        const int32_t side = i % 2 == 0 ? -1 : +1;
        DrawSummaryRow(i, {kSummaryLabelOffset + side * gone, kSummaryLetterOffset + side * gone,
                           kSummaryScoreX + side * 16 * gone});
    }
}

// Detail offsets: half-glyphs for texts, pixels for numbers and medals.
struct DetailRow {
    int32_t label;
    int32_t letter;
    int32_t scoreX;
    int32_t points;
    int32_t linesX;
    int32_t linesLabel;
    int32_t medalX;
};

void DrawDetailRow(int32_t i, const DetailRow& at) {
    const RankingEntry& entry = NormalRanking.entries[i];
    const int32_t first = kDetailFirstRow + 2 * i;
    const int32_t second = first + 1;
    const bool lit = Highlighted(i);
    DrawText(at.label, first, kRankLabels[i], kDetailFont, TextCellsCentred);
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t font = lit ? Cycle(kDetailFont, k) : kDetailFont;
        DrawChar(at.letter + 2 * k, second, LetterToChar(entry.name[k]), font, TextCellsCentred);
    }
    const int32_t f = kDetailFiguresFont;
    DrawNumber(at.scoreX, 16 * first, kDetailDigits, entry.score, lit ? Cycle(f, 3) : f,
               NumberPixelsBlank);
    DrawText(at.points, first, "PTS.", lit ? Cycle(f, 5) : f, TextCellsCentred);
    DrawNumber(at.linesX, 16 * second, kDetailDigits, entry.lines, lit ? Cycle(f, 4) : f,
               NumberPixelsBlank);
    DrawText(at.linesLabel, second, "LINES", lit ? Cycle(f, 0) : f, TextCellsCentred);
    for (int32_t m = 0; m < kMedalKinds; ++m) {
        // A value from a foreign file outside the four tiers has no picture: nothing drawn.
        const int32_t value = entry.medals[m];
        if (value < 0 || value >= kMedalTiers) continue;
        DrawSprite(at.medalX + kMedalSize * m, kMedalY + kMedalSize * i,
                   SlotMedalBase + static_cast<uint32_t>(value), 0, kMedalSize * m, kMedalSize,
                   kMedalSize * m + kMedalSize);
    }
}

// Phases C1 and C2: labels and scores from the left, names and lines from the right.
void DrawDetailEntering(int32_t d) {
    DrawText(0, kPageTitleRow, kPageTitle, kSummaryFont, TextCellsCentred);
    for (int32_t i = 0; i < kRankingEntries; ++i) {
        DrawDetailRow(
            i, {-2 * d + kDetailLabelOffset, 2 * d + kDetailLetterOffset, kDetailScoreX - 16 * d,
                -2 * d, kDetailLinesX + 16 * d, 2 * d + kDetailLinesLabelOffset, kMedalX + 16 * d});
    }
}

// Phase D: every part goes on the way it came; the title leaves to the left.
void DrawDetailLeaving(int32_t l) {
    const int32_t u = kDetailLeaveFrames - l;
    DrawText(l - kDetailLeaveFrames, kPageTitleRow, kPageTitle, kSummaryFont, TextCellsCentred);
    for (int32_t i = 0; i < kRankingEntries; ++i) {
        DrawDetailRow(
            i, {2 * u + kDetailLabelOffset, -2 * u + kDetailLetterOffset, kDetailScoreX + 16 * u,
                2 * u, kDetailLinesX - 16 * u, -2 * u + kDetailLinesLabelOffset, kMedalX + 16 * u});
    }
}

}  // namespace

void ResetRanking() {
    SummaryShowTimer = 0;
    SummaryLeaveTimer = 0;
    DetailEnterTimer = 0;
    DetailShowTimer = 0;
}

void EnterRanking(int32_t from) {
    if (from == SceneNameEntry) {
        Scene.id = SceneRankingAfterEntry;
        Scene.backgroundIndex = RandomUpTo(kBackgroundChoices);
        SetFade(0);
    } else {
        Scene.id = SceneRankingFromTitle;
        Scene.newRank = kNoHighlight;
    }
    Scene.enterTimer = kSummaryEnterFrames;
    ResetRanking();
    Scene.leaveTimer = 0;
    Scene.menuCursor = 0;
}

// Each step may start the next phase, whose timer then counts in the same frame.
void RankingUpdate() {
    if (Scene.enterTimer > 0) {
        --Scene.enterTimer;
        if (Scene.enterTimer < 1) {
            Scene.enterTimer = 0;
            SummaryShowTimer = kSummaryShowFrames;
        }
    }
    if (SummaryShowTimer > 0) {
        --SummaryShowTimer;
        // Only a new press skips: a button still held from the previous screen does not.
        if (SummaryShowTimer == 0 || SkipPressed()) {
            SummaryShowTimer = 0;
            SummaryLeaveTimer = kSummaryLeaveFrames;
        }
    }
    if (SummaryLeaveTimer > 0) {
        --SummaryLeaveTimer;
        if (SummaryLeaveTimer < 1) {
            SummaryLeaveTimer = 0;
            DetailEnterTimer = kDetailEnterFrames;
        }
    }
    if (DetailEnterTimer > 0) {
        --DetailEnterTimer;
        if (DetailEnterTimer < 1) {
            DetailEnterTimer = 0;
            DetailShowTimer = kDetailShowFrames;
        }
    }
    if (DetailShowTimer > 0) {
        --DetailShowTimer;
        if (DetailShowTimer == 0 || SkipPressed()) {
            DetailShowTimer = 0;
            Scene.leaveTimer = kDetailLeaveFrames;
            SetFade(1);
        }
    }
    if (Scene.leaveTimer > 0) {
        --Scene.leaveTimer;
        if (Scene.leaveTimer == 0) EnterTitle(Scene.id);
    }
}

void RankingDraw() {
    DrawSprite(0, 0, SlotBackgroundBase + Scene.backgroundIndex, 0, 0, -1, -1);
    if (Scene.enterTimer > 0 || SummaryShowTimer > 0) {
        DrawSummaryEntering(Scene.enterTimer);
    } else if (SummaryLeaveTimer > 0) {
        DrawSummaryLeaving(SummaryLeaveTimer);
    } else if (DetailEnterTimer > 0 || DetailShowTimer > 0) {
        DrawDetailEntering(DetailEnterTimer);
    } else if (Scene.leaveTimer > 0) {
        DrawDetailLeaving(Scene.leaveTimer);
    }

    if (Scene.enterTimer >= 1 && Scene.id == SceneRankingAfterEntry) StepFade(1, 0);
    if (Scene.leaveTimer > 0) StepFade(0, 0);
}
