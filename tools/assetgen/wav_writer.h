#pragma once
#include <string>
#include <vector>

namespace assetgen {

constexpr int kSampleRate = 22050;

// Writes mono 16-bit PCM at kSampleRate; samples are -1..1 and are clipped there.
// Returns 1 on success, 0 on failure.
int WriteWave(const std::string& path, const std::vector<double>& samples);

}  // namespace assetgen
