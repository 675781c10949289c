#include "tests/server/replay_maker.h"

#include <cstring>

#include "rules/events.h"
#include "rules/play.h"
#include "rules/replay_file.h"
#include "rules/verify.h"

namespace {

// The buttons the player uses: the directions and the rotations; never the abort's KEY 7 and
// KEY 8.
enum Held { HeldLeft, HeldRight, HeldDown, HeldUp, HeldKey1, HeldKey2, kHelds };

int32_t StateOf(bool was, bool now) {
    if (now) return was ? 3 : 2;
    return was ? 1 : 0;
}

uint32_t Next(uint32_t* x) {
    *x ^= *x << 13;
    *x ^= *x >> 17;
    *x ^= *x << 5;
    return *x;
}

void PutInt(std::string& bytes, size_t offset, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<size_t>(i)] =
            static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

}  // namespace

MadeGame MakeGame(int32_t seed, int32_t startLevel, uint32_t maxUpdates, int pressEvery) {
    static ReplayImage image;
    ReplayInfo info{};
    info.rulesVersion = kReplayRulesVersion;
    info.mode = 1;
    info.seed = seed;
    info.startLevel = startLevel;
    info.keyConfig = 0;
    BeginPlay(seed, startLevel);
    uint32_t random = static_cast<uint32_t>(seed) * 2654435761u + 12345u;
    if (random == 0) random = 1;
    bool was[kHelds] = {}, now[kHelds] = {};
    int holdLeft[kHelds] = {};
    uint32_t runPacked = 0, runLength = 0;
    int32_t end = ReplayEndLeft;
    int32_t frame = 0;
    uint8_t* runs = image.bytes + kReplayHeaderBytes;
    auto flush = [&] {
        if (runLength == 0) return;
        info.frameBytes +=
            static_cast<uint32_t>(EncodeRun(runPacked, runLength, runs + info.frameBytes));
        info.frames += runLength;
        info.runs += 1;
        runLength = 0;
    };
    while (info.result.updates < maxUpdates) {
        // Presses of a few updates each, now and then.
        for (int b = 0; b < kHelds; ++b) {
            if (holdLeft[b] > 0) --holdLeft[b];
        }
        if (Next(&random) % static_cast<uint32_t>(pressEvery) == 0)
            holdLeft[Next(&random) % kHelds] = 1 + static_cast<int>(Next(&random) % 4);
        for (int b = 0; b < kHelds; ++b) now[b] = holdLeft[b] > 0;
        ButtonLatchState buttons{};
        buttons.left = StateOf(was[HeldLeft], now[HeldLeft]);
        buttons.right = StateOf(was[HeldRight], now[HeldRight]);
        buttons.down = StateOf(was[HeldDown], now[HeldDown]);
        buttons.up = StateOf(was[HeldUp], now[HeldUp]);
        buttons.key[1] = StateOf(was[HeldKey1], now[HeldKey1]);
        buttons.key[2] = StateOf(was[HeldKey2], now[HeldKey2]);
        std::memcpy(was, now, sizeof was);

        const uint32_t packed = PackLatch(buttons);
        if (runLength > 0 && packed == runPacked) {
            ++runLength;
        } else {
            flush();
            runPacked = packed;
            runLength = 1;
        }
        frame = frame + 1;
        StepPlay(PlayInput{buttons, info.keyConfig, frame});
        info.result.updates += 1;
        bool over = false;
        for (int32_t n = 0; n < PlayEvents.count; ++n) {
            if (PlayEvents.events[n].kind == PlayOver) end = ReplayEndGameOver, over = true;
            if (PlayEvents.events[n].kind == PlayAborted) end = ReplayEndAbort, over = true;
        }
        if (over) break;
        if (info.frameBytes + 2 * kReplayRunMaxBytes > kReplayFrameBytes) break;
    }
    flush();
    const uint32_t updates = info.result.updates;
    TakeGameResult(&info.result, end);
    info.result.updates = updates;
    SealReplay(image, info);
    MadeGame game;
    game.bytes.assign(reinterpret_cast<const char*>(image.bytes), image.size);
    game.score = info.result.score;
    game.lines = info.result.lines;
    game.level = info.result.level;
    game.updates = updates;
    return game;
}

int32_t FieldAt(const std::string& replay, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(replay[offset + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

std::string ForgeScore(const std::string& replay, int32_t score) {
    std::string forged = replay;
    constexpr size_t kScoreOffset = 52;
    PutInt(forged, kScoreOffset, score);
    const size_t body = forged.size() - kReplayCrcBytes;
    PutInt(forged, body,
           static_cast<int32_t>(Crc32(reinterpret_cast<const uint8_t*>(forged.data()), body)));
    return forged;
}
