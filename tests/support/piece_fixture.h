#pragma once
// A piece on an empty field at level 0, with every sound played recorded in order. Shared by
// the suites of the dealing and of the piece motion.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "game/field.h"
#include "sound/sound.h"
#include "support/fresh.h"

inline std::vector<uint16_t> g_played;

inline void RecordWave(WaveOp op, uint16_t slot, int32_t, int32_t) {
    if (op == WaveOpPlay) g_played.push_back(slot);
}

// A held button's counter: 1, 2, ... 11, then 10, 11, 10, 11.
inline int8_t NextHold(int8_t counter) {
    if (counter == 0) return 1;
    return counter + 1 > 11 ? 10 : static_cast<int8_t>(counter + 1);
}

constexpr LevelParams kLevel0 = {60, 60, 60, 20, 5, 0};

class PieceTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        ResetField();
        Game.params = kLevel0;
        g_played.clear();
        SetWaveTrace(RecordWave);
    }
    void TearDown() override { SetWaveTrace(nullptr); }

    // The sequence starts with the given kinds, the rest kind 2.
    static void Deal(std::initializer_list<int> kinds) {
        for (auto& k : Game.sequence) k = 2;
        int i = 0;
        for (int k : kinds) Game.sequence[i++] = static_cast<int8_t>(k);
        Game.dealt = 0;
    }

    static void Place(int kind, int rotation, int x, int y, int32_t phase) {
        Game.piece.kind = kind;
        Game.piece.rotation = rotation;
        Game.piece.x = x;
        Game.piece.y = y;
        LoadShape();
        Game.phase = phase;
        Game.fallTimer = Game.params.fallDelay;
        Game.lockTimer = Game.params.lockDelay;
    }
};
