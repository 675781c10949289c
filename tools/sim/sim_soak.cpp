#include "sim_soak.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <random>

#include "app/application.h"
#include "frame/bitmap_slots.h"
#include "frame/sprite.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "platform/keys.h"
#include "rules/field.h"
#include "scenes/callbacks.h"
#include "scenes/name_entry.h"
#include "shell/scene.h"
#include "shell/settings.h"
#include "sound/sound.h"

namespace {

// Letter keys send their capital's code. Escape, Alt and close requests are never sent: the
// soak must not end the program, and Alt + Enter would only switch the screen mode.
constexpr int32_t KeyZ = 'Z', KeyX = 'X', KeyC = 'C', KeyS = 'S';
constexpr int32_t KeyW = 'W', KeyE = 'E', KeyQ = 'Q', KeyR = 'R';

// Menu cursors the driver steers by.
constexpr int32_t kTitleGameStart = 0, kTitleRanking = 1, kTitleOption = 2, kTitleExit = 3;
constexpr int32_t kModeNormal = 0, kModeExpert = 1;
constexpr int32_t kOptionReturn = 5;

constexpr int32_t kStartLevels[] = {0, 15, 25, 35, 50, 70, 100};
constexpr int kStartLevelCount = sizeof kStartLevels / sizeof kStartLevels[0];

// The held buttons that choose each start level on the mode select, by kStartLevels index.
constexpr int32_t kLevelKeys[kStartLevelCount][2] = {
    {0, 0}, {KeyW, 0}, {KeyE, 0}, {KeyW, KeyE}, {KeyQ, 0}, {KeyR, 0}, {KeyQ, KeyR},
};

constexpr int32_t kSceneIds[] = {
    SceneLoading,    SceneTitle,     SceneModeSelect,       SceneOptionMenu,
    SceneKeyConfig,  SceneKeyTest,   SceneGraphicConfig,    SceneSoundTest,
    SceneGameNormal, SceneNameEntry, SceneRankingFromTitle, SceneRankingAfterEntry,
};
constexpr int kSceneCount = sizeof kSceneIds / sizeof kSceneIds[0];
constexpr const char* kSceneNames[kSceneCount] = {
    "credits",    "title",      "mode select",     "option menu",
    "key config", "key test",   "graphic config",  "sound test",
    "game",       "name entry", "ranking (title)", "ranking (entry)",
};

constexpr int64_t kMemoryEvery = 100000;   // frames between two resident-size samples
constexpr int64_t kMemoryMarginKb = 1024;  // growth allowed over the first sample
constexpr int32_t kNameLetterKinds = 42;
constexpr int32_t kKeyLayouts = 21;
constexpr int32_t kBackgrounds = 13;

struct Press {
    int32_t keys[4];
    int count;
};

struct SoakRun {
    int64_t frames = 0;
    int64_t framesRun = 0;
    std::mt19937 random;
    Press held{};
    int64_t releaseAt = 0;  // frame whose end lets the held keys go
    int64_t nextPressAt = 0;

    bool failed = false;
    char failure[256] = {};
    uint32_t badSprite = 0;
    bool spriteOutOfRange = false;
    int32_t badWave = -1;

    int32_t lastScene = SceneLoading;
    bool fieldInUse = false;  // a game has set up the walls and the floor
    int64_t sceneEntries[kSceneCount] = {};
    int64_t sceneFrames[kSceneCount] = {};
    int64_t gamesByLevel[kStartLevelCount] = {};
    int64_t otherGames = 0;
    int64_t aborts = 0;
    int32_t maxLevel = 0;

    uint64_t allocationsAtFrameEnd = 0;
    uint64_t allocationsOutsidePlay = 0;
    int64_t firstResidentKb = 0;
    int64_t lastResidentKb = 0;
    int64_t peakResidentKb = 0;
};

SoakRun g_soak;

int SceneIndex(int32_t id) {
    for (int i = 0; i < kSceneCount; ++i)
        if (kSceneIds[i] == id) return i;
    return -1;
}

int32_t Uniform(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(g_soak.random);
}

bool Chance(int32_t percent) { return Uniform(0, 99) < percent; }

void Fail(const char* format, ...) {
    if (g_soak.failed) return;
    g_soak.failed = true;
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_soak.failure, sizeof g_soak.failure, format, args);
    va_end(args);
    PlatformPostQuit();
}

