#include "rules/medals.h"

#include <cstdint>

#include "rules/events.h"
#include "rules/field.h"
#include "rules/score.h"

namespace {

constexpr int32_t kMedalFlashFrames = 60;

int64_t MedalBonus(int32_t tier) {
    switch (tier) {
        case 1: return 300000;
        case 2: return 700000;
        case 3: return 1000000;
        default: return 0;
    }
}

// Each tier is won only from the one below it, so a single check can climb several tiers.
void CheckCascade(int kind, int64_t measure, int64_t t1, int64_t t2, int64_t t3) {
    if (Game.medals[kind] == 0 && measure >= t1) AwardMedal(kind, 1);
    if (Game.medals[kind] == 1 && measure >= t2) AwardMedal(kind, 2);
    if (Game.medals[kind] == 2 && measure >= t3) AwardMedal(kind, 3);
}

struct RatingWord {
    int32_t threshold;
    const char* word;
};
constexpr RatingWord kRatingWords[] = {
    {100, "HOLYSHIT"}, {90, "GODLIKE"},   {80, "LUNATIC"},   {70, "AMAZING"},
    {60, "MONSTER"},   {50, "EXCELLENT"}, {40, "MARVELOUS"}, {30, "VERY GOOD"},
    {20, "GREAT"},     {16, "GOOD"},      {12, "NICE"},
};

}  // namespace

void AwardMedal(int kind, int32_t tier) {
    if (kind < 0 || kind >= kMedals) return;
    Game.medals[kind] = tier;
    Game.medalFlash[kind] = kMedalFlashFrames;
    AddScore(MedalBonus(tier));
    EmitPlayEvent(PlayMedalWon, kind, tier);
}

void CheckTimeMedal(int32_t level) {
    for (int64_t k = 1; k <= 10; ++k) {
        if (level != Game.startLevel + 10 * k) continue;
        if (Game.elapsedMs <= k * 150000 && Game.medals[MedalTime] == 0) AwardMedal(MedalTime, 1);
        if (Game.elapsedMs <= k * 135000 && Game.medals[MedalTime] == 1) AwardMedal(MedalTime, 2);
        if (Game.elapsedMs <= k * 120000 && Game.medals[MedalTime] == 2) AwardMedal(MedalTime, 3);
    }
}

void CheckLevelMedal(int32_t level) {
    // Counted from the level the game started at, so every start level has the same road.
    int64_t climbed = static_cast<int64_t>(level) - Game.startLevel;
    if (climbed == 25) {
        AwardMedal(MedalLevel, 1);
    } else if (climbed == 35) {
        AwardMedal(MedalLevel, 2);
    } else if (climbed == 50) {
        AwardMedal(MedalLevel, 3);
    }
}

void CheckLineMedals() { CheckCascade(MedalLines, Game.stepLines, 80, 90, 100); }
void CheckChainMedals() { CheckCascade(MedalChain, Game.chain, 2, 3, 4); }
void CheckStreakMedals() { CheckCascade(MedalStreak, Game.streak, 3, 5, 7); }

void CheckCollectionMedal() {
    int32_t won = 0;
    // Every kind but the collection itself, which comes last.
    for (int kind = MedalLevel; kind <= MedalStreak; ++kind) {
        if (Game.medals[kind] >= 1) ++won;
    }
    CheckCascade(MedalCollection, won, 3, 4, 5);
}

int32_t EraseRating() {
    int64_t chain = Game.chain;
    return SaturatedAdd(Game.chainLines, (chain * chain - 1) * 7);
}

const char* EraseRatingWord(int32_t rating) {
    for (const RatingWord& entry : kRatingWords) {
        if (rating >= entry.threshold) return entry.word;
    }
    return nullptr;
}
