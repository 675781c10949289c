#pragma once
// The shape of a ranking: ten entries, best first, each with its NameLetters, score, second
// figure and medals. The tables themselves are the settings' (shell/settings.h).
#include <cstdint>

constexpr int kRankingEntries = 10;
constexpr int kMedalKinds = 6;

struct RankingEntry {
    int32_t name[3];  // NameLetters, first character first
    int32_t score;
    int32_t lines;  // the expert table keeps its second figure here
    int32_t medals[kMedalKinds];
};
struct RankingTable {
    RankingEntry entries[kRankingEntries];
};
