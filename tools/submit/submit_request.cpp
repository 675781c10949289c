#include "submit_request.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using nlohmann::json;

// A whole number field of the answer, or `missing` when it is absent or not a number.
int64_t Number(const json& object, const char* key, int64_t missing) {
    const auto at = object.find(key);
    if (at == object.end() || !at->is_number_integer()) return missing;
    return at->get<int64_t>();
}

std::string Text(const json& object, const char* key) {
    const auto at = object.find(key);
    return at != object.end() && at->is_string() ? at->get<std::string>() : std::string();
}

// One line for an entry: its place and what it scored, the time as the game shows it.
std::string DescribeEntry(const ServerAddress& address, const json& answer) {
    const json entry = answer.contains("entry") ? answer["entry"] : answer;
    if (!entry.is_object()) return "the server's answer holds no entry\n";
    const int64_t timeMs = Number(entry, "time_ms", 0);
    char line[512];
    std::snprintf(
        line, sizeof line,
        "rank %lld: \"%s\" %lld points, %lld lines, level %lld, time %02lld'%02lld\"%02lld"
        ", start level %lld (entry %lld)\n",
        static_cast<long long>(Number(answer, "rank", Number(entry, "rank", 0))),
        Text(entry, "name").c_str(), static_cast<long long>(Number(entry, "score", 0)),
        static_cast<long long>(Number(entry, "lines", 0)),
        static_cast<long long>(Number(entry, "level", 0)),
        static_cast<long long>(timeMs / 60000 % 100), static_cast<long long>(timeMs / 1000 % 60),
        static_cast<long long>(timeMs / 10 % 100),
        static_cast<long long>(Number(entry, "start_level", 0)),
        static_cast<long long>(Number(entry, "id", 0)));
    std::string text = line;
    const std::string replay = Text(entry, "replay_url");
    if (!replay.empty())
        text += "watch it: " + address.origin + address.prefix +
                "/play/index.html?replay=" + address.prefix + replay + "\n";
    return text;
}

}  // namespace

bool ParseRankingName(const std::string& text, std::string* name, std::string* why) {
    name->clear();
    for (const char c : text) {
        const char capital = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (capital == '\0' || !std::strchr(kRankingAlphabet, capital)) {
            *why = std::string("'") + c +
                   "' is not a letter of the ranking (A-Z, 1-9, : - + . ! ? "
                   "and space)";
            return false;
        }
        *name += capital;
    }
    if (name->size() != kRankingNameLength) {
        *why = "a ranking name is three letters, not " + std::to_string(name->size());
        return false;
    }
    return true;
}

bool ParseServerAddress(const std::string& text, ServerAddress* address, std::string* why) {
    const size_t schemeEnd = text.find("://");
    const std::string scheme = schemeEnd == std::string::npos ? "" : text.substr(0, schemeEnd);
    if (scheme != "http" && scheme != "https") {
        *why = "the server's address starts with http:// or https://";
        return false;
    }
    const size_t hostStart = schemeEnd + 3;
    size_t pathStart = text.find('/', hostStart);
    if (pathStart == std::string::npos) pathStart = text.size();
    if (pathStart == hostStart) {
        *why = "the server's address names no host";
        return false;
    }
    if (text.find_first_of("?#", hostStart) != std::string::npos) {
        *why = "the server's address has no query or fragment";
        return false;
    }
    address->origin = text.substr(0, pathStart);
    address->prefix = text.substr(pathStart);
    while (!address->prefix.empty() && address->prefix.back() == '/') address->prefix.pop_back();
    return true;
}

std::string SubmissionTarget(const ServerAddress& address, const std::string& name) {
    std::string target = address.prefix + "/api/v1/games?name=";
    for (const char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            target += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            target += escaped;
        }
    }
    return target;
}

std::string DescribeAnswer(const ServerAddress& address, int status, const std::string& body,
                           const std::string& retryAfter, bool* accepted) {
    const json answer = json::parse(body, nullptr, false);
    *accepted = status == 200 || status == 201;
    if (*accepted && answer.is_object()) {
        const std::string how = status == 201 ? "accepted" : "already on the board";
        return how + ": " + DescribeEntry(address, answer);
    }
    std::string reason = answer.is_object() ? Text(answer, "error") : std::string();
    if (reason.empty()) reason = body.substr(0, body.find('\n')).substr(0, 200);
    std::string text = "refused (" + std::to_string(status) + "): " + reason + "\n";
    if (status == 429 && !retryAfter.empty())
        text += "the server takes another game from here in " + retryAfter + " seconds\n";
    if (*accepted) {
        // A 200 without an entry is not the ranking server's answer.
        *accepted = false;
        text = "the server's answer is not a ranking's: " + reason + "\n";
    }
    return text;
}
