#pragma once
// What a ranking file's parse guarantees for any bytes, shared by the two ranking targets:
// the whole words of the file in order, then the defaults of the table for what it lacks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "shell/settings.h"

inline void CheckRankingParse(bool expert, const uint8_t* data, size_t size) {
    auto expect = [](bool holds) {
        if (!holds) std::abort();
    };
    auto words = [](const RankingEntry& e, int32_t* out) {
        for (int c = 0; c < 3; ++c) out[c] = e.name[c];
        out[3] = e.score;
        out[4] = e.lines;
        for (int m = 0; m < kMedalKinds; ++m) out[5 + m] = e.medals[m];
    };
    constexpr int kEntryWords = 11, kTableWords = kRankingEntries * kEntryWords;

    ResetSettings();
    // The defaults, from a file with nothing in it.
    RankingTable defaults{};
    expect(ParseRankingBytes(&defaults, expert, data, 0) == 0);
    RankingTable* table = expert ? &ExpertRanking : &NormalRanking;
    const int taken = ParseRankingBytes(table, expert, data, size);
    expect(taken == static_cast<int>(size / 4 < kTableWords ? size / 4 : kTableWords));

    for (int i = 0; i < kRankingEntries; ++i) {
        int32_t got[kEntryWords], fallback[kEntryWords];
        words(table->entries[i], got);
        words(defaults.entries[i], fallback);
        for (int w = 0; w < kEntryWords; ++w) {
            const int index = kEntryWords * i + w;
            if (index >= taken) {
                expect(got[w] == fallback[w]);
            } else {
                const uint8_t* b = data + 4 * index;
                const uint32_t stored =
                    static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                    static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
                expect(got[w] == static_cast<int32_t>(stored));
            }
        }
    }
    // The other table and the settings are not the parse's business.
    const RankingTable& other = expert ? NormalRanking : ExpertRanking;
    for (const RankingEntry& e : other.entries) expect(e.score == 0 && e.name[0] == 0);
    expect(Settings.keyConfig == 0 && Settings.fpsDisplay == 1);
}
