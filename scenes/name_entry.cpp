#include "scenes/name_entry.h"

#include "frame/sprite.h"
#include "game/game_screen.h"
#include "game/game_screen_panel.h"
#include "game/replay_record.h"
#include "input/buttons.h"
#include "input/input.h"
#include "rules/dealing.h"
#include "rules/field.h"
#include "rules/motion.h"
#include "scenes/ranking.h"
#include "shell/catalogue.h"
#include "shell/ranking_replays.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "sound/sound.h"

int32_t NameLetters[3];
int8_t NextRepeat;
int8_t PrevRepeat;

namespace {
constexpr int32_t kNameEntryFrames = 1800;  // 30 seconds to pick the letters
constexpr int32_t kLeaveFrames = 60;        // from the acceptance to the ranking
constexpr int32_t kFadeOutFrames = 20;      // the last of them dissolve to black
constexpr int32_t kFramesPerSecond = 60;
constexpr int32_t kLetterA = 1;
constexpr int32_t kNameLetterCount = 42;  // 0 (blank), A..Z, 1..9, : - + . ! ?
constexpr int kNameLength = 3;
constexpr int32_t kCursorAccepted = 3;

// A held direction steps in its 2nd frame, its 11th, then every 6 frames.
constexpr int kRepeatFirst = 2;
constexpr int kRepeatAgain = 11;
constexpr int kRepeatRestart = 6;

constexpr int32_t kTextCentred = 4;
constexpr int32_t kFlashColours = 6;

constexpr int32_t kTitleFont = FontSmall2 + 1;         // 16-pixel, colour r
constexpr int32_t kRankFont = FontLarge2 + 2;          // 32-pixel, colour y
constexpr int32_t kLetterFont = FontLarge1;            // 32-pixel, colour w
constexpr int32_t kCursorLetterFont = FontLarge1 + 2;  // colour y
constexpr int32_t kTimeFont = FontSmall2;
constexpr int32_t kHurryFrames = 300;  // the last five seconds flash

constexpr int32_t kLetterRow = 8;
constexpr int32_t kLetterOffset[kNameLength] = {-4, 0, 4};  // x 240, 304, 368

void CountRepeat(int8_t& counter, bool down) {
    if (!down) {
        counter = 0;
        return;
    }
    int next = counter + 1;
    if (next > kRepeatAgain) next = kRepeatRestart;
    counter = static_cast<int8_t>(next);
}

bool RepeatSteps(int8_t counter) { return counter == kRepeatFirst || counter == kRepeatAgain; }

void UpdateRepeatCounters() {
    CountRepeat(NextRepeat, ButtonIsDown(ButtonLatch.down) || ButtonIsDown(ButtonLatch.right));
    CountRepeat(PrevRepeat, ButtonIsDown(ButtonLatch.up) || ButtonIsDown(ButtonLatch.left));
}

bool EditingLetter() { return Scene.menuCursor >= 0 && Scene.menuCursor < kNameLength; }

void StepLetter(int32_t by) {
    if (!EditingLetter()) return;
    int32_t& letter = NameLetters[Scene.menuCursor];
    letter = ((letter + by) % kNameLetterCount + kNameLetterCount) % kNameLetterCount;
    PlayWave(WaveSlotChoice, 0);
}

void UpdateInput() {
    if (RepeatSteps(NextRepeat)) StepLetter(+1);
    if (RepeatSteps(PrevRepeat)) StepLetter(kNameLetterCount - 1);
    if (ButtonPressedNow(ButtonLatch.key[1]) || ButtonPressedNow(ButtonLatch.key[4])) {
        if (Scene.menuCursor < kNameLength - 1) {
            ++Scene.menuCursor;
            PlayWave(WaveSlotSelect, 0);
        } else if (Scene.menuCursor == kNameLength - 1) {
            CommitName();
        }
    }
    // Read after the acceptance: a back press in the same frame only moves the cursor of the
    // name already entered, which then stays on its third letter instead of cycling colours.
    const bool back = ButtonPressedNow(ButtonLatch.key[2]) || ButtonPressedNow(ButtonLatch.key[3]);
    if (back && Scene.menuCursor > 0) {
        --Scene.menuCursor;
        PlayWave(WaveSlotSelect, 0);
    }
}

void DrawRank() {
    DrawText(-2, 6, "RANK", kRankFont, kTextCentred);
    DrawNumber(11, 6, 2, Scene.newRank + 1, kRankFont, NumberCellsBlank);
}

// The letter being edited stands out; an accepted name cycles through the colours, each
// letter two steps behind the one before.
void DrawLetters() {
    for (int k = 0; k < kNameLength; ++k) {
        int32_t font = k == Scene.menuCursor ? kCursorLetterFont : kLetterFont;
        if (Scene.menuCursor == kCursorAccepted) {
            font = (Scene.frame + 2 * k) % kFlashColours + FontLarge1 + 1;
        }
        DrawChar(kLetterOffset[k], kLetterRow, LetterToChar(NameLetters[k]), font, kTextCentred);
    }
}

void DrawTimeLeft() {
    if (Scene.enterTimer <= 0) return;
    DrawText(-4, 21, "TIME", kTimeFont, kTextCentred);
    const int32_t seconds = Scene.enterTimer / kFramesPerSecond + 1;
    const int32_t font = Scene.enterTimer >= kHurryFrames
                             ? kTimeFont
                             : (Scene.frame + 1) % kFlashColours + kTimeFont + 1;
    DrawNumber(22, 21, 2, seconds, font, NumberCellsBlank);
}

}  // namespace

