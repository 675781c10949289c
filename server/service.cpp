#include "server/service.h"

#include <openssl/evp.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "rules/verify.h"
#include "server/metrics.h"

namespace {

using nlohmann::json;

const char* const kJson = "application/json";
constexpr int32_t kDefaultLimit = 100;
constexpr int32_t kMaxLimit = 1000;
const int32_t kStartLevels[] = {0, 15, 25, 35, 50, 70, 100};

// The rules keep one game in process-wide records: one verification at a time.
std::mutex g_verifyMutex;

// Pages of the ranking as last sent, each with the length its list had then. Entries are only
// ever added, and a list changes only when one joins it, which changes its length: a page whose
// list has the same length is the same page. Asking the length is one row of the database,
// which every process sharing it sees alike.
struct CachedPage {
    int64_t total;
    std::string body;
};
constexpr size_t kCachedPages = 512;
struct PageCache {
    std::mutex mutex;
    std::unordered_map<std::string, CachedPage> pages;
};
PageCache g_pages;

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && at == end && *value >= low && *value <= high;
}

std::string IsoTime(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

json EntryObject(const RankingEntry& e) {
    json medals = json::array();
    for (int m = 0; m < kReplayMedals; ++m) medals.push_back(e.medals[m]);
    return json{{"id", e.id},
                {"name", e.name},
                {"score", e.score},
                {"lines", e.lines},
                {"level", e.level},
                {"time_ms", e.timeMs},
                {"medals", medals},
                {"start_level", e.startLevel},
                {"submitted", IsoTime(e.submitted)},
                {"replay_url", "/api/v1/games/" + std::to_string(e.id) + "/replay"}};
}

ApiAnswer DatabaseError() { return ErrorAnswer(500, "the database did not answer"); }

}  // namespace

bool ValidRankingName(const std::string& name) {
    if (name.size() != kNameLength) return false;
    for (char c : name) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= '1' && c <= '9');
        if (!letter && !std::strchr(":-+.!? ", c)) return false;
        if (c == '\0') return false;
    }
    return true;
}

ReplayDigest DigestOf(const uint8_t* bytes, size_t size) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes, size, digest, &length, EVP_sha256(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex(static_cast<size_t>(length) * 2, '0');
    for (unsigned int i = 0; i < length; ++i) {
        hex[2 * i] = kHex[digest[i] >> 4];
        hex[2 * i + 1] = kHex[digest[i] & 15];
    }
    return hex;
}

ApiAnswer ErrorAnswer(int status, const std::string& message) {
    return ApiAnswer{status, json{{"error", message}}.dump(), kJson};
}

std::string EntryJson(const RankingEntry& entry, int64_t rank) {
    json e = EntryObject(entry);
    if (rank > 0) e["rank"] = rank;
    return e.dump();
}

ApiAnswer SubmitGame(RankingStore& store, const std::string& name, const uint8_t* bytes,
                     size_t size) {
    if (!ValidRankingName(name))
        return ErrorAnswer(400, "name must be three characters of A-Z 1-9 : - + . ! ? or space");
    // The header first: what is refused is refused before a single update is played.
    ReplayInfo info{};
    const ReplayStatus status = ReadReplay(bytes, size, &info);
    if (status != ReplayStatus::Ok) return ErrorAnswer(422, ReplayStatusText(status));
    if (info.incomplete)
        return ErrorAnswer(422, "the replay is incomplete: the game outgrew its recording");
    if (info.result.end != ReplayEndGameOver)
        return ErrorAnswer(422, "the game did not end in a game over");
    if (info.result.updates > kMaxVerifiedUpdates) {
        char message[128];
        std::snprintf(message, sizeof message,
                      "the replay claims %u updates, more than the game records (at most %u)",
                      info.result.updates, kMaxVerifiedUpdates);
        return ErrorAnswer(422, message);
    }
    RankingEntry entry{};
    {
        std::lock_guard<std::mutex> lock(g_verifyMutex);
        char message[256];
        ReplayVerdict verdict;
        {
            TimingScope timing(TimingVerify);
            verdict = VerifyReplay(bytes, size, message, sizeof message);
        }
        if (verdict != ReplayVerdict::Same) return ErrorAnswer(422, message);
        const ReplayResult& r = VerifiedResult();
        entry.score = r.score;
        entry.lines = r.lines;
        entry.level = r.level;
        entry.timeMs = r.elapsedMs;
        for (int m = 0; m < kReplayMedals; ++m) entry.medals[m] = r.medals[m];
    }
    std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    entry.startLevel = info.startLevel;
    const ReplayDigest digest = DigestOf(bytes, size);
    RankingEntry stored{};
    bool created = false;
    int64_t rank = 0;
    std::string error;
    {
        TimingScope timing(TimingDatabase);
        if (!store.Add(entry, digest, bytes, size, &stored, &created, &error) ||
            !store.Rank(stored, &rank))
            return DatabaseError();
    }
    json answer{{"rank", rank}, {"entry", EntryObject(stored)}};
    return ApiAnswer{created ? 201 : 200, answer.dump(), kJson};
}

