// plusrail-submit: sends a replay to a ranking server, which plays it again and ranks it only
// when it reaches the result it records. The file is read here first, so that a file that is
// no replay at all is not sent.
#include <httplib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rules/replay_file.h"
#include "submit_request.h"

namespace {

// Exit statuses: the game is on the board, the server refused it, the command or the file is
// wrong, no answer came.
constexpr int kExitAccepted = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoAnswer = 3;

constexpr time_t kConnectSeconds = 10;
// A long game is played through on the server before it answers.
constexpr time_t kAnswerSeconds = 60;

constexpr const char* kHelp =
    "usage: plusrail-submit FILE --server URL --name ABC\n"
    "\n"
    "Sends the replay FILE (a .rpl file the game wrote, such as replays/last.rpl or\n"
    "replays/rank_n_0.rpl) to the ranking server at URL (http://HOST:PORT or https://...,\n"
    "with the path under which it is served, if any). The server plays the game again and\n"
    "ranks it under the name ABC only when it reaches the recorded result.\n"
    "\n"
    "  --server URL  the ranking server\n"
    "  --name ABC    three letters: A-Z, 1-9, : - + . ! ? or space (quote it)\n"
    "  --help        this text\n"
    "\n"
    "Prints the server's answer: the rank and the entry, or why the game was refused.\n"
    "Exit status: 0 accepted (or already on the board), 1 refused by the server,\n"
    "2 a wrong command line or a file that is no replay, 3 no answer from the server.\n";

struct SubmitOptions {
    std::string file;
    std::string server;
    std::string name;
    bool help = false;
};

int Usage(const char* why) {
    std::fprintf(stderr, "plusrail-submit: %s\n(plusrail-submit --help tells how to use it)\n",
                 why);
    return kExitUsage;
}

// Options, then the one file; false with `why` for anything else.
bool ParseOptions(int argc, char** argv, SubmitOptions* options, std::string* why) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--server" || arg == "--name") {
            if (i + 1 >= argc) {
                *why = arg + " needs a value";
                return false;
            }
            (arg == "--server" ? options->server : options->name) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            *why = "unknown option " + arg;
            return false;
        } else if (options->file.empty()) {
            options->file = arg;
        } else {
            *why = "one replay file at a time (" + options->file + ", " + arg + ")";
            return false;
        }
    }
    if (options->help) return true;
    if (options->file.empty())
        *why = "no replay file named";
    else if (options->server.empty())
        *why = "no --server URL";
    else if (options->name.empty())
        *why = "no --name ABC";
    return why->empty();
}

// The whole file, when it is no larger than the largest replay; `why` otherwise.
bool ReadReplayBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *why = std::strerror(errno);
        return false;
    }
    bytes->resize(kReplayMaxBytes + 1);
    const size_t got = std::fread(bytes->data(), 1, bytes->size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *why = "the file cannot be read";
        return false;
    }
    if (got > kReplayMaxBytes) {
        *why = "larger than any replay the game writes";
        return false;
    }
    bytes->resize(got);
    return true;
}

// Why no answer came, for a player rather than for the library's author.
std::string NoAnswerReason(httplib::Error error) {
    switch (error) {
        case httplib::Error::Connection: return "cannot connect";
        case httplib::Error::ConnectionTimeout: return "the connection timed out";
        case httplib::Error::Read: return "the connection ended before the answer";
        case httplib::Error::Write: return "the connection ended while sending";
        case httplib::Error::SSLConnection: return "the TLS connection failed";
        case httplib::Error::SSLLoadingCerts: return "the trusted certificates cannot be read";
        case httplib::Error::SSLServerVerification:
            return "the server's certificate is not trusted";
        default: return httplib::to_string(error);
    }
}

}  // namespace

int main(int argc, char** argv) {
    SubmitOptions options;
    std::string why;
    if (!ParseOptions(argc, argv, &options, &why)) return Usage(why.c_str());
    if (options.help) {
        std::fputs(kHelp, stdout);
        return kExitAccepted;
    }
    std::string name;
    if (!ParseRankingName(options.name, &name, &why)) return Usage(why.c_str());
    ServerAddress address;
    if (!ParseServerAddress(options.server, &address, &why)) return Usage(why.c_str());

    // The server decides whether the game reached its result; here only that it is a replay.
    std::vector<uint8_t> bytes;
    if (!ReadReplayBytes(options.file, &bytes, &why)) {
        std::fprintf(stderr, "plusrail-submit: %s: %s\n", options.file.c_str(), why.c_str());
        return kExitUsage;
    }
    ReplayInfo info;
    const ReplayStatus status = ReadReplay(bytes.data(), bytes.size(), &info);
    if (status != ReplayStatus::Ok) {
        std::fprintf(stderr, "plusrail-submit: %s: %s\n", options.file.c_str(),
                     ReplayStatusText(status));
        return kExitUsage;
    }

    httplib::Client client(address.origin);
    client.set_connection_timeout(kConnectSeconds, 0);
    client.set_read_timeout(kAnswerSeconds, 0);
    client.set_write_timeout(kAnswerSeconds, 0);
    const std::string target = SubmissionTarget(address, name);
    const httplib::Result result = client.Post(target, reinterpret_cast<const char*>(bytes.data()),
                                               bytes.size(), "application/octet-stream");
    if (!result) {
        std::fprintf(stderr, "plusrail-submit: no answer from %s: %s\n", options.server.c_str(),
                     NoAnswerReason(result.error()).c_str());
        return kExitNoAnswer;
    }
    bool accepted = false;
    const std::string text = DescribeAnswer(address, result->status, result->body,
                                            result->get_header_value("Retry-After"), &accepted);
    std::fputs(text.c_str(), accepted ? stdout : stderr);
    return accepted ? kExitAccepted : kExitRefused;
}
