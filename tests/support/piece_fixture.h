#pragma once
// A fresh process with the program's close routine in place and every sound recorded, and
// helpers that lay pieces out, step the game scene frame by frame and read what the rules
// reported. Shared by the suites of the game rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "frame/frame.h"
#include "game/game_scene.h"
#include "rules/events.h"
#include "rules/field.h"
#include "scenes/callbacks.h"
#include "shell/scene.h"
#include "sound/sound.h"
#include "support/fresh.h"

struct WaveEvent {
    WaveOp op;
    uint16_t slot;
    int32_t loop, frame;
};
inline std::vector<WaveEvent> g_waves;

// Several values compared at once, so that a failure shows them side by side.
template <typename... T>
std::vector<int64_t> V(T... values) {
    return {static_cast<int64_t>(values)...};
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { SetWaveTrace(nullptr); }
    static void Fresh() {
        FreshProcess();
        // As the program's start-up registers it: the abort combination asks it.
        SetCloseCallback(CloseCallback);
        g_waves.clear();
        SetWaveTrace([](WaveOp op, uint16_t slot, int32_t loop, int32_t) {
            g_waves.push_back({op, slot, loop, Scene.frame});
        });
    }
    // The slots played in order, or with a slot given, the frames it was played at.
    static std::vector<int64_t> Played(int slot = -1) {
        std::vector<int64_t> out;
        for (const WaveEvent& w : g_waves) {
            if (w.op == WaveOpPlay && (slot < 0 || w.slot == slot))
                out.push_back(slot < 0 ? w.slot : w.frame);
        }
        return out;
    }
    // The kinds of event the rules reported since they last began an update, in order, or
    // with a kind given, the values of that kind.
    static std::vector<int64_t> Reports(int kind = -1) {
        std::vector<int64_t> out;
        for (int32_t n = 0; n < PlayEvents.count; ++n) {
            const PlayEvent& e = PlayEvents.events[n];
            if (kind < 0 || e.kind == kind) out.push_back(kind < 0 ? e.kind : e.value);
        }
        return out;
    }
    static size_t Reported(PlayEventKind kind) { return Reports(kind).size(); }
    static void Step(int frames = 1) {
        for (int k = 0; k < frames; ++k, ++Scene.frame) GameUpdate();
    }
    // Frames until the phase changes, the frame that changes it included.
    static int StepsWhile(int32_t phase) {
        int n = 0;
        for (; Game.phase == phase && n < 1000; ++n) Step();
        return n;
    }
    // A game at the given start level, past READY, its first piece in the air.
    static void PlayFrom(int32_t level) {
        Scene.startLevel = level;
        StartGame(1);
        Step(100);
        g_waves.clear();
    }
    // The sequence starts with the given kinds, the rest kind 2.
    static void Deal(std::initializer_list<int> kinds) {
        for (auto& k : Game.sequence) k = 2;
        for (int i = 0; int k : kinds) Game.sequence[i++] = static_cast<int8_t>(k);
        Game.dealt = 0;
    }
    static void Place(int kind, int rotation, int x, int y, int32_t phase = PhaseFalling) {
        Game.piece = Piece{kind, rotation, x, y, {}, {}};
        LoadShape();
        Game.phase = phase;
        Game.fallTimer = Game.params.fallDelay;
        Game.lockTimer = Game.params.lockDelay;
    }
};
