// convert_frame and its variants. The fast variant is picked once, at run time,
// from what the processor offers; the rest of the build needs no special flags.
#include "platform/frame_convert.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <memory>

// The permute paths are x86 only, and so little-endian only: they take each
// palette colour apart as its low byte and its high byte in memory order.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QV_BYTE_PERMUTE 1
#include <immintrin.h>
#endif

// The table walks below are scalar by design: GCC's vectorizer otherwise packs
// the table reads into shuffles that cost more than they save.
#if defined(__GNUC__) && !defined(__clang__)
#define QV_SCALAR __attribute__((optimize("no-tree-vectorize")))
#else
#define QV_SCALAR
#endif

namespace qv {

static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big,
              "the pair table is laid out for one byte order or the other");
static_assert(screen_pixels % 64 == 0, "the pair path converts 8 pixels at a time, the permute path 64");

void convert_pixels_plain(uint16_t* __restrict out, const uint8_t* __restrict in, const Palette& palette) {
    const uint16_t* __restrict colours = palette.data();
    for (std::size_t i = 0; i < screen_pixels; ++i) out[i] = colours[in[i]];
}

namespace {

// Entry (high << 8 | low) holds palette[high] in its high half and
// palette[low] in its low half. Read through a 16-bit load of two frame bytes
// and written with a 32-bit store, it gives their two surface pixels in frame
// order on either byte order: on a little-endian machine the first byte is
// `low` and lands in the low half, at the lower address; on a big-endian one
// the first byte is `high` and the high half is stored first.
struct PairTable {
    Palette palette{};
    std::unique_ptr<uint32_t[]> pairs = std::make_unique<uint32_t[]>(65536);
    bool filled = false;

    void update(const Palette& wanted) {
        if (!filled) {
            for (uint32_t high = 0; high < 256; ++high)
                for (uint32_t low = 0; low < 256; ++low)
                    pairs[high << 8 | low] = uint32_t{wanted[high]} << 16 | wanted[low];
            palette = wanted;
            filled = true;
            return;
        }
        // A flash or tint changes one or two entries a frame: 512 words each.
        for (uint32_t k = 0; k < 256; ++k) {
            if (palette[k] == wanted[k]) continue;
            palette[k] = wanted[k];
            for (uint32_t other = 0; other < 256; ++other) {
                pairs[k << 8 | other] = uint32_t{palette[k]} << 16 | palette[other];
                pairs[other << 8 | k] = uint32_t{palette[other]} << 16 | palette[k];
            }
        }
    }
};

// Two entries as one 64-bit word whose store puts `first` at the lower address.
inline uint64_t entries_in_order(uint32_t first, uint32_t second) {
    if constexpr (std::endian::native == std::endian::little) return first | uint64_t{second} << 32;
    return uint64_t{first} << 32 | second;
}

}  // namespace

QV_SCALAR void convert_pixels_pairs(uint16_t* __restrict out, const uint8_t* __restrict in, const Palette& palette) {
    thread_local PairTable table;
    table.update(palette);
    const uint32_t* __restrict pairs = table.pairs.get();
    // Eight pixels a step, each pair of indices read as one 16-bit word (a
    // load is cheaper here than shifting the pairs out of a wider read), and
    // the colours written four at a time. Eight equal indices in a row (the
    // black around the wireframes, mostly) take one lookup.
    const auto pair_at = [in](std::size_t i) {
        uint16_t two;
        std::memcpy(&two, in + i, sizeof two);
        return two;
    };
    for (std::size_t i = 0; i < screen_pixels; i += 8) {
        uint64_t eight;
        std::memcpy(&eight, in + i, sizeof eight);
        if (eight == (eight & 0xFF) * 0x0101010101010101u) {
            const uint64_t four = pairs[eight & 0xFFFF] * uint64_t{0x100000001u};
            std::memcpy(out + i, &four, sizeof four);
            std::memcpy(out + i + 4, &four, sizeof four);
            continue;
        }
        const uint64_t first = entries_in_order(pairs[pair_at(i)], pairs[pair_at(i + 2)]);
        const uint64_t second = entries_in_order(pairs[pair_at(i + 4)], pairs[pair_at(i + 6)]);
        std::memcpy(out + i, &first, sizeof first);
        std::memcpy(out + i + 4, &second, sizeof second);
    }
}

