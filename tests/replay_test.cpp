// The replay tool's option and script parsing, and the picture CRC and PNG shots.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/picture_files.h"
#include "platform/headless/replay_options.h"

namespace qv {
namespace {

using Pixels = std::array<uint16_t, screen_pixels>;

std::optional<ReplayOptions> parse(const std::vector<std::string>& args, std::string& error) {
    return parse_replay_options(args, error);
}

// Reflected CRC-32 with the polynomial 0xEDB88320, one bit at a time.
uint32_t reference_crc(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
    }
    return crc ^ 0xFFFFFFFFu;
}

TEST(ReplayOptions, DefaultsAndEveryOption) {
    std::string error;
    const auto defaults = parse({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->seed, 0u);
    EXPECT_FALSE(defaults->input);
    EXPECT_EQ(defaults->max_pumps, 10000000u);
    EXPECT_FALSE(defaults->state);
    EXPECT_TRUE(defaults->shots.empty());
    EXPECT_EQ(defaults->shot_dir, ".");

    const auto all = parse({"--seed", "4294967295", "--input", "run.txt", "--max-pumps", "12", "--state", "--shot",
                            "5", "--shot-dir", "pics", "--shot", "2"},
                           error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(all->seed, 4294967295u);
    EXPECT_EQ(all->input.value_or(""), "run.txt");
    EXPECT_EQ(all->max_pumps, 12u);
    EXPECT_TRUE(all->state);
    EXPECT_EQ(all->shots, (std::vector<uint64_t>{5, 2}));
    EXPECT_EQ(all->shot_dir, "pics");
}

TEST(ReplayOptions, BadArgumentsAreRejectedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--speed", "3"},         // unknown option
        {"run.txt"},              // stray word
        {"--seed"},               // missing value
        {"--seed", "4294967296"}, // beyond 32 bits
        {"--seed", "-1"},
        {"--seed", "7x"},
        {"--seed", ""},
        {"--seed", "+7"},
        {"--seed", "1", "--seed", "2"},
        {"--max-pumps", "0"},
        {"--max-pumps", "99999999999999999999"},
        {"--shot", "0"},
        {"--input", "a", "--input", "b"},
        {"--shot-dir", ""},
        {"--state", "--shot"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(parse(args, error)) << args.front();
        EXPECT_FALSE(error.empty()) << args.front();
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    std::string error;
    parse({"--seed", "4294967296"}, error);
    EXPECT_NE(error.find("--seed"), std::string::npos);
}

TEST(MouseScript, EntriesCommentsAndBlanks) {
    const std::string text =
        "# a run\n"
        "\n"
        "1 160 100 0 0\n"
        "   # indented comment\n"
        "\t60\t-5  250 1 0\r\n"
        "61 -2147483648 2147483647 0 1";  // no final line feed
    std::string error;
    const auto entries = parse_mouse_script(text, "run.txt", error);
    ASSERT_TRUE(entries) << error;
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].pump, 1u);
    EXPECT_EQ((*entries)[0].x, 160);
    EXPECT_EQ((*entries)[1].pump, 60u);
    EXPECT_EQ((*entries)[1].x, -5);
    EXPECT_EQ((*entries)[1].y, 250);
    EXPECT_EQ((*entries)[1].left, 1);
    EXPECT_EQ((*entries)[1].right, 0);
    EXPECT_EQ((*entries)[2].x, INT32_MIN);
    EXPECT_EQ((*entries)[2].y, INT32_MAX);
    EXPECT_EQ((*entries)[2].right, 1);

    const auto empty = parse_mouse_script("\n# nothing\n", "empty.txt", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(MouseScript, MalformedLinesNameTheLine) {
    const std::vector<std::string> bad_lines = {
        "5 1 2 0",            // four fields
        "5 1 2 0 0 0",        // six fields
        "0 1 2 0 0",          // pumps count from 1
        "-3 1 2 0 0",
        "5 1 2 2 0",          // buttons are 0 or 1
        "5 1 2 0 -1",
        "5 x 2 0 0",
        "5 1.5 2 0 0",
        "5 2147483648 2 0 0",  // beyond 32 bits
        "5 1 2 0 0 # trailing",
    };
    for (const std::string& line : bad_lines) {
        std::string error;
        EXPECT_FALSE(parse_mouse_script("1 0 0 0 0\n\n" + line + "\n", "run.txt", error)) << line;
        EXPECT_EQ(error.rfind("run.txt:3: ", 0), 0u) << error;
    }
    std::string error;
    EXPECT_FALSE(parse_mouse_script("4 0 0 1 0\n4 0 0 0 0\n", "run.txt", error)) << "pumps must increase";
    EXPECT_EQ(error.rfind("run.txt:2: ", 0), 0u) << error;
    EXPECT_FALSE(parse_mouse_script("4 0 0 1 0\n3 0 0 0 0\n", "run.txt", error));
}

TEST(PictureCrc, CoversEveryPixelLowByteFirst) {
    Pixels pixels{};
    std::vector<uint8_t> bytes(screen_pixels * 2, 0);
    EXPECT_EQ(surface_crc(pixels), reference_crc(bytes));

    pixels[0] = 0x7C1F;
    pixels[63999] = 0x0010;
    bytes[0] = 0x1F;
    bytes[1] = 0x7C;
    bytes[127998] = 0x10;
    bytes[127999] = 0x00;
    const uint32_t crc = surface_crc(pixels);
    EXPECT_EQ(crc, reference_crc(bytes));

    std::swap(bytes[0], bytes[1]);
    EXPECT_NE(crc, reference_crc(bytes)) << "byte order matters";

    // The reference itself: the well-known check value of "123456789".
    EXPECT_EQ(reference_crc({'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0xCBF43926u);
}

TEST(PictureFiles, ChannelsWidenToEightBits) {
    EXPECT_EQ(widen_channel(0), 0);
    EXPECT_EQ(widen_channel(31), 255);
    EXPECT_EQ(widen_channel(16), 132);
    EXPECT_EQ(widen_channel(8), 66);
    EXPECT_EQ(widen_channel(20), 165);
}

TEST(PictureFiles, PngDecodesBackToTheWidenedPicture) {
    Pixels pixels{};
    pixels[0] = 0x7C00;                  // red
    pixels[1] = 0x5108;                  // 20, 8, 8
    pixels[320] = 0xFFFF;                // bit 15 ignored: white
    pixels[63999] = 0x0010;              // dark blue
    const std::filesystem::path dir = std::filesystem::path(QV_BINARY_DIR) / "replay_test_shots";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "present-1.png").string();
    std::string error;
    ASSERT_TRUE(write_picture_png(path, pixels, error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0) << image.message;
    EXPECT_EQ(image.width, 320u);
    EXPECT_EQ(image.height, 200u);
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB)) << "8-bit RGB without alpha";
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0) << image.message;
    ASSERT_EQ(rgb.size(), static_cast<size_t>(screen_pixels * 3));

    auto pixel = [&rgb](size_t i) { return std::array<int, 3>{rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]}; };
    EXPECT_EQ(pixel(0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixel(1), (std::array<int, 3>{165, 66, 66}));
    EXPECT_EQ(pixel(2), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pixel(320), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(pixel(63999), (std::array<int, 3>{0, 0, 132}));
    std::filesystem::remove(path);
}

TEST(PictureFiles, UnwritablePathIsReportedNotThrown) {
    Pixels pixels{};
    std::string error;
    EXPECT_FALSE(write_picture_png("/nonexistent-folder/for/shots/present-1.png", pixels, error));
    EXPECT_NE(error.find("present-1.png"), std::string::npos);
}

}  // namespace
}  // namespace qv