void OnSprite(int32_t, int32_t, uint32_t slot, int32_t, int32_t, int32_t, int32_t) {
    if ((slot & 0xFFFFu) >= static_cast<uint32_t>(kBitmapSlots) && !g_soak.spriteOutOfRange) {
        g_soak.spriteOutOfRange = true;
        g_soak.badSprite = slot;
    }
}

void OnWave(WaveOp, uint16_t slot, int32_t, int32_t) {
    if (slot >= kWaveSlots && g_soak.badWave < 0) g_soak.badWave = slot;
}

// ---- invariants -------------------------------------------------------------------------

bool InteriorValue(int32_t value) { return value >= LineEmpty && value <= LineGrey; }

void CheckField() {
    for (int i = 0; i < kXGridColumns; ++i) {
        for (int j = 0; j < kXGridRows; ++j) {
            const int32_t v = XLineGrid[i][j];
            const bool wall = i == 0 || i == kXWallColumn || j == 0;
            if (wall && v != LineWall) return Fail("x-line wall (%d,%d) holds %d", i, j, v);
            if (!wall && !InteriorValue(v)) return Fail("x-line (%d,%d) holds %d", i, j, v);
            if (j == kFloorRow && !wall && v != LineGrey)
                return Fail("floor x-line (%d,%d) holds %d", i, j, v);
        }
    }
    for (int i = 0; i < kYGridColumns; ++i) {
        for (int j = 0; j < kYGridRows; ++j) {
            const int32_t v = YLineGrid[i][j];
            const bool wall = i == 0 || i == kYWallColumn || j == 0;
            if (wall && v != LineWall) return Fail("y-line wall (%d,%d) holds %d", i, j, v);
            if (!wall && !InteriorValue(v)) return Fail("y-line (%d,%d) holds %d", i, j, v);
        }
    }
}

void CheckGame() {
    const GameState& g = Game;
    if (g.phase < PhaseTopOut || g.phase > PhaseLevelClear) return Fail("phase %d", g.phase);
    const int32_t counters[] = {g.score,      g.lines,      g.level,     g.levelLines, g.elapsedMs,
                                g.dealt,      g.fallTimer,  g.lockTimer, g.eraseTimer, g.nextTimer,
                                g.stepLines,  g.chainLines, g.chain,     g.stepPoints, g.streak,
                                g.popupTimer, g.bannerTimer};
    for (int32_t c : counters)
        if (c < 0)
            return Fail("a game counter is negative (score %d lines %d level %d chain %d)", g.score,
                        g.lines, g.level, g.chain);
    for (int m = 0; m < kMedals; ++m)
        if (g.medals[m] < 0) return Fail("medal %d count %d", m, g.medals[m]);
    if (g.piece.kind < 0 || g.piece.kind >= kPieceKinds) return Fail("piece kind %d", g.piece.kind);
    if (g.piece.rotation < 0 || g.piece.rotation >= kRotations)
        return Fail("piece rotation %d", g.piece.rotation);
}

void CheckRanking(const RankingTable& table, const char* which) {
    for (int i = 0; i < kRankingEntries; ++i) {
        const RankingEntry& e = table.entries[i];
        if (e.score < 0 || e.lines < 0) return Fail("%s ranking entry %d is negative", which, i);
        for (int32_t letter : e.name)
            if (letter < 0 || letter >= kNameLetterKinds)
                return Fail("%s ranking entry %d has letter %d", which, i, letter);
    }
}

