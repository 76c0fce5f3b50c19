// Start-up, the glyph and title files, and the title screen, driven through the
// headless back end's mouse script (pumps count from 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "front/startup.h"
#include "front/title.h"
#include "game/game.h"
#include "game/random.h"
#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "tests/test_world.h"
#include "platform/data_error.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A scratch folder in the build tree, one per test; optionally the working
// directory while it lives.
struct Scratch {
    fs::path dir;
    fs::path previous = fs::current_path();
    explicit Scratch(const std::string& name, bool enter = false) : dir(fs::path(QV_BINARY_DIR) / ("front-" + name)) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (enter) fs::current_path(dir);
    }
    ~Scratch() {
        fs::current_path(previous);
        fs::remove_all(dir);
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const fs::path path = dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
};

std::vector<uint8_t> counting_bytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

// A title picture whose colour entry i (i > 0) converts to the 15-bit value i,
// so a presented pixel names its index; entry 0 is pure red, 0x7C00.
// Pixel (x, y) holds 1 + (x + 7y) mod 255, never 0.
std::vector<uint8_t> probe_picture() {
    std::vector<uint8_t> p(title_file_size, 0);
    for (int i = 1; i < 256; ++i) {
        p[static_cast<size_t>(54 + 4 * i)] = static_cast<uint8_t>((i & 31) << 3);
        p[static_cast<size_t>(55 + 4 * i)] = static_cast<uint8_t>((i >> 5) << 3);
    }
    p[56] = 255;
    for (int y = 0; y < screen_height; ++y)
        for (int x = 0; x < screen_width; ++x)
            p[static_cast<size_t>(title_pixels_offset + y * screen_width + x)] =
                static_cast<uint8_t>(1 + (x + 7 * y) % 255);
    return p;
}

uint16_t probe(int x, int y) { return static_cast<uint16_t>(1 + (x + 7 * y) % 255); }

// A world after init_video, ready for the title; every present and every
// back-end event is recorded with the pump count at which it happened.
struct TitleWorld {
    testing::TestWorld w;
    std::vector<std::vector<uint16_t>> presents;
    std::vector<std::string> events;
    std::vector<uint64_t> event_pumps;

    explicit TitleWorld(std::vector<MouseScriptEntry> script, uint64_t max_pumps = 10000000) {
        w.backend.script = std::move(script);
        w.backend.max_pumps = max_pumps;
        w.backend.trace = [this](const std::string& line) {
            events.push_back(line);
            event_pumps.push_back(w.backend.pumps);
        };
        init_video(*w, 0x13);
        w->present_hook = [this](const Game& g) {
            presents.emplace_back(g.video.surface.pixels.begin(), g.video.surface.pixels.end());
        };
    }
    void run() { show_title(*w, probe_picture()); }
};

