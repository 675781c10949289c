// Everything of the game screen around the field: backdrop, score panel, medals, the erase
// popup, the LEVEL banner, READY and GAME OVER, the phase number and the frame rate; and the
// mark of a replay being watched.
#include "game/game_screen_panel.h"

#include <cstring>

#include "frame/diagnostics.h"
#include "frame/gdi_text.h"
#include "frame/sprite.h"
#include "game/game_screen.h"
#include "rules/levels.h"
#include "rules/medals.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"

namespace {

constexpr int32_t FontLabel = FontSmall1;  // small white
constexpr int32_t FontSmallYellow = FontSmall1 + 2;
constexpr int32_t FontFigures = FontSmall2;  // small white of the second face
constexpr int32_t FontLargeRed = FontLarge1 + 1;
constexpr int32_t FontBigWhite = FontLarge2;
constexpr int32_t FontBigRed = FontLarge2 + 1;
constexpr int32_t FontBigYellow = FontLarge2 + 2;
constexpr int32_t FontSmallRed = FontSmall1 + 1;
constexpr int32_t kFlashColours = 6;

constexpr int32_t kMedalSize = 32;
constexpr int32_t kMedalAtRest = 3;
constexpr int32_t kMedalPosition[kMedals][2] = {
    {448, 160}, {480, 160},  // level, time
    {448, 192}, {480, 192},  // lines, chain
    {448, 224}, {480, 224},  // streak, collection
};

// The replay mark on the bottom row, left of the time: below the score panel, and below
// anything the popup can reach (its lowest line stands at least two cells above the floor).
constexpr int32_t kSmallGlyph = 16;  // the small fonts' cells
constexpr int32_t kReplayMarkX = 8, kReplayMarkY = 460;
constexpr int32_t kReplaySpeedX = kReplayMarkX + 7 * kSmallGlyph;  // after "REPLAY" and a space

// The popup: numbers while t > 90 (sliding in over t > 160), then the rating word.
constexpr int32_t kPopupSlideFrom = 160;
constexpr int32_t kPopupWordUntil = 90;
constexpr int32_t kPopupPitch = 32;

struct RatingStyle {
    const char* word;
    int32_t offset;
    int32_t font;  // -1: the large colours in turn
};
constexpr int32_t kCyclingFont = -1;
constexpr RatingStyle kRatingStyles[] = {
    {"NICE", 176, FontBigWhite},     {"GOOD", 176, FontBigWhite},
    {"GREAT", 160, FontBigWhite},    {"VERY GOOD", 96, FontBigWhite},
    {"MARVELOUS", 96, FontBigWhite}, {"EXCELLENT", 96, FontBigWhite},
    {"MONSTER", 112, kCyclingFont},  {"AMAZING", 112, kCyclingFont},
    {"LUNATIC", 112, kCyclingFont},  {"GODLIKE", 112, kCyclingFont},
    {"HOLYSHIT", 104, kCyclingFont},
};

const RatingStyle* FindRatingStyle(const char* word) {
    for (const RatingStyle& style : kRatingStyles) {
        if (std::strcmp(style.word, word) == 0) return &style;
    }
    return nullptr;
}

void DrawPopupNumbers(int32_t t, int32_t X, int32_t Y) {
    const int32_t s = t > kPopupSlideFrom ? (t - kPopupSlideFrom) * (t - kPopupSlideFrom) / 3 : 0;
    if (Game.chain == 1) {
        DrawNumber(X + 112 - s, 448 - Y, 3, Game.chainLines, FontBigYellow, NumberPixelsBlank);
        DrawText(X + 208 - s, 464 - Y, "LINES", FontLabel, TextPixels);
    } else {
        DrawNumber(X + 112 - s, 416 - Y, 3, Game.chainLines, FontBigYellow, NumberPixelsBlank);
        DrawText(X + 208 - s, 432 - Y, "LINES", FontLabel, TextPixels);
        DrawNumber(X + 128 - s, 448 - Y, 2, Game.chain, FontBigRed, NumberPixelsBlank);
        DrawText(X + 192 - s, 464 - Y, "CHAIN", FontLabel, TextPixels);
    }
    DrawNumber(X + 80 - s, 480 - Y, 7, Game.stepPoints, FontBigYellow, NumberPixelsBlank);
    DrawText(X + 304 - s, 496 - Y, "PTS", FontLabel, TextPixels);
}

// The word blinks, off one frame in four; the highest words cycle through the colours.
void DrawRatingWord(int32_t X, int32_t Y) {
    if (Scene.frame % 4 == 0) return;
    const char* word = EraseRatingWord(EraseRating());
    if (!word) return;
    const RatingStyle* style = FindRatingStyle(word);
    if (!style) return;
    const int32_t font =
        style->font == kCyclingFont ? (Scene.frame / 3) % kFlashColours + FontBigRed : style->font;
    DrawText(X + style->offset, 464 - Y, word, font, TextPixels);
}

}  // namespace

void DrawGameBackdrop() {
    DrawSprite(0, 0, SlotBackgroundBase + Scene.backgroundIndex, 0, 0, -1, -1);
    DrawSprite(0, 0, SlotFieldFrame, 0, 0, -1, -1);
}

