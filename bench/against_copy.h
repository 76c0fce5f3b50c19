// Timing a piece of the frame path against the 128000-byte copy it is judged
// by, in alternating batches. On a shared machine the speed of both drifts by
// a third within a minute; a ratio taken between neighbouring batches does not,
// where one taken between two benchmarks run seconds apart does.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bench {

inline constexpr std::size_t copy_bytes = 128000;

// One iteration of the benchmark is one call of `work`. After every `batch`
// of them the timing pauses, `between_batches` runs (to rebuild a world, say)
// and as many copies are timed; the counter "x_memcpy" is the median, over all
// batches, of the batch's time divided by its copies' time.
template <typename Work, typename Between>
void run_against_copy(benchmark::State& state, int32_t batch, Work&& work, Between&& between_batches) {
    using Clock = std::chrono::steady_clock;
    std::vector<uint8_t> from(copy_bytes, 3);
    std::vector<uint8_t> to(copy_bytes);
    std::vector<double> ratios;
    int32_t done = 0;
    Clock::time_point start = Clock::now();
    for (auto _ : state) {
        work();
        if (++done < batch) continue;
        const Clock::duration worked = Clock::now() - start;
        state.PauseTiming();
        between_batches();
        const Clock::time_point copy_start = Clock::now();
        for (int32_t i = 0; i < batch; ++i) {
            std::memcpy(to.data(), from.data(), copy_bytes);
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
        const Clock::duration copied = Clock::now() - copy_start;
        if (copied.count() > 0) ratios.push_back(static_cast<double>(worked.count()) / copied.count());
        done = 0;
        state.ResumeTiming();
        start = Clock::now();
    }
    if (ratios.empty()) return;
    const auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    state.counters["x_memcpy"] = *middle;
}

template <typename Work>
void run_against_copy(benchmark::State& state, int32_t batch, Work&& work) {
    run_against_copy(state, batch, work, [] {});
}

}  // namespace bench
