#include "server/http.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "rules/replay_file.h"
#include "server/metrics.h"
#include "server/rate_limit.h"
#include "server/service.h"

namespace {

// The page runs only its own files; the browser build also compiles its WebAssembly.
const char* const kPagePolicy =
    "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "object-src 'none'; base-uri 'none'; frame-ancestors 'none'; form-action 'self'";
const char* const kPlayPolicy =
    "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self' "
    "'unsafe-inline'; img-src 'self' data: blob:; object-src 'none'; base-uri 'none'; "
    "frame-ancestors 'self'";

std::atomic<bool> g_stopAsked{false};

extern "C" void OnStopSignal(int) { g_stopAsked = true; }

double NowSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The route a request counts under in the metrics: the pattern, not the path, so that ids do
// not make new series.
std::string RouteOf(const httplib::Request& req) {
    const std::string& p = req.path;
    if (p == "/api/v1/games") return req.method + " /api/v1/games";
    if (p == "/api/v1/ranking") return "/api/v1/ranking";
    if (p.rfind("/api/v1/games/", 0) == 0)
        return p.size() > 7 && p.compare(p.size() - 7, 7, "/replay") == 0
                   ? "/api/v1/games/{id}/replay"
                   : "/api/v1/games/{id}";
    if (p == "/healthz" || p == "/metrics") return p;
    if (p.rfind("/api/", 0) == 0) return "/api/other";
    if (p.rfind("/play/", 0) == 0) return "/play/";
    return "/";
}

// An Origin header is allowed when it is the server's own (the Host it was reached by, behind
// plain HTTP or a TLS proxy) or one the options name.
bool OriginAllowed(const ServerOptions& o, const httplib::Request& req) {
    if (!req.has_header("Origin")) return true;
    const std::string origin = req.get_header_value("Origin");
    const std::string host = req.get_header_value("Host");
    if (!host.empty() && (origin == "http://" + host || origin == "https://" + host)) return true;
    for (const std::string& allowed : o.allowOrigins)
        if (allowed == "*" || allowed == origin) return true;
    return false;
}

bool ForeignAllowedOrigin(const ServerOptions& o, const httplib::Request& req) {
    if (!req.has_header("Origin")) return false;
    const std::string origin = req.get_header_value("Origin");
    for (const std::string& allowed : o.allowOrigins)
        if (allowed == "*" || allowed == origin) return true;
    return false;
}

std::string ClientAddress(const ServerOptions& o, const httplib::Request& req) {
    if (o.trustForwarded && req.has_header("X-Forwarded-For")) {
        // The proxy appends the address it saw last; what comes before is the client's word.
        std::string chain = req.get_header_value("X-Forwarded-For");
        const size_t comma = chain.rfind(',');
        std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
        while (!last.empty() && last.front() == ' ') last.erase(0, 1);
        if (!last.empty()) return last;
    }
    return req.remote_addr;
}

void Send(httplib::Response& res, const ApiAnswer& answer) {
    res.status = answer.status;
    res.set_content(answer.body, answer.contentType);
}

}  // namespace

void StopServer() { g_stopAsked = true; }