#ifdef QV_BYTE_PERMUTE

static_assert(std::endian::native == std::endian::little);

bool cpu_has_byte_permute() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi");
}

namespace {

// Byte selectors for vpermt2b: bit 6 picks the second register, bits 0-5 the byte.
alignas(64) constexpr uint8_t even_bytes[64] = {
    0,  2,  4,  6,  8,  10, 12,  14,  16,  18,  20,  22,  24,  26,  28,  30,  32,  34,  36,  38, 40, 42,
    44, 46, 48, 50, 52, 54, 56,  58,  60,  62,  64,  66,  68,  70,  72,  74,  76,  78,  80,  82, 84, 86,
    88, 90, 92, 94, 96, 98, 100, 102, 104, 106, 108, 110, 112, 114, 116, 118, 120, 122, 124, 126};
alignas(64) constexpr uint8_t odd_bytes[64] = {
    1,  3,  5,  7,  9,  11, 13,  15,  17,  19,  21,  23,  25,  27,  29,  31,  33,  35,  37,  39, 41, 43,
    45, 47, 49, 51, 53, 55, 57,  59,  61,  63,  65,  67,  69,  71,  73,  75,  77,  79,  81,  83, 85, 87,
    89, 91, 93, 95, 97, 99, 101, 103, 105, 107, 109, 111, 113, 115, 117, 119, 121, 123, 125, 127};
// Low byte j of the first register, then high byte j of the second, for pixels
// 0-31 and 32-63.
alignas(64) constexpr uint8_t interleave_first[64] = {0,  64, 1,  65, 2,  66, 3,  67, 4,  68, 5,  69, 6,  70, 7,  71,
                                                      8,  72, 9,  73, 10, 74, 11, 75, 12, 76, 13, 77, 14, 78, 15, 79,
                                                      16, 80, 17, 81, 18, 82, 19, 83, 20, 84, 21, 85, 22, 86, 23, 87,
                                                      24, 88, 25, 89, 26, 90, 27, 91, 28, 92, 29, 93, 30, 94, 31, 95};
alignas(64) constexpr uint8_t interleave_second[64] = {
    32, 96,  33, 97,  34, 98,  35, 99,  36, 100, 37, 101, 38, 102, 39, 103, 40, 104, 41, 105, 42, 106,
    43, 107, 44, 108, 45, 109, 46, 110, 47, 111, 48, 112, 49, 113, 50, 114, 51, 115, 52, 116, 53, 117,
    54, 118, 55, 119, 56, 120, 57, 121, 58, 122, 59, 123, 60, 124, 61, 125, 62, 126, 63, 127};

}  // namespace

