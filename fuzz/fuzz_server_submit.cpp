// The ranking server's path for a sent game, from any bytes: the answer is always one of the
// route's statuses with a JSON body, an accepted game is on the board with exactly the result
// the rules reached, and nothing else is stored. Each input is also sent with its last four
// bytes made the right CRC, so that the checks behind the CRC are reached as often.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "rules/replay_file.h"
#include "server/service.h"
#include "server/store.h"

namespace {

void Expect(bool holds) {
    if (!holds) std::abort();
}

char g_path[] = "/tmp/plusrail-fuzz-server-XXXXXX";

// The store's files go with the run.
void RemoveStore() {
    for (const char* suffix : {"", "-wal", "-shm"}) unlink((std::string(g_path) + suffix).c_str());
}

RankingStore& Store() {
    static std::unique_ptr<RankingStore> store;
    if (!store) {
        const int fd = mkstemp(g_path);
        Expect(fd >= 0);
        close(fd);
        std::atexit(RemoveStore);
        const char* path = g_path;
        std::string error;
        store = OpenSqliteStore(path, &error);
        Expect(store && store->Migrate(&error));
    }
    return *store;
}

void Check(const uint8_t* data, size_t size) {
    RankingStore& store = Store();
    int64_t before = 0;
    Expect(store.Count(kAnyStartLevel, &before));
    const ApiAnswer answer = SubmitGame(store, "FUZ", data, size);
    const nlohmann::json body = nlohmann::json::parse(answer.body, nullptr, false);
    Expect(!body.is_discarded());
    int64_t after = 0;
    Expect(store.Count(kAnyStartLevel, &after));
    if (answer.status == 422) {
        Expect(body["error"].is_string() && after == before);
        return;
    }
    Expect(answer.status == 201 || answer.status == 200);
    Expect(after == before + (answer.status == 201 ? 1 : 0));
    // What is ranked is what the file records, every field of it.
    ReplayInfo info;
    Expect(ReadReplay(data, size, &info) == ReplayStatus::Ok && !info.incomplete);
    const nlohmann::json& entry = body["entry"];
    Expect(entry["score"] == info.result.score && entry["lines"] == info.result.lines &&
           entry["level"] == info.result.level && entry["time_ms"] == info.result.elapsedMs &&
           entry["start_level"] == info.startLevel);
    std::string bytes;
    bool found = false;
    Expect(store.Replay(entry["id"].get<int64_t>(), &bytes, &found) && found);
    Expect(bytes.size() == size && std::memcmp(bytes.data(), data, size) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    if (size < kReplayHeaderBytes + kReplayCrcBytes) return 0;
    uint8_t* sealed = static_cast<uint8_t*>(std::malloc(size));
    if (!sealed) return 0;
    std::memcpy(sealed, data, size);
    const size_t at = size - kReplayCrcBytes;
    const uint32_t crc = Crc32(sealed, at);
    for (size_t b = 0; b < kReplayCrcBytes; ++b)
        sealed[at + b] = static_cast<uint8_t>(crc >> (8 * b));
    Check(sealed, size);
    std::free(sealed);
    return 0;
}
