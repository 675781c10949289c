#pragma once
// The HTTP side: the routes of the API, the static page and browser build, the origin check,
// the rate limit, the metrics, and a stop that lets the requests in flight finish.
#include <string>
#include <vector>

#include "server/store.h"

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8090;  // 0: any free port
    std::string dataDir;
    std::string databaseUrl;
    std::string pageDir;
    std::string webDir;
    std::vector<std::string> allowOrigins;  // "*" allows every origin
    double rate = 2;
    double burst = 20;
    int threads = 8;
    bool trustForwarded = false;  // the client's address from X-Forwarded-For (behind a proxy)
};

// Serves until StopServer (or SIGTERM/SIGINT); prints "listening on http://HOST:PORT" once
// it takes connections. The exit status: 0 after a stop, 1 when it cannot listen.
int RunServer(const ServerOptions& options, RankingStore& store);
void StopServer();
