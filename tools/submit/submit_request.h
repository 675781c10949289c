#pragma once
// What plusrail-submit sends and how it reads the answer: the ranking name, the server's
// address, and the lines printed for each kind of answer.
#include <string>

// The letters a ranking name is made of, as the name entry offers them (the blank letter is a
// space).
constexpr const char* kRankingAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789:-+.!? ";
constexpr int kRankingNameLength = 3;

// The name in capitals when it is three letters of the alphabet (small letters are taken as
// capitals); false, with `why`, otherwise.
bool ParseRankingName(const std::string& text, std::string* name, std::string* why);

// A server address: http://HOST[:PORT][/PREFIX] or https://...; the prefix is where a reverse
// proxy puts the server's paths.
struct ServerAddress {
    std::string origin;  // scheme://host[:port], as the HTTP client takes it
    std::string prefix;  // "" or "/path" without a final slash
};
bool ParseServerAddress(const std::string& text, ServerAddress* address, std::string* why);

// The request's path and query: the name percent-encoded.
std::string SubmissionTarget(const ServerAddress& address, const std::string& name);

// The lines to print for an answer with this status and body. `accepted` is set for 200 and
// 201, the only answers that mean the game is on the board.
std::string DescribeAnswer(const ServerAddress& address, int status, const std::string& body,
                           const std::string& retryAfter, bool* accepted);
