#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "platform/frame.h"
#include "platform/frame_convert.h"

namespace {

using qv::FrameBuffer;
using qv::Palette;
using Surface = std::array<uint16_t, qv::screen_pixels>;
using Convert = void (*)(uint16_t*, const uint8_t*, const Palette&);

Surface reference(const FrameBuffer& frame, const Palette& palette) {
    Surface out{};
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = palette[frame[i]];
    return out;
}

struct Scenes {
    std::mt19937 random{2024};

    FrameBuffer frame() {
        FrameBuffer f{};
        for (auto& index : f) index = static_cast<uint8_t>(random());
        return f;
    }

    Palette palette() {
        Palette p{};
        for (auto& colour : p) colour = static_cast<uint16_t>(random());
        return p;
    }
};

// One path over a run of frames whose palette changes the way the game's does
// (one entry at a time, by the flash and the tint) and wholesale, then back.
void expect_same_as_reference(Convert convert) {
    Scenes scenes;
    Palette palette = scenes.palette();
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        if (round % 8 == 3) palette = scenes.palette();
        if (round % 8 == 5) palette[0] = static_cast<uint16_t>(round);
        if (round % 8 == 6) {
            palette[255] ^= 0x8001;
            palette[128] ^= 0x00FF;
            palette[127] ^= 0xFF00;
        }
        if (round % 8 == 7) palette[255] ^= 0x8001;  // and back
        const FrameBuffer frame = scenes.frame();
        Surface out;
        out.fill(0xABCD);
        convert(out.data(), frame.data(), palette);
        ASSERT_EQ(out, reference(frame, palette));
    }
}

TEST(FrameConvert, EveryPathMatchesThePlainLookup) {
    expect_same_as_reference(qv::convert_pixels_plain);
    expect_same_as_reference(qv::convert_pixels_pairs);
}

// Every index at every position of a 64-pixel block (and so of a 32-pixel
// one), with each quarter of the palette and both bytes of a colour told apart.
void expect_every_index_everywhere(Convert convert, uint16_t mask) {
    Palette palette{};
    for (std::size_t k = 0; k < palette.size(); ++k) palette[k] = static_cast<uint16_t>((k * 0x0101u) ^ mask);
    FrameBuffer frame{};
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i + i / 256);
    Surface out{};
    convert(out.data(), frame.data(), palette);
    EXPECT_EQ(out, reference(frame, palette));
}

TEST(FrameConvert, BytePermutesMatchThePlainLookup) {
    if (!qv::cpu_has_byte_permute()) GTEST_SKIP() << "no AVX-512 VBMI on this processor";
    expect_same_as_reference(qv::convert_pixels_permute);
    expect_every_index_everywhere(qv::convert_pixels_permute, 0x5A00);
}

TEST(FrameConvert, WordPermutesMatchThePlainLookup) {
    if (!qv::cpu_has_word_permute()) GTEST_SKIP() << "no AVX-512 BW on this processor";
    expect_same_as_reference(qv::convert_pixels_word_permute);
    expect_every_index_everywhere(qv::convert_pixels_word_permute, 0xA500);
}

// The pair table writes runs of eight equal indices in one go: runs that line
// up with its steps and runs that straddle them, of every index.
TEST(FrameConvert, PairTableMatchesOnRunsOfOneIndex) {
    Scenes scenes;
    const Palette palette = scenes.palette();
    FrameBuffer frame{};
    std::size_t i = 0;
    for (uint32_t run = 0; i < frame.size(); ++run) {
        const std::size_t length = 1 + (run * 7) % 19;
        for (std::size_t k = 0; k < length && i < frame.size(); ++k) frame[i++] = static_cast<uint8_t>(run * 37);
    }
    Surface out{};
    qv::convert_pixels_pairs(out.data(), frame.data(), palette);
    EXPECT_EQ(out, reference(frame, palette));
    frame.fill(0);
    qv::convert_pixels_pairs(out.data(), frame.data(), palette);
    EXPECT_EQ(out, reference(frame, palette));
}

TEST(FrameConvert, ConvertFrameUsesTheActivePaletteForTheWholeSurface) {
    Scenes scenes;
    qv::Video video;
    video.default_palette = scenes.palette();
    for (int round = 0; round < 4; ++round) {
        video.active_palette = scenes.palette();
        const FrameBuffer frame = scenes.frame();
        qv::convert_frame(video, frame);
        ASSERT_EQ(video.surface.pixels, reference(frame, video.active_palette)) << "round " << round;
    }
}

}  // namespace
