#include "server/metrics.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

namespace {

// From a tenth of a millisecond to ten seconds: a verification takes a few milliseconds, a
// database call less, a stalled disk seconds.
constexpr double kBuckets[] = {0.0001, 0.00025, 0.0005, 0.001, 0.0025, 0.005, 0.01,
                               0.025,  0.05,    0.1,    0.5,   1,      10};
constexpr int kBucketCount = sizeof kBuckets / sizeof kBuckets[0];

struct Histogram {
    uint64_t counts[kBucketCount + 1];
    uint64_t count;
    double sum;
};

struct MetricsState {
    std::mutex mutex;
    std::map<std::pair<std::string, int>, uint64_t> requests;
    Histogram timings[kTimings];
};
MetricsState g_metrics;

const char* const kTimingNames[kTimings] = {"plusrail_verify_seconds", "plusrail_db_seconds"};
const char* const kTimingHelp[kTimings] = {
    "Time spent playing submitted replays with the rules.",
    "Time spent in database calls.",
};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void CountRequest(const std::string& route, int status) {
    std::lock_guard<std::mutex> lock(g_metrics.mutex);
    g_metrics.requests[{route, status}] += 1;
}

void AddTiming(Timing timing, double seconds) {
    std::lock_guard<std::mutex> lock(g_metrics.mutex);
    Histogram& h = g_metrics.timings[timing];
    int b = 0;
    while (b < kBucketCount && seconds > kBuckets[b]) ++b;
    h.counts[b] += 1;
    h.count += 1;
    h.sum += seconds;
}

std::string MetricsText() {
    std::lock_guard<std::mutex> lock(g_metrics.mutex);
    std::string out;
    char line[256];
    out += "# HELP plusrail_requests_total HTTP requests answered, by route and status.\n";
    out += "# TYPE plusrail_requests_total counter\n";
    for (const auto& [key, count] : g_metrics.requests) {
        std::snprintf(line, sizeof line,
                      "plusrail_requests_total{route=\"%s\",status=\"%d\"} %llu\n",
                      key.first.c_str(), key.second, static_cast<unsigned long long>(count));
        out += line;
    }
    for (int t = 0; t < kTimings; ++t) {
        const Histogram& h = g_metrics.timings[t];
        const char* name = kTimingNames[t];
        std::snprintf(line, sizeof line, "# HELP %s %s\n# TYPE %s histogram\n", name,
                      kTimingHelp[t], name);
        out += line;
        uint64_t cumulative = 0;
        for (int b = 0; b < kBucketCount; ++b) {
            cumulative += h.counts[b];
            std::snprintf(line, sizeof line, "%s_bucket{le=\"%g\"} %llu\n", name, kBuckets[b],
                          static_cast<unsigned long long>(cumulative));
            out += line;
        }
        std::snprintf(line, sizeof line,
                      "%s_bucket{le=\"+Inf\"} %llu\n%s_sum %.9f\n%s_count %llu\n", name,
                      static_cast<unsigned long long>(h.count), name, h.sum, name,
                      static_cast<unsigned long long>(h.count));
        out += line;
    }
    return out;
}

void ResetMetrics() {
    std::lock_guard<std::mutex> lock(g_metrics.mutex);
    g_metrics.requests.clear();
    for (Histogram& h : g_metrics.timings) h = Histogram{};
}

TimingScope::TimingScope(Timing timing) : timing_(timing), start_(NowNs()) {}

TimingScope::~TimingScope() { AddTiming(timing_, static_cast<double>(NowNs() - start_) / 1e9); }