// Everything stays in registers (no vector ever goes through the stack, which
// 64-bit Windows does not align for these registers).
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void convert_pixels_permute(uint16_t* __restrict out,
                                                                                   const uint8_t* __restrict in,
                                                                                   const Palette& palette) {
    const __m512i even = _mm512_load_si512(even_bytes);
    const __m512i odd = _mm512_load_si512(odd_bytes);
    const auto* colours = reinterpret_cast<const uint8_t*>(palette.data());
    // Four 64-entry tables of low bytes and four of high bytes.
    __m512i low[4];
    __m512i high[4];
    for (int t = 0; t < 4; ++t) {
        const __m512i a = _mm512_loadu_si512(colours + 128 * t);
        const __m512i b = _mm512_loadu_si512(colours + 128 * t + 64);
        low[t] = _mm512_permutex2var_epi8(a, even, b);
        high[t] = _mm512_permutex2var_epi8(a, odd, b);
    }
    const __m512i first = _mm512_load_si512(interleave_first);
    const __m512i second = _mm512_load_si512(interleave_second);
    for (std::size_t i = 0; i < screen_pixels; i += 64) {
        const __m512i index = _mm512_loadu_si512(in + i);
        const __mmask64 upper = _mm512_movepi8_mask(index);  // index 128 or more
        const __m512i lo = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(low[0], index, low[1]),
                                                  _mm512_permutex2var_epi8(low[2], index, low[3]));
        const __m512i hi = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(high[0], index, high[1]),
                                                  _mm512_permutex2var_epi8(high[2], index, high[3]));
        _mm512_storeu_si512(out + i, _mm512_permutex2var_epi8(lo, first, hi));
        _mm512_storeu_si512(out + i + 32, _mm512_permutex2var_epi8(lo, second, hi));
    }
}

bool cpu_has_word_permute() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}

// The whole palette sits in eight registers of 32 colours. 32 pixels take four
// `vpermt2w` lookups (one per quarter of the palette, on the index's low six
// bits) and three blends on bits 6 and 7. As above, nothing goes through the
// stack.
__attribute__((target("avx512f,avx512bw"))) void convert_pixels_word_permute(uint16_t* __restrict out,
                                                                             const uint8_t* __restrict in,
                                                                             const Palette& palette) {
    const uint16_t* colours = palette.data();
    const __m512i t0 = _mm512_loadu_si512(colours);
    const __m512i t1 = _mm512_loadu_si512(colours + 32);
    const __m512i t2 = _mm512_loadu_si512(colours + 64);
    const __m512i t3 = _mm512_loadu_si512(colours + 96);
    const __m512i t4 = _mm512_loadu_si512(colours + 128);
    const __m512i t5 = _mm512_loadu_si512(colours + 160);
    const __m512i t6 = _mm512_loadu_si512(colours + 192);
    const __m512i t7 = _mm512_loadu_si512(colours + 224);
    const __m512i bit6 = _mm512_set1_epi16(64);
    const __m512i bit7 = _mm512_set1_epi16(128);
    for (std::size_t i = 0; i < screen_pixels; i += 32) {
        const __m512i index = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i)));
        const __mmask32 odd_quarter = _mm512_test_epi16_mask(index, bit6);
        const __mmask32 upper_half = _mm512_test_epi16_mask(index, bit7);
        const __m512i lower = _mm512_mask_blend_epi16(odd_quarter, _mm512_permutex2var_epi16(t0, index, t1),
                                                      _mm512_permutex2var_epi16(t2, index, t3));
        const __m512i upper = _mm512_mask_blend_epi16(odd_quarter, _mm512_permutex2var_epi16(t4, index, t5),
                                                      _mm512_permutex2var_epi16(t6, index, t7));
        _mm512_storeu_si512(out + i, _mm512_mask_blend_epi16(upper_half, lower, upper));
    }
}

#else

bool cpu_has_byte_permute() { return false; }

bool cpu_has_word_permute() { return false; }

void convert_pixels_word_permute(uint16_t* out, const uint8_t* in, const Palette& palette) {
    convert_pixels_pairs(out, in, palette);
}

void convert_pixels_permute(uint16_t* out, const uint8_t* in, const Palette& palette) {
    convert_pixels_pairs(out, in, palette);
}

#endif

void convert_frame(Video& video, const FrameBuffer& frame) {
    using Convert = void (*)(uint16_t*, const uint8_t*, const Palette&);
    static const Convert convert = cpu_has_byte_permute()   ? convert_pixels_permute
                                   : cpu_has_word_permute() ? convert_pixels_word_permute
                                                            : convert_pixels_pairs;
    // Always the full 64000 pixels, whatever size the surface has recorded.
    convert(video.surface.pixels.data(), frame.data(), video.active_palette);
}

}  // namespace qv