void CheckShared() {
    if (SceneIndex(Scene.id) < 0) return Fail("SceneId %d has no scene", Scene.id);
    if (Scene.frame < 0 || Scene.enterTimer < 0 || Scene.leaveTimer < 0 || Scene.menuCursor < 0)
        return Fail("a scene value is negative (frame %d enter %d leave %d cursor %d)", Scene.frame,
                    Scene.enterTimer, Scene.leaveTimer, Scene.menuCursor);
    if (Scene.backgroundIndex < 0 || Scene.backgroundIndex >= kBackgrounds)
        return Fail("background index %d", Scene.backgroundIndex);
    if (FadeLevel < 0 || FadeLevel > 20) return Fail("fade level %d", FadeLevel);
    if (Settings.keyConfig < 0 || Settings.keyConfig >= kKeyLayouts)
        return Fail("key layout %d", Settings.keyConfig);
    for (int32_t letter : NameLetters)
        if (letter < 0 || letter >= kNameLetterKinds) return Fail("name letter %d", letter);
    CheckRanking(NormalRanking, "normal");
    if (g_soak.spriteOutOfRange)
        return Fail("a sprite was drawn from slot %u, past the last bitmap slot",
                    g_soak.badSprite & 0xFFFFu);
    if (g_soak.badWave >= 0) return Fail("wave slot %d played or stopped", g_soak.badWave);
}

void CheckMemory() {
    if (g_soak.framesRun % kMemoryEvery != 0) return;
    const int64_t kb = HeadlessResidentKilobytes();
    g_soak.lastResidentKb = kb;
    if (kb > g_soak.peakResidentKb) g_soak.peakResidentKb = kb;
    if (g_soak.firstResidentKb == 0) {
        g_soak.firstResidentKb = kb;  // after the warm-up: every picture and sound loaded
    } else if (kb > g_soak.firstResidentKb + kMemoryMarginKb) {
        Fail("resident size grew from %lld KiB to %lld KiB",
             static_cast<long long>(g_soak.firstResidentKb), static_cast<long long>(kb));
    }
}

// ---- coverage ---------------------------------------------------------------------------

void CountScene(int32_t previous) {
    const int index = SceneIndex(Scene.id);
    if (index < 0) return;
    ++g_soak.sceneFrames[index];
    if (Scene.id == previous) return;
    ++g_soak.sceneEntries[index];
    if (Scene.id != SceneGameNormal) return;
    g_soak.fieldInUse = true;
    for (int l = 0; l < kStartLevelCount; ++l) {
        if (kStartLevels[l] == Scene.startLevel) {
            ++g_soak.gamesByLevel[l];
            return;
        }
    }
    ++g_soak.otherGames;
}

// ---- input ------------------------------------------------------------------------------

void SendKeys(const Press& press, bool down) {
    for (int k = 0; k < press.count; ++k)
        HeadlessPostMessage(PlatformMessage{down ? MsgKeyDown : MsgKeyUp, press.keys[k], 0, 0});
}

void Hold(Press press, int64_t frames, int64_t pauseAfter) {
    g_soak.held = press;
    SendKeys(press, true);
    g_soak.releaseAt = g_soak.framesRun + frames;
    g_soak.nextPressAt = g_soak.releaseAt + 1 + pauseAfter;
}

Press One(int32_t key) { return Press{{key, 0, 0, 0}, 1}; }

int32_t Pick(std::initializer_list<int32_t> keys) {
    const int32_t i = Uniform(0, static_cast<int32_t>(keys.size()) - 1);
    return *(keys.begin() + i);
}

// One button at a time, so the cursor the driver reads is the one the press acts on: the
// title never confirms EXIT.
Press TitlePress() {
    switch (Scene.menuCursor) {
        case kTitleGameStart: return One(Chance(50) ? KeyZ : VkDown);
        case kTitleRanking:
            return One(Pick({KeyZ, VkUp, VkUp, VkUp, VkDown, VkDown, VkDown, VkDown}));
        case kTitleOption: return One(Chance(35) ? KeyC : (Chance(75) ? VkUp : VkDown));
        case kTitleExit:
        default: return One(VkUp);
    }
}