int RunServer(const ServerOptions& o, RankingStore& store) {
    httplib::Server server;
    SetRateLimit(o.rate, o.burst);
    const int threads = o.threads < 1 ? 1 : o.threads;
    server.new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<size_t>(threads));
    };
    // A body is read only up to the largest replay the game writes; beyond that, 413.
    server.set_payload_max_length(kReplayMaxBytes);
    // Answers go out whole at once: without this, the header and the body of an answer wait
    // on the peer's delayed acknowledgement (tens of milliseconds each).
    server.set_tcp_nodelay(true);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_keep_alive_timeout(5);

    server.set_pre_routing_handler([&o](const httplib::Request& req, httplib::Response& res) {
        if (!OriginAllowed(o, req)) {
            Send(res, ErrorAnswer(403, "cross-origin request refused"));
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.method == "OPTIONS") {
            res.status = 204;
            res.set_header("Access-Control-Allow-Methods", "GET, POST, OPTIONS");
            res.set_header("Access-Control-Allow-Headers", "Content-Type");
            res.set_header("Access-Control-Max-Age", "600");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_post_routing_handler([&o](const httplib::Request& req, httplib::Response& res) {
        res.set_header("X-Content-Type-Options", "nosniff");
        if (ForeignAllowedOrigin(o, req)) {
            res.set_header("Access-Control-Allow-Origin", req.get_header_value("Origin"));
            res.set_header("Vary", "Origin");
        }
        if (req.path.rfind("/api/", 0) == 0 || req.path == "/healthz" || req.path == "/metrics") {
            // A replay's bytes never change; everything else may with the next game.
            const bool replay = res.status == 200 && req.path.size() > 7 &&
                                req.path.compare(req.path.size() - 7, 7, "/replay") == 0;
            res.set_header("Cache-Control",
                           replay ? "public, max-age=31536000, immutable" : "no-store");
            return;
        }
        res.set_header("Content-Security-Policy",
                       req.path.rfind("/play/", 0) == 0 ? kPlayPolicy : kPagePolicy);
        res.set_header("Referrer-Policy", "same-origin");
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        const char* what = res.status == 413   ? "the body is larger than any replay"
                           : res.status == 404 ? "not found"
                           : res.status == 400 ? "malformed request"
                                               : "request refused";
        Send(res, ErrorAnswer(res.status, what));
    });
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        CountRequest(RouteOf(req), res.status);
    });

    server.Post("/api/v1/games", [&o, &store](const httplib::Request& req, httplib::Response& res,
                                              const httplib::ContentReader& reader) {
        // The bucket is asked before a byte of the body is read.
        const int wait = TakeSubmitToken(ClientAddress(o, req), NowSeconds());
        if (wait > 0) {
            Send(res, ErrorAnswer(429, "too many games sent too fast; try again later"));
            res.set_header("Retry-After", std::to_string(wait));
            return;
        }
        if (req.is_multipart_form_data()) {
            Send(res, ErrorAnswer(400, "send the replay's bytes as the body, not a form"));
            return;
        }
        std::string body;
        const bool read = reader([&body](const char* data, size_t length) {
            if (body.size() + length > kReplayMaxBytes) return false;
            body.append(data, length);
            return true;
        });
        if (!read || body.size() > kReplayMaxBytes) {
            Send(res, ErrorAnswer(413, "the body is larger than any replay"));
            return;
        }
        if (!req.has_param("name")) {
            Send(res, ErrorAnswer(400, "the name is missing (?name=ABC)"));
            return;
        }
        Send(res, SubmitGame(store, req.get_param_value("name"),
                             reinterpret_cast<const uint8_t*>(body.data()), body.size()));
    });
    server.Get("/api/v1/ranking", [&store](const httplib::Request& req, httplib::Response& res) {
        Send(res, GetRanking(store, req.get_param_value("start_level"),
                             req.get_param_value("limit"), req.get_param_value("offset")));
    });
    server.Get(R"(/api/v1/games/([^/]+))",
               [&store](const httplib::Request& req, httplib::Response& res) {
                   Send(res, GetGame(store, req.matches[1]));
               });
    server.Get(R"(/api/v1/games/([^/]+)/replay)", [&store](const httplib::Request& req,
                                                           httplib::Response& res) {
        Send(res, GetReplay(store, req.matches[1]));
        if (res.status == 200)
            res.set_header("Content-Disposition", "attachment; filename=\"plusrail-" +
                                                      std::string(req.matches[1]) + ".rpl\"");
    });
    server.Get("/healthz", [&store](const httplib::Request&, httplib::Response& res) {
        const bool ok = store.Ping();
        res.status = ok ? 200 : 503;
        res.set_content(ok ? "ok\n" : "database unavailable\n", "text/plain");
    });
    server.Get("/metrics", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(MetricsText(), "text/plain; version=0.0.4");
    });
    if (!o.webDir.empty()) server.set_mount_point("/play", o.webDir);
    if (!o.pageDir.empty()) server.set_mount_point("/", o.pageDir);
    server.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
    server.set_file_extension_and_mimetype_mapping("rpl", "application/octet-stream");

    int port = o.port;
    if (port == 0) {
        port = server.bind_to_any_port(o.host);
        if (port < 0) port = 0;
    } else if (!server.bind_to_port(o.host, port)) {
        port = 0;
    }
    if (port == 0) {
        std::fprintf(stderr, "plusrail-server: cannot listen on %s:%d\n", o.host.c_str(), o.port);
        return 1;
    }
    // A stop (SIGTERM, Ctrl+C) closes the listening socket; the requests in flight finish and
    // the workers are joined before listen_after_bind returns.
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::thread watcher([&server] {
        while (!g_stopAsked) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        server.stop();
    });
    std::printf("plusrail-server: listening on http://%s:%d\n", o.host.c_str(), port);
    std::fflush(stdout);
    server.listen_after_bind();
    g_stopAsked = true;
    watcher.join();
    std::printf("plusrail-server: stopped\n");
    std::fflush(stdout);
    return 0;
}
