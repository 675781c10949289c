#include "server/rate_limit.h"

#include <cmath>
#include <mutex>
#include <unordered_map>

namespace {

constexpr double kDefaultRate = 2;
constexpr double kDefaultBurst = 20;
// Past this many addresses the full buckets (clients quiet for long enough) are dropped, so
// that a flood of addresses cannot grow the table without end.
constexpr size_t kMaxBuckets = 100000;

struct Bucket {
    double tokens;
    double updated;
};

struct RateState {
    std::mutex mutex;
    double rate = kDefaultRate;
    double burst = kDefaultBurst;
    std::unordered_map<std::string, Bucket> buckets;
};
RateState g_rate;

}  // namespace

void SetRateLimit(double rate, double burst) {
    std::lock_guard<std::mutex> lock(g_rate.mutex);
    g_rate.rate = rate;
    g_rate.burst = burst < 1 ? 1 : burst;
    g_rate.buckets.clear();
}

int TakeSubmitToken(const std::string& address, double nowSeconds) {
    std::lock_guard<std::mutex> lock(g_rate.mutex);
    if (g_rate.buckets.size() >= kMaxBuckets) {
        for (auto it = g_rate.buckets.begin(); it != g_rate.buckets.end();) {
            const double refilled =
                it->second.tokens + (nowSeconds - it->second.updated) * g_rate.rate;
            it = refilled >= g_rate.burst ? g_rate.buckets.erase(it) : std::next(it);
        }
    }
    auto [it, added] = g_rate.buckets.try_emplace(address, Bucket{g_rate.burst, nowSeconds});
    Bucket& b = it->second;
    if (!added) {
        b.tokens = std::fmin(g_rate.burst, b.tokens + (nowSeconds - b.updated) * g_rate.rate);
        b.updated = nowSeconds;
    }
    if (b.tokens >= 1) {
        b.tokens -= 1;
        return 0;
    }
    if (g_rate.rate <= 0) return 3600;
    return static_cast<int>(std::ceil((1 - b.tokens) / g_rate.rate));
}

void ResetRateLimit() {
    std::lock_guard<std::mutex> lock(g_rate.mutex);
    g_rate.rate = kDefaultRate;
    g_rate.burst = kDefaultBurst;
    g_rate.buckets.clear();
}