// Checks one zoom step: the picture's top-left part of w x h pixels, sampled
// every `step` source pixels, at (left, top); red all round.
void expect_zoom_step(const std::vector<uint16_t>& shown, int left, int top, int w, int h, int step) {
    int wrong = 0;
    for (int y = 0; y < screen_height; ++y)
        for (int x = 0; x < screen_width; ++x) {
            const bool inside = x >= left && x < left + w && y >= top && y < top + h;
            const uint16_t want = inside ? probe((x - left) * step, (y - top) * step) : uint16_t{0x7C00};
            const uint16_t got = shown[static_cast<size_t>(y * screen_width + x)];
            if (got != want && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") shows " << got << ", expected " << want;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(RandomGenerator, FirstDrawsForAKnownSeed) {
    Random r;
    seed_random(r, 1);
    for (int32_t want : {16838, 5758, 10113, 17515, 31051}) EXPECT_EQ(next_random(r), want);
}

// The file and line a load reports, or ("", -1) when it loads.
template <typename Load>
std::pair<std::string, int> fault_of(Load load) {
    try {
        load();
    } catch (const DataError& e) {
        return {e.file(), e.line()};
    }
    return {"", -1};
}

TEST(DataFiles, GlyphAndTitleFilesFaultsAndLongFiles) {
    Scratch s("files");
    GlyphFont glyphs{};
    const std::string absent = (s.dir / "absent").string();
    const std::string short_glyphs = s.write("short.bin", counting_bytes(831));
    const std::string short_title = s.write("short.bmp", counting_bytes(65077));
    EXPECT_EQ(fault_of([&] { load_glyph_file(glyphs, absent); }), std::pair(absent, 0));
    EXPECT_EQ(fault_of([&] { load_glyph_file(glyphs, short_glyphs); }), std::pair(short_glyphs, 0));
    EXPECT_EQ(fault_of([&] { load_glyph_file(glyphs, s.dir.string()); }).second, 0);  // a folder cannot be read
    EXPECT_EQ(glyphs, GlyphFont{}) << "a failed load must leave the glyphs alone";
    EXPECT_EQ(fault_of([&] { load_title_picture(absent); }), std::pair(absent, 0));
    EXPECT_EQ(fault_of([&] { load_title_picture(short_title); }), std::pair(short_title, 0));
    EXPECT_EQ(fault_of([&] { load_title_picture(s.dir.string()); }).second, 0);

    // Only the first bytes of a longer file are used; exactly the size needed is enough.
    const std::vector<uint8_t> long_bytes = counting_bytes(70000);
    load_glyph_file(glyphs, s.write("long.bin", long_bytes));
    EXPECT_TRUE(std::equal(glyphs.begin(), glyphs.end(), long_bytes.begin()));
    glyphs = GlyphFont{};
    load_glyph_file(glyphs, s.write("exact.bin", counting_bytes(832)));
    EXPECT_TRUE(std::equal(glyphs.begin(), glyphs.end(), long_bytes.begin()));
    const std::vector<uint8_t> picture = load_title_picture(s.write("long.bmp", long_bytes));
    ASSERT_EQ(picture.size(), 65078u);
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), long_bytes.begin()));

    // The committed files: every digit and the spare-life icon show something,
    // and the zoom's surround (colour 0) is black.
    load_glyph_file(glyphs, QV_DATA_DIR "/dat.bin");
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
        EXPECT_TRUE(std::any_of(glyphs.begin() + 64 * k, glyphs.begin() + 64 * k + 64, [](uint8_t b) { return b; }))
            << "glyph " << k << " is blank";
    Palette palette{};
    title_palette(load_title_picture(QV_DATA_DIR "/outfile.bmp"), palette);
    EXPECT_EQ(palette[0], 0);
}

TEST(TitlePicture, ColourTableConversion) {
    std::vector<uint8_t> picture(title_file_size, 0);
    const uint8_t entries[][5] = {  // index, blue, green, red, a fourth byte that is ignored
        {0, 255, 255, 255, 0}, {1, 0, 0, 255, 0}, {2, 7, 7, 7, 0}, {3, 255, 0, 0, 255}, {255, 8, 16, 24, 0}};
    for (const auto& e : entries) std::copy(e + 1, e + 5, picture.begin() + 54 + 4 * e[0]);
    Palette palette;
    palette.fill(0xFFFF);
    title_palette(picture, palette);
    EXPECT_EQ(palette[0], 32767);
    EXPECT_EQ(palette[1], 31744);
    EXPECT_EQ(palette[2], 0);
    EXPECT_EQ(palette[3], 31);
    EXPECT_EQ(palette[255], 1 | (2 << 5) | (3 << 10));
    EXPECT_EQ(palette[100], 0);

}

TEST(TitleScreen, ZoomStepsAndThePaletteRestored) {
    TitleWorld t({{41, 0, 0, 1, 0}});
    Palette before = t.w->video.default_palette;
    before[0] = 0x03E0;  // as if a flash were showing
    before[200] = 0x1234;
    t.w->video.active_palette = before;
    t.run();
    ASSERT_EQ(t.presents.size(), 40u);
    // Step 1: 8 x 5 at (156, 98), one pixel for every 40 source pixels, in
    // the picture's own colours; steps 38 to 40 are unscaled, growing.
    expect_zoom_step(t.presents[0], 156, 98, 8, 5, 40);
    expect_zoom_step(t.presents[37], 8, 5, 304, 190, 1);
    expect_zoom_step(t.presents[38], 4, 3, 312, 195, 1);
    expect_zoom_step(t.presents[39], 0, 0, 320, 200, 1);
    // The last paint left the whole picture in the window.
    EXPECT_EQ(t.w.backend.shown, t.presents[39]);
    EXPECT_EQ(t.w->video.frame, FrameBuffer{});
    EXPECT_EQ(t.w->video.active_palette, before);
}

TEST(TitleScreen, CreditsOnlyAfterTheRightButtonIsReleased) {
    // Right held over pumps 41 to 43, released at 44; left clicked at 46.
    TitleWorld t({{41, 0, 0, 0, 1}, {44, 0, 0, 0, 0}, {46, 0, 0, 1, 0}});
    t.run();
    const std::vector<std::string> want = {"play BADSONG1 loop",
                                           "stop",
                                           "play CREDITS loop",
                                           "box " + quote_for_trace("Quorvaner") + " " + quote_for_trace(credits_text),
                                           "stop",
                                           "play BADSONG1 loop",
                                           "stop"};
    EXPECT_EQ(t.events, want);
    ASSERT_EQ(t.event_pumps.size(), want.size());
    EXPECT_EQ(t.event_pumps[0], 40u);
    EXPECT_EQ(t.event_pumps[3], 44u) << "the box waits for the release";
    EXPECT_EQ(t.w.backend.pumps, 46u);
    EXPECT_EQ(t.w.backend.sleeps, 43u) << "the release wait pumps and reads without sleeping";
}

