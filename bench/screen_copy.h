#pragma once
// The yardstick every frame cost is divided by: one plain copy of a 640 x 480 16-bit screen,
// measured in the same program and run as the costs it is compared with.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

inline void BM_ScreenCopy(benchmark::State& state) {
    constexpr size_t kBytes = size_t{640} * 480 * 2;
    std::vector<uint8_t> from(kBytes, 0x5A), to(kBytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kBytes);
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(to.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(kBytes));
}
