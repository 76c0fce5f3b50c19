// How fast a carry-less-multiply CRC can possibly run over the surface's
// 128000 bytes on this processor. The loop below is only the folding such a
// CRC does for every 64 bytes (two 64x64 carry-less products per 128-bit lane
// and an exclusive-or with the next block), with no final reduction, spread
// over up to sixteen independent accumulators so that latency cannot hide the
// multiplier's throughput. Its result is not a CRC; its time is the floor
// that BM_SurfaceCrcIsal is held against.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "against_copy.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>

namespace {

template <int Lanes>
__attribute__((target("avx512f,vpclmulqdq"))) uint64_t fold_only(const uint8_t* bytes, std::size_t size) {
    __m512i lane[Lanes];
    for (int k = 0; k < Lanes; ++k) lane[k] = _mm512_loadu_si512(bytes + 64 * k);
    // Any constant will do: the multiplier's cost does not depend on it.
    const __m512i distance = _mm512_set4_epi32(0, 0x1c6e4164, 0, 0x5dbdd4a7);
    std::size_t at = 64 * Lanes;
    for (; at + 64 * Lanes <= size; at += 64 * Lanes) {
        for (int k = 0; k < Lanes; ++k) {
            const __m512i low = _mm512_clmulepi64_epi128(lane[k], distance, 0x00);
            const __m512i high = _mm512_clmulepi64_epi128(lane[k], distance, 0x11);
            lane[k] = _mm512_ternarylogic_epi64(low, high, _mm512_loadu_si512(bytes + at + 64 * k), 0x96);
        }
    }
    __m512i all = lane[0];
    for (int k = 1; k < Lanes; ++k) all = _mm512_xor_si512(all, lane[k]);
    alignas(64) uint64_t words[8];
    _mm512_store_si512(words, all);
    uint64_t folded = at;
    for (const uint64_t word : words) folded ^= word;
    return folded;
}

template <int Lanes>
void BM_ClmulFoldFloor(benchmark::State& state) {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("vpclmulqdq")) {
        state.SkipWithError("no 512-bit carry-less multiply on this processor");
        return;
    }
    std::vector<uint8_t> bytes(bench::copy_bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
    bench::run_against_copy(state, 64, [&] { benchmark::DoNotOptimize(fold_only<Lanes>(bytes.data(), bytes.size())); });
}
BENCHMARK(BM_ClmulFoldFloor<4>);
BENCHMARK(BM_ClmulFoldFloor<8>);
BENCHMARK(BM_ClmulFoldFloor<16>);

}  // namespace

#endif
