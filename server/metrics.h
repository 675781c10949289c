#pragma once
// The server's counters in the Prometheus text format: requests by route and status, and how
// long verifications and database calls take (histograms).
#include <cstdint>
#include <string>

enum Timing { TimingVerify, TimingDatabase, kTimings };

void CountRequest(const std::string& route, int status);
void AddTiming(Timing timing, double seconds);
std::string MetricsText();
// No requests counted, no time measured.
void ResetMetrics();

// Measures from its making to its end.
class TimingScope {
public:
    explicit TimingScope(Timing timing);
    ~TimingScope();
    TimingScope(const TimingScope&) = delete;
    TimingScope& operator=(const TimingScope&) = delete;

private:
    Timing timing_;
    int64_t start_;
};