void DrawPanel() {
    DrawText(1, 7, "SCORE", FontLabel, TextCells);
    DrawNumber(0, 9, 10, Game.score, FontFigures, NumberCellsBlank);
    DrawText(1, 12, "LINES", FontLabel, TextCells);
    DrawNumber(0, 14, 10, Game.lines, FontFigures, NumberCellsBlank);
    DrawText(1, 17, "LEVEL", FontLabel, TextCells);
    DrawNumber(0, 19, 10, Game.level, FontFigures, NumberCellsBlank);

    // minutes'seconds"hundredths
    const int32_t ms = Game.elapsedMs;
    DrawNumber(16, 29, 2, (ms / 60000) % 100, FontFigures, NumberCells);
    DrawText(18, 29, "'", FontFigures, TextCells);
    DrawNumber(19, 29, 2, (ms / 1000) % 60, FontFigures, NumberCells);
    DrawText(21, 29, "\"", FontFigures, TextCells);
    DrawNumber(22, 29, 2, (ms / 10) % 100, FontFigures, NumberCells);
}

int32_t MedalFrame(int32_t flash) {
    if (flash == 0) return kMedalAtRest;
    if (flash < 8 || flash > 52) return 2;
    if (flash < 20 || flash > 40) return 1;
    return 0;
}

// Every medal is drawn, tier 0 as the empty medal.
void DrawMedals() {
    for (int m = 0; m < kMedals; ++m) {
        const int32_t frame = MedalFrame(Game.medalFlash[m]);
        const int32_t left = kMedalSize * frame, top = kMedalSize * m;
        DrawSprite(kMedalPosition[m][0], kMedalPosition[m][1],
                   SlotMedalBase + static_cast<uint32_t>(Game.medals[m]), left, top,
                   left + kMedalSize, top + kMedalSize);
    }
}

void DrawErasePopup() {
    const int32_t t = Game.popupTimer;
    const int32_t X = kPopupPitch * Game.popupX, Y = kPopupPitch * Game.popupY;
    if (t > kPopupWordUntil) {
        DrawPopupNumbers(t, X, Y);
    } else if (t >= 1) {
        DrawRatingWord(X, Y);
    }
}

// Slides in from the right, stands, and slides out to the left.
void DrawLevelBanner() {
    const int32_t b = Game.bannerTimer;
    int32_t wordX, numberX;
    if (b >= 100) {
        wordX = b - 94;
        numberX = b - 89;
    } else if (b >= 21) {
        wordX = 6;
        numberX = 11;
    } else if (b >= 1) {
        wordX = b - 15;
        numberX = b - 10;
    } else {
        return;
    }
    DrawText(wordX, 7, "LEVEL", FontBigWhite, TextCells);
    DrawNumber(numberX, 7, 3, Game.bannerLevel, FontBigYellow, NumberCellsBlank);
}

// The letters fly in one by one, stand together, and give way to "GO".
void DrawReadyText(int32_t t) {
    if (t > 60) {
        DrawText(2 * t - 127, 14, "R", FontSmallYellow, TextCellsCentred);
        DrawText(t - 63, 14, "E", FontSmallYellow, TextCellsCentred);
        DrawText(0, 14, "A", FontSmallYellow, TextCellsCentred);
        DrawText(63 - t, 14, "D", FontSmallYellow, TextCellsCentred);
        DrawText((60 - t) * 2 + 7, 14, "Y", FontSmallYellow, TextCellsCentred);
    } else if (t >= 31) {
        DrawText(0, 14, "R E A D Y", FontSmallYellow, TextCellsCentred);
    } else {
        DrawText(-1, 7, "G", FontLargeRed, TextCellsCentred);
        DrawText(1, 7, "O", FontLargeRed, TextCellsCentred);
    }
}

// "GAME" and "OVER" come in from both sides and meet in the middle.
void DrawGameOverText() {
    const int32_t s = Scene.leaveTimer;
    if (s <= 0) return;
    if (s > 140) {
        DrawText(s - 145, 7, "GAME", FontLargeRed, TextCellsCentred);
        DrawText(145 - s, 7, "OVER", FontLargeRed, TextCellsCentred);
    } else {
        DrawText(0, 7, "GAME OVER", FontLargeRed, TextCellsCentred);
    }
}

void DrawPhaseNumber() { DrawNumber(0, 32, 3, Game.phase, FontSmallYellow, NumberPixels); }

void DrawFrameRateText() {
    if (Settings.fpsDisplay != 1) return;
    DrawText(0, 0, "FPS=  . ", FontLabel, TextRightAligned);
    // The frame's own text lands off the screen; the bitmap font shows the value.
    float rate = DrawFrameRate(1000, 0);
    // The conversions below need a finite rate in range.
    if (!(rate >= 0.0f)) rate = 0.0f;
    if (rate > 1000000.0f) rate = 1000000.0f;
    const int32_t whole = static_cast<int32_t>(rate);
    const int32_t tenths = static_cast<int32_t>(rate * 10.0f) % 10;
    DrawNumber(36, 0, 2, whole, FontLabel, NumberCellsBlank);
    DrawNumber(39, 0, 1, tenths, FontLabel, NumberCells);
}

void DrawReplayMark(const char* speed) {
    DrawText(kReplayMarkX, kReplayMarkY, "REPLAY", FontSmallRed, TextPixels);
    if (speed) DrawText(kReplaySpeedX, kReplayMarkY, speed, FontSmallYellow, TextPixels);
}
