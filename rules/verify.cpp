#include "rules/verify.h"

#include <climits>
#include <cstdio>

#include "rules/events.h"
#include "rules/field.h"
#include "rules/play.h"

namespace {

ReplayResult g_verified;

void TakeResult(int32_t end, uint32_t updates) {
    TakeGameResult(&g_verified, end);
    g_verified.updates = updates;
}

// How the game of this update handed over, or -1 while it goes on.
int32_t EndOfUpdate() {
    for (int32_t n = 0; n < PlayEvents.count; ++n) {
        if (PlayEvents.events[n].kind == PlayOver) return ReplayEndGameOver;
        if (PlayEvents.events[n].kind == PlayAborted) return ReplayEndAbort;
    }
    return -1;
}

// The game of `info`, update by update as the game scene runs it, until it hands over or the
// buttons run out (the player left it by a close request).
void PlayReplay(const ReplayInfo& info, const uint8_t* bytes) {
    // The game deals from the frame count of its start, which the replay keeps as its seed.
    BeginPlay(info.seed, info.startLevel);
    ReplayCursor cursor = StartCursor(bytes, info);
    int32_t frame = 0;
    uint32_t updates = 0;
    uint32_t packed = 0;
    while (NextFrame(cursor, &packed)) {
        // Each update sees the count of the frame it runs in, as in play.
        frame = frame == INT32_MAX ? 0 : frame + 1;
        StepPlay(PlayInput{UnpackLatch(packed), info.keyConfig, frame});
        ++updates;
        const int32_t end = EndOfUpdate();
        if (end >= 0) {
            TakeResult(end, updates);
            return;
        }
    }
    TakeResult(ReplayEndLeft, updates);
}

}  // namespace

void TakeGameResult(ReplayResult* result, int32_t end) {
    result->end = end;
    result->score = Game.score;
    result->lines = Game.lines;
    result->level = Game.level;
    result->elapsedMs = Game.elapsedMs;
    for (int m = 0; m < kReplayMedals; ++m) result->medals[m] = Game.medals[m];
}

const char* FirstResultDifference(const ReplayResult& want, const ReplayResult& got,
                                  int64_t* wantValue, int64_t* gotValue) {
    struct Field {
        const char* name;
        int64_t want, got;
    };
    const Field fields[] = {
        {"end", want.end, got.end},
        {"updates", want.updates, got.updates},
        {"score", want.score, got.score},
        {"lines", want.lines, got.lines},
        {"level", want.level, got.level},
        {"time", want.elapsedMs, got.elapsedMs},
        {"medal level", want.medals[0], got.medals[0]},
        {"medal time", want.medals[1], got.medals[1]},
        {"medal lines", want.medals[2], got.medals[2]},
        {"medal chain", want.medals[3], got.medals[3]},
        {"medal streak", want.medals[4], got.medals[4]},
        {"medal collection", want.medals[5], got.medals[5]},
    };
    for (const Field& f : fields) {
        if (f.want != f.got) {
            *wantValue = f.want;
            *gotValue = f.got;
            return f.name;
        }
    }
    return nullptr;
}

ReplayVerdict VerifyReplay(const uint8_t* bytes, size_t size, char* message, size_t messageSize) {
    ReplayInfo info;
    const ReplayStatus status = ReadReplay(bytes, size, &info);
    if (status != ReplayStatus::Ok) {
        std::snprintf(message, messageSize, "%s", ReplayStatusText(status));
        return ReplayVerdict::Refused;
    }
    if (info.incomplete) {
        std::snprintf(message, messageSize,
                      "the replay is incomplete (its buttons stop at update %u of %u), so its "
                      "result cannot be reached",
                      info.frames, info.result.updates);
        return ReplayVerdict::Different;
    }
    PlayReplay(info, bytes);
    int64_t want = 0, got = 0;
    const char* field = FirstResultDifference(info.result, g_verified, &want, &got);
    if (field) {
        std::snprintf(message, messageSize, "%s differs: recorded %lld, replayed %lld", field,
                      static_cast<long long>(want), static_cast<long long>(got));
        return ReplayVerdict::Different;
    }
    std::snprintf(message, messageSize,
                  "the replay reaches its recorded result (score %d, %u updates)",
                  static_cast<int>(info.result.score), info.result.updates);
    return ReplayVerdict::Same;
}

const ReplayResult& VerifiedResult() { return g_verified; }

void ResetVerification() { g_verified = ReplayResult{}; }