ApiAnswer GetRanking(RankingStore& store, const std::string& startLevelText,
                     const std::string& limitText, const std::string& offsetText) {
    int64_t startLevel = kAnyStartLevel, limit = kDefaultLimit, offset = 0;
    if (!startLevelText.empty()) {
        bool known = ParseInt(startLevelText, 0, 100, &startLevel);
        known = known && std::find(std::begin(kStartLevels), std::end(kStartLevels), startLevel) !=
                             std::end(kStartLevels);
        if (!known) return ErrorAnswer(400, "start_level must be 0, 15, 25, 35, 50, 70 or 100");
    }
    if (!limitText.empty() && !ParseInt(limitText, 1, kMaxLimit, &limit))
        return ErrorAnswer(400, "limit must be a number from 1 to 1000");
    if (!offsetText.empty() && !ParseInt(offsetText, 0, INT64_MAX / 2, &offset))
        return ErrorAnswer(400, "offset must be a number from 0");
    const std::string key =
        std::to_string(startLevel) + "/" + std::to_string(limit) + "/" + std::to_string(offset);
    int64_t length = 0;
    {
        TimingScope timing(TimingDatabase);
        if (!store.Count(static_cast<int32_t>(startLevel), &length)) return DatabaseError();
    }
    {
        std::lock_guard<std::mutex> lock(g_pages.mutex);
        auto it = g_pages.pages.find(key);
        if (it != g_pages.pages.end() && it->second.total == length)
            return ApiAnswer{200, it->second.body, kJson};
    }
    std::vector<RankingEntry> entries;
    int64_t total = 0;
    {
        TimingScope timing(TimingDatabase);
        if (!store.Ranking(static_cast<int32_t>(startLevel), static_cast<int32_t>(limit), offset,
                           &entries, &total))
            return DatabaseError();
    }
    json list = json::array();
    for (size_t i = 0; i < entries.size(); ++i) {
        json e = EntryObject(entries[i]);
        e["rank"] = offset + static_cast<int64_t>(i) + 1;
        list.push_back(std::move(e));
    }
    std::string body = json{{"total", total}, {"offset", offset}, {"entries", list}}.dump();
    std::lock_guard<std::mutex> lock(g_pages.mutex);
    if (g_pages.pages.size() >= kCachedPages) g_pages.pages.clear();
    g_pages.pages[key] = CachedPage{total, body};
    return ApiAnswer{200, std::move(body), kJson};
}

ApiAnswer GetGame(RankingStore& store, const std::string& idText) {
    int64_t id = 0;
    if (!ParseInt(idText, 1, INT64_MAX, &id)) return ErrorAnswer(404, "no such game");
    RankingEntry entry{};
    bool found = false;
    int64_t rank = 0;
    {
        TimingScope timing(TimingDatabase);
        if (!store.Find(id, &entry, &found)) return DatabaseError();
        if (!found) return ErrorAnswer(404, "no such game");
        if (!store.Rank(entry, &rank)) return DatabaseError();
    }
    return ApiAnswer{200, EntryJson(entry, rank), kJson};
}

ApiAnswer GetReplay(RankingStore& store, const std::string& idText) {
    int64_t id = 0;
    if (!ParseInt(idText, 1, INT64_MAX, &id)) return ErrorAnswer(404, "no such game");
    std::string bytes;
    bool found = false;
    {
        TimingScope timing(TimingDatabase);
        if (!store.Replay(id, &bytes, &found)) return DatabaseError();
    }
    if (!found) return ErrorAnswer(404, "no such game");
    return ApiAnswer{200, std::move(bytes), "application/octet-stream"};
}
