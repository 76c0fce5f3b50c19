// The replay tool's option and script parsing, careless and hostile, and its
// PNG shots; the picture CRCs are checked frame by frame by the golden replays.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/headless/picture_files.h"
#include "platform/headless/replay_options.h"

namespace qv {
namespace {

using Pixels = std::array<uint16_t, screen_pixels>;

// The longest message any argument or script may produce.
constexpr size_t longest_message = 300;

TEST(ReplayOptions, DefaultsEveryOptionAndBadArguments) {
    // A failed parse throws from value() and fails the test.
    auto fields = [](const ReplayOptions& o) {
        return std::tuple(o.seed, o.input.value_or("none"), o.max_pumps, o.state, o.shots, o.shot_dir);
    };
    std::string error;
    EXPECT_EQ(fields(parse_replay_options({}, error).value()),
              std::tuple(std::optional<uint32_t>{}, std::string("none"), std::optional<uint64_t>{}, false,
                         std::vector<uint64_t>{}, std::string(".")));
    EXPECT_EQ(fields(parse_replay_options({"--seed", "4294967295", "--input", "run.txt", "--max-pumps", "12", "--state",
                                           "--shot", "5", "--shot-dir", "pics", "--shot", "2"},
                                          error)
                         .value()),
              std::tuple(std::optional<uint32_t>{4294967295u}, std::string("run.txt"), std::optional<uint64_t>{12},
                         true, std::vector<uint64_t>{5, 2}, std::string("pics")));

    EXPECT_EQ(parse_replay_options({"--max-pumps", "9223372036854775807"}, error).value().max_pumps,
              std::optional<uint64_t>{9223372036854775807u});

    // Each refusal is one short line that names what is wrong.
    const std::string digits(100000, '9');
    const struct {
        std::vector<std::string> args;
        const char* says;
    } bad[] = {
        {{std::string("--\x01") + digits}, "unknown argument \"--\\x01999"},
        {{"run.txt"}, ""},
        {{"--seed"}, ""},
        {{"--seed", "4294967296"}, "--seed"},
        {{"--seed", digits}, "from 0 to 4294967295, not \"9999"},
        {{"--seed", "-1"}, ""},
        {{"--seed", "7x"}, ""},
        {{"--seed", ""}, ""},
        {{"--seed", "+7"}, ""},
        {{"--seed", "1", "--seed", "2"}, ""},
        {{"--max-pumps", "0"}, ""},
        {{"--max-pumps", "9223372036854775808"}, "from 1 to 9223372036854775807"},
        {{"--shot", "0"}, ""},
        {{"--shot", "18446744073709551616"}, "from 1 to 9223372036854775807"},
        {{"--input", "a", "--input", "b"}, ""},
        {{"--shot-dir", ""}, ""},
        {{"--state", "--shot"}, ""},
    };
    for (const auto& b : bad) {
        error.clear();
        EXPECT_FALSE(parse_replay_options(b.args, error));
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(b.says), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_LE(error.size(), longest_message) << error;
    }
}

TEST(MouseScript, EntriesCommentsBlanksAndMalformedLines) {
    std::string error;
    const auto entries = parse_mouse_script(
        "# a run\n\n1 160 100 0 0\n   # indented comment\n\t60\t-5  250 1 0\r\n61 -2147483648 2147483647 0 1",
        "run.txt", error);
    ASSERT_TRUE(entries) << error;
    std::vector<std::array<int64_t, 5>> got;
    for (const MouseScriptEntry& e : *entries) got.push_back({static_cast<int64_t>(e.pump), e.x, e.y, e.left, e.right});
    EXPECT_EQ(got, (std::vector<std::array<int64_t, 5>>{
                       {1, 160, 100, 0, 0}, {60, -5, 250, 1, 0}, {61, INT32_MIN, INT32_MAX, 0, 1}}));
    const auto empty = parse_mouse_script("\n# nothing\n", "empty.txt", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    EXPECT_TRUE(parse_mouse_script("9223372036854775807 1 1 0 0\n" + std::string(200, '#'), "run.txt", error));

    const std::string digits(100000, '9');
    const struct {
        std::string text;
        const char* says;
    } bad[] = {
        {"1 0 0 0 0\n\n5 1 2 0\n", "run.txt:3: "},      // four fields
        {"1 0 0 0 0\n\n5 1 2 0 0 0\n", "run.txt:3: "},  // six fields
        {"1 0 0 0 0\n\n5 1 2 0 0 # trailing\n", "run.txt:3: "},
        {"0 1 2 0 0\n", "run.txt:1: "},  // pumps count from 1
        {"-3 1 2 0 0\n", "run.txt:1: "},
        {"5 1 2 2 0\n", "run.txt:1: "},  // buttons are 0 or 1
        {"5 1 2 0 -1\n", "run.txt:1: "},
        {"5 x 2 0 0\n", "run.txt:1: "},
        {"5 1.5 2 0 0\n", "run.txt:1: "},
        {"5 2147483648 2 0 0\n", "run.txt:1: "},    // beyond 32 bits
        {"4 0 0 1 0\n4 0 0 0 0\n", "run.txt:2: "},  // pumps strictly increase
        {"4 0 0 1 0\n3 0 0 0 0\n", "run.txt:2: "},
        // Hostile sizes: the message stays short and keeps its reason.
        {digits + " 1 1 0 0\n", "run.txt:1: the line is longer than 200 characters"},
        {"# " + std::string(300, '#') + "\n", "longer than 200"},
        {std::string(150, '9') + " 1 1 0 0\n", "from 1 to 9223372036854775807, not \"9999"},
        {"9223372036854775808 1 1 0 0\n", "from 1 to 9223372036854775807"},
        {std::string("1\0 2 3 0 0\n", 11), "not \"1\\x00\""},
        {std::string(max_script_size + 1, '\n'), "larger than 16777216 bytes"},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(parse_mouse_script(b.text, "run.txt", error));
        EXPECT_NE(error.find(b.says), std::string::npos) << error;
        EXPECT_LE(error.size(), longest_message) << error;
    }
}

TEST(PictureFiles, PngDecodesBackToTheWidenedPicture) {
    Pixels pixels{};
    pixels[0] = 0x7C00;      // red
    pixels[1] = 0x5108;      // 20, 8, 8
    pixels[320] = 0xFFFF;    // bit 15 ignored: white
    pixels[63999] = 0x0010;  // 0, 0, 16
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
    std::filesystem::remove(path);

    // Each channel c widens to (c << 3) | (c >> 2).
    auto pixel = [&rgb](size_t i) { return std::array<int, 3>{rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]}; };
    EXPECT_EQ(pixel(0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(pixel(1), (std::array<int, 3>{165, 66, 66}));
    EXPECT_EQ(pixel(2), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pixel(320), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(pixel(63999), (std::array<int, 3>{0, 0, 132}));

    EXPECT_FALSE(write_picture_png("/nonexistent-folder/for/shots/present-1.png", pixels, error));
    EXPECT_NE(error.find("present-1.png"), std::string::npos) << "reported, not thrown";
}

}  // namespace
}  // namespace qv