// NORMAL MODE is confirmed with the buttons of a random start level held.
Press ModeSelectPress() {
    if (Scene.menuCursor == kModeNormal) {
        if (Chance(15)) return One(VkDown);
        const int32_t* keys = kLevelKeys[Uniform(0, kStartLevelCount - 1)];
        Press p{{Chance(50) ? KeyZ : KeyC, 0, 0, 0}, 1};
        for (int k = 0; k < 2; ++k)
            if (keys[k]) p.keys[p.count++] = keys[k];
        return p;
    }
    if (Scene.menuCursor == kModeExpert) return One(Pick({VkUp, VkUp, VkUp, VkDown, KeyZ}));
    return One(Chance(80) ? VkUp : KeyZ);
}

// Every item is safe; RETURN MAINMENU is taken often enough for the title to come back.
Press OptionMenuPress() {
    if (Scene.menuCursor == kOptionReturn) return One(Chance(60) ? KeyZ : VkUp);
    return One(Pick({VkUp, VkDown, VkDown, VkDown, KeyZ, KeyC}));
}

Press KeyTestPress() {
    if (Chance(10)) return Press{{KeyZ, KeyX, 0, 0}, 2};  // KEY 1 + KEY 3 leave
    return One(
        Pick({VkUp, VkDown, VkLeft, VkRight, KeyZ, KeyX, KeyC, KeyS, KeyW, KeyE, KeyQ, KeyR}));
}

// Held presses of one or two play buttons; UP (instant fall) now and then, so games last.
// Rarely RIGHT + Z + Q + R, the combination that abandons the game.
Press GamePress() {
    if (Uniform(0, 4999) == 0) {
        ++g_soak.aborts;
        return Press{{VkRight, KeyZ, KeyQ, KeyR}, 4};
    }
    Press p{
        {Pick({VkLeft, VkLeft, VkRight, VkRight, VkDown, KeyZ, KeyX, KeyC, KeyS, VkUp}), 0, 0, 0},
        1};
    if (Chance(30)) p.keys[p.count++] = Pick({VkLeft, VkRight, VkDown, KeyZ, KeyX, KeyW, KeyE});
    return p;
}

void ChooseInput() {
    switch (Scene.id) {
        case SceneTitle: Hold(TitlePress(), Uniform(1, 3), Uniform(0, 30)); break;
        case SceneModeSelect: Hold(ModeSelectPress(), Uniform(1, 3), Uniform(0, 30)); break;
        case SceneOptionMenu: Hold(OptionMenuPress(), Uniform(1, 3), Uniform(0, 20)); break;
        case SceneKeyConfig:
        case SceneGraphicConfig:
        case SceneSoundTest:
            // RETURN is the bottom row: DOWN more often than UP lets the walk leave again.
            Hold(One(Pick({VkUp, VkDown, VkDown, VkDown, VkLeft, VkRight, KeyZ, KeyC})),
                 Uniform(1, 3), Uniform(0, 20));
            break;
        case SceneKeyTest: Hold(KeyTestPress(), Uniform(1, 8), Uniform(0, 10)); break;
        case SceneGameNormal: Hold(GamePress(), Uniform(1, 12), Uniform(0, 12)); break;
        case SceneNameEntry:
            Hold(One(Pick({VkUp, VkDown, VkLeft, VkRight, KeyZ, KeyC, KeyZ, KeyS, KeyX})),
                 Uniform(1, 25), Uniform(0, 20));
            break;
        case SceneRankingFromTitle:
        case SceneRankingAfterEntry: Hold(One(Pick({KeyZ, KeyC, KeyX})), 2, Uniform(0, 200)); break;
        default: g_soak.nextPressAt = g_soak.framesRun + 1; break;  // the credits run alone
    }
}

void StepInput() {
    if (g_soak.held.count > 0 && g_soak.framesRun >= g_soak.releaseAt) {
        SendKeys(g_soak.held, false);
        g_soak.held.count = 0;
    }
    if (g_soak.held.count == 0 && g_soak.framesRun >= g_soak.nextPressAt) ChooseInput();
}

