// plusrail-server: the online ranking. Takes replays, plays each with the game's rules and
// ranks only those that reach the result they record.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "server/http.h"
#include "server/store.h"

namespace {

const char* const kUsage =
    "usage: plusrail-server [--listen HOST:PORT] (--data DIR | --database URL)\n"
    "                       [--page DIR] [--web DIR] [--allow-origin ORIGIN]...\n"
    "                       [--rate GAMES_PER_SECOND] [--burst GAMES] [--threads N]\n"
    "                       [--trust-forwarded]\n"
    "  --listen HOST:PORT   where to take connections (default 127.0.0.1:8090; port 0: any)\n"
    "  --data DIR           keep the ranking in DIR/ranking.sqlite3 (made when missing)\n"
    "  --database URL       keep it in PostgreSQL (postgresql://user@host/db)\n"
    "  --page DIR           the ranking page's files, served at /\n"
    "  --web DIR            the browser build, served at /play/\n"
    "  --allow-origin O     answer requests from the web origin O too (* for any)\n"
    "  --rate R, --burst B  games a client address may send: R a second, B at once (2, 20)\n"
    "  --threads N          requests answered at once (8)\n"
    "  --trust-forwarded    take the client's address from X-Forwarded-For (behind a proxy)\n";

bool ParseNumber(const char* text, double low, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0' && *value >= low;
}

bool ParseListen(const std::string& text, ServerOptions* o) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    double port = 0;
    if (!ParseNumber(text.c_str() + colon + 1, 0, &port) || port > 65535) return false;
    o->host = text.substr(0, colon);
    o->port = static_cast<int>(port);
    return true;
}

// The first of `candidates` that is a folder, or "".
std::string FirstFolder(std::initializer_list<const char*> candidates) {
    for (const char* dir : candidates) {
        std::error_code ec;
        if (dir && *dir && std::filesystem::is_directory(dir, ec)) return dir;
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    ServerOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        double number = 0;
        bool ok = value != nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--trust-forwarded") {
            o.trustForwarded = true;
            continue;
        } else if (!ok) {
        } else if (arg == "--listen") {
            ok = ParseListen(value, &o);
        } else if (arg == "--data") {
            o.dataDir = value;
        } else if (arg == "--database") {
            o.databaseUrl = value;
        } else if (arg == "--page") {
            o.pageDir = value;
        } else if (arg == "--web") {
            o.webDir = value;
        } else if (arg == "--allow-origin") {
            o.allowOrigins.push_back(value);
        } else if (arg == "--rate") {
            ok = ParseNumber(value, 0, &number);
            o.rate = number;
        } else if (arg == "--burst") {
            ok = ParseNumber(value, 1, &number);
            o.burst = number;
        } else if (arg == "--threads") {
            ok = ParseNumber(value, 1, &number) && number <= 256;
            o.threads = static_cast<int>(number);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "plusrail-server: bad option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
        ++i;
    }
    if (o.dataDir.empty() == o.databaseUrl.empty()) {
        std::fprintf(stderr, "plusrail-server: give one of --data DIR and --database URL\n%s",
                     kUsage);
        return 2;
    }
    if (o.pageDir.empty())
        o.pageDir =
            FirstFolder({PLUSRAIL_SERVER_SHARE_DIR "/page", PLUSRAIL_SOURCE_DIR "/server/page"});
    if (o.webDir.empty())
        o.webDir =
            FirstFolder({PLUSRAIL_SERVER_SHARE_DIR "/play", PLUSRAIL_SOURCE_DIR "/build-web/dist"});

    std::string error;
    std::unique_ptr<RankingStore> store;
    if (!o.dataDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.dataDir, ec);
        store = OpenSqliteStore((std::filesystem::path(o.dataDir) / "ranking.sqlite3").string(),
                                &error);
    } else {
        store = OpenPostgresStore(o.databaseUrl, &error);
    }
    if (!store || !store->Migrate(&error)) {
        std::fprintf(stderr, "plusrail-server: the database cannot be used: %s\n", error.c_str());
        return 1;
    }
    return RunServer(o, *store);
}