TEST(TitleScreen, WaitingLoopAlwaysMakesOnePassAndAClosedWindowEndsEveryLoop) {
    const std::string play = "play BADSONG1 loop";
    const struct {
        const char* what;
        std::vector<MouseScriptEntry> script;
        uint64_t max_pumps, pumps, sleeps;
        std::vector<std::string> events;
        uint64_t last_event_pump;
    } cases[] = {
        // The start-up's reading said "no button", so the loop pumps, reads
        // and sleeps once before it sees a button held through the zoom.
        {"held through the zoom", {{1, 0, 0, 1, 0}}, 10000000, 41, 41, {play, "stop"}, 41},
        {"clicked during the zoom", {{5, 0, 0, 1, 0}, {6, 0, 0, 0, 0}, {45, 0, 0, 1, 0}}, 10000000, 45, 45,
         {play, "stop"}, 45},
        {"closed during the zoom", {}, 20, 20, 20, {}, 0},
        {"closed while waiting", {}, 43, 43, 42, {play}, 40},
        {"closed with the right button held", {{41, 0, 0, 0, 1}}, 45, 45, 41, {play}, 40},  // no credits box
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TitleWorld t(c.script, c.max_pumps);
        t.run();
        EXPECT_EQ(t.w.backend.pumps, c.pumps);
        EXPECT_EQ(t.w.backend.sleeps, c.sleeps);
        EXPECT_EQ(t.presents.size(), std::min<uint64_t>(c.pumps, 40)) << "the waiting loop presents nothing";
        EXPECT_EQ(t.events, c.events);
        EXPECT_EQ(t.event_pumps.empty() ? 0 : t.event_pumps.back(), c.last_event_pump);
    }
    // Closed during the zoom, nothing is restored.
    TitleWorld t({}, 20);
    t.run();
    Palette picture_palette{};
    title_palette(probe_picture(), picture_palette);
    EXPECT_EQ(t.w->video.active_palette, picture_palette);
}

TEST(StartUp, OrderSeedReaderGlyphsWindow) {
    for (const size_t glyph_bytes : {832, 100}) {
        SCOPED_TRACE(glyph_bytes);
        Scratch s("startup", true);
        s.write("dat.bin", counting_bytes(glyph_bytes));
        testing::TestWorld w;
        Game& g = *w;
        w.backend.ticks = glyph_bytes < 832 ? 4242 : 1;
        g.state.steer_x = 5;
        g.state.steer_y = -7;
        g.state.camera_z = 900;
        g.input.pointer = PointerBlock{77, 88};
        g.input.buttons.left_button = 1;
        g.video.active_palette.fill(0x1111);
        if (glyph_bytes < 832) {
            // A short glyph file fails before any window opens, but after the
            // seed and the reader are in place.
            EXPECT_THROW(start_up(g), DataError);
            EXPECT_FALSE(g.window.exists);
            EXPECT_FALSE(w.backend.window_open);
            EXPECT_EQ(g.random.seed, 4242u);
            EXPECT_EQ(g.window.input_reader, &read_input);
            continue;
        }
        start_up(g);
        EXPECT_EQ(next_random(g.random), 16838) << "seeded with the tick count";
        EXPECT_EQ(g.window.input_reader, &read_input);
        // The reading before any pump: pointer (0, 0), no button.
        EXPECT_EQ((std::array<int, 3>{g.input.pointer.pointer_x, g.input.pointer.pointer_y, g.input.buttons.left_button}),
                  (std::array<int, 3>{0, 0, 0}));
        EXPECT_TRUE(std::equal(g.glyphs.begin(), g.glyphs.end(), counting_bytes(832).begin()));
        EXPECT_EQ((std::array<int32_t, 3>{g.state.steer_x, g.state.steer_y, g.state.camera_z}),
                  (std::array<int32_t, 3>{0, 0, 0}));
        EXPECT_TRUE(g.window.exists);
        EXPECT_TRUE(w.backend.window_open);
        EXPECT_EQ(g.video.active_palette, g.video.default_palette);
        EXPECT_EQ(w.backend.pumps, 0u);
    }
}

}  // namespace
}  // namespace qv