void EnterNameEntry() {
    Scene.id = SceneNameEntry;
    Scene.enterTimer = kNameEntryFrames;
    SetFade(1);
    Scene.leaveTimer = 0;
    Scene.menuCursor = 0;

    for (auto& letter : NameLetters) letter = kLetterA;
    NextRepeat = 0;
    PrevRepeat = 0;
    Scene.frame = 0;
}

void NameEntryUpdate() {
    UpdateRepeatCounters();
    if (Scene.enterTimer >= 2) {
        --Scene.enterTimer;
        UpdateInput();
    } else if (Scene.enterTimer == 1) {
        // Time is up: the letters as they stand.
        CommitName();
    } else if (Scene.leaveTimer > 0) {
        --Scene.leaveTimer;
        if (Scene.leaveTimer == 0) EnterRanking(SceneNameEntry);
    }
}

void CommitName() {
    Scene.menuCursor = kCursorAccepted;
    Scene.enterTimer = 0;
    Scene.leaveTimer = kLeaveFrames;

    // Only a real rank has a place; anything else must not write outside the table.
    if (Scene.newRank >= 0 && Scene.newRank < kRankingEntries) {
        RankingEntry* entries = NormalRanking.entries;
        for (int i = kRankingEntries - 1; i > Scene.newRank; --i) entries[i] = entries[i - 1];
        RankingEntry& entry = entries[Scene.newRank];
        for (int k = 0; k < kNameLength; ++k) entry.name[k] = NameLetters[k];
        entry.score = Game.score;
        entry.lines = Game.lines;
        for (int m = 0; m < kMedalKinds; ++m) entry.medals[m] = Game.medals[m];
        // The game's replay moves into the table with it.
        InsertRankingReplay(Scene.newRank, RecordingFinished());
        ForgetFinishedRecording();
    }
    PlayWave(WaveSlotSelect, 0);
}

// The game screen as the game left it, frozen, with the rank and the name over it.
void NameEntryDraw() {
    DrawGameBackdrop();
    DrawPanel();
    DrawFrozenField();
    DrawPreview(NextPieceKind());
    DrawMedals();
    DrawText(0, 10, "NAME ENTRY", kTitleFont, kTextCentred);
    DrawRank();
    DrawLetters();
    DrawTimeLeft();
    if (Scene.leaveTimer > 0 && Scene.leaveTimer <= kFadeOutFrames) StepFade(0, 0);
    DrawFrameRateText();
}

void ResetNameEntry() {
    for (auto& letter : NameLetters) letter = 0;
    NextRepeat = 0;
    PrevRepeat = 0;
}