void OnFrame() {
    if (g_soak.failed) return;
    const uint64_t allocations = SimAllocations() - g_soak.allocationsAtFrameEnd;
    const int32_t previous = g_soak.lastScene;
    ++g_soak.framesRun;
    CountScene(previous);
    g_soak.lastScene = Scene.id;

    if (allocations != 0) {
        if (previous == SceneGameNormal && Scene.id == SceneGameNormal)
            Fail("%llu allocations during play", static_cast<unsigned long long>(allocations));
        else
            g_soak.allocationsOutsidePlay += allocations;
    }
    CheckShared();
    if (g_soak.fieldInUse) CheckField();
    if (Scene.id == SceneGameNormal) {
        CheckGame();
        if (Game.level > g_soak.maxLevel) g_soak.maxLevel = Game.level;
    }
    CheckMemory();
    if (g_soak.failed) return;

    if (g_soak.framesRun >= g_soak.frames) {
        PlatformPostQuit();
    } else {
        StepInput();
        HeadlessClearRecord();
        HeadlessAudioClearEvents();
    }
    g_soak.allocationsAtFrameEnd = SimAllocations();
}

void PrintSummary(double seconds, double gameSeconds) {
    const SoakRun& s = g_soak;
    std::printf("soak: %lld frames (%.0f s of game time) in %.1f s (%.0f frames/s)\n",
                static_cast<long long>(s.framesRun), gameSeconds, seconds,
                seconds > 0 ? static_cast<double>(s.framesRun) / seconds : 0.0);
    std::printf("scenes (entries, frames):\n");
    for (int i = 0; i < kSceneCount; ++i)
        std::printf("  %-16s %8lld %10lld\n", kSceneNames[i],
                    static_cast<long long>(s.sceneEntries[i]),
                    static_cast<long long>(s.sceneFrames[i]));
    std::printf("games by start level:");
    for (int l = 0; l < kStartLevelCount; ++l)
        std::printf(" %d:%lld", kStartLevels[l], static_cast<long long>(s.gamesByLevel[l]));
    if (s.otherGames) std::printf(" other:%lld", static_cast<long long>(s.otherGames));
    std::printf("\ngames abandoned with the combination: %lld\n", static_cast<long long>(s.aborts));
    std::printf("name entries: %lld\n",
                static_cast<long long>(s.sceneEntries[SceneIndex(SceneNameEntry)]));
    std::printf("max level reached: %d\n", s.maxLevel);
    std::printf("allocations outside play: %llu\n",
                static_cast<unsigned long long>(s.allocationsOutsidePlay));
    std::printf("resident KiB: first sample %lld, last %lld, peak %lld\n",
                static_cast<long long>(s.firstResidentKb), static_cast<long long>(s.lastResidentKb),
                static_cast<long long>(s.peakResidentKb));
}

}  // namespace

int RunSoak(int64_t frames, uint32_t seed) {
    g_soak.frames = frames;
    g_soak.random.seed(seed);
    HeadlessReset();
    HeadlessResetWindow();
    HeadlessSetProcessId(HeadlessRealProcessId());
    SetSpriteTrace(OnSprite);
    SetWaveTrace(OnWave);
    SetFrameTrace(OnFrame);

    HeadlessAudioClearEvents();
    const uint32_t clockBefore = HeadlessSleptMs();
    if (frames == 0) PlatformPostQuit();
    g_soak.allocationsAtFrameEnd = SimAllocations();
    const auto started = std::chrono::steady_clock::now();
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    const double gameSeconds = static_cast<double>(HeadlessSleptMs() - clockBefore) / 1000.0;

    if (!g_soak.failed && g_soak.framesRun < frames)
        Fail("the program ended by itself after %lld frames",
             static_cast<long long>(g_soak.framesRun));
    PrintSummary(took.count(), gameSeconds);
    if (g_soak.failed) {
        std::printf("soak: frame %lld: %s\n", static_cast<long long>(g_soak.framesRun),
                    g_soak.failure);
        return 1;
    }
    std::printf("soak: every invariant held\n");
    return 0;
}
