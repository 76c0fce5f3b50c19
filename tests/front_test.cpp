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
#include "world/data_error.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A private scratch folder; optionally the working directory while it lives.
struct Scratch {
    fs::path dir;
    fs::path previous;
    explicit Scratch(const std::string& name, bool enter = false) {
        const int seed = ::testing::UnitTest::GetInstance()->random_seed();
        dir = fs::temp_directory_path() / ("qv-front-" + name + "-" + std::to_string(seed));
        fs::remove_all(dir);
        fs::create_directories(dir);
        if (enter) {
            previous = fs::current_path();
            fs::current_path(dir);
        }
    }
    ~Scratch() {
        if (!previous.empty()) fs::current_path(previous);
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

TEST(RandomGenerator, SeedOneGivesTheClassicSequence) {
    Random r;
    seed_random(r, 1);
    for (int32_t want : {16838, 5758, 10113, 17515, 31051}) EXPECT_EQ(next_random(r), want);
    // The same seed twice gives the same run.
    Random a, b;
    seed_random(a, 123456789u);
    seed_random(b, 123456789u);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(next_random(a), next_random(b));
}

TEST(GlyphFile, FaultsAndLongFiles) {
    Scratch s("glyphs");
    GlyphFont glyphs{};

    try {
        load_glyph_file(glyphs, (s.dir / "absent.bin").string());
        ADD_FAILURE() << "a missing glyph file loaded";
    } catch (const DataError& e) {
        EXPECT_NE(e.file().find("absent.bin"), std::string::npos);
        EXPECT_EQ(e.line(), 0);
    }

    const std::string short_file = s.write("short.bin", counting_bytes(500));
    try {
        load_glyph_file(glyphs, short_file);
        ADD_FAILURE() << "a 500-byte glyph file loaded";
    } catch (const DataError& e) {
        EXPECT_EQ(e.file(), short_file);
        EXPECT_NE(e.reason().find("500 bytes"), std::string::npos) << e.reason();
        EXPECT_NE(e.reason().find("832"), std::string::npos) << e.reason();
    }
    EXPECT_EQ(glyphs, GlyphFont{}) << "a failed load must leave the glyphs alone";

    // A folder opens on some systems but cannot be read.
    EXPECT_THROW(load_glyph_file(glyphs, s.dir.string()), DataError);

    const std::vector<uint8_t> long_bytes = counting_bytes(900);
    load_glyph_file(glyphs, s.write("long.bin", long_bytes));
    EXPECT_TRUE(std::equal(glyphs.begin(), glyphs.end(), long_bytes.begin()));

    // Exactly 832 bytes is enough.
    load_glyph_file(glyphs, s.write("exact.bin", counting_bytes(832)));
    EXPECT_EQ(glyphs[831], static_cast<uint8_t>(831 * 7 + 3));
}

TEST(TitleFile, FaultsAndLongFiles) {
    Scratch s("title");
    EXPECT_THROW(load_title_picture((s.dir / "absent.bmp").string()), DataError);
    EXPECT_THROW(load_title_picture(s.dir.string()), DataError);
    try {
        load_title_picture(s.write("short.bmp", counting_bytes(65077)));
        ADD_FAILURE() << "a title picture one byte short loaded";
    } catch (const DataError& e) {
        EXPECT_EQ(e.line(), 0);
        EXPECT_NE(e.reason().find("65077 bytes"), std::string::npos) << e.reason();
        EXPECT_NE(e.reason().find("65078"), std::string::npos) << e.reason();
    }
    const std::vector<uint8_t> long_bytes = counting_bytes(70000);
    const std::vector<uint8_t> picture = load_title_picture(s.write("long.bmp", long_bytes));
    ASSERT_EQ(picture.size(), 65078u);
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), long_bytes.begin()));
}

TEST(TitleFile, CommittedDataFilesLoad) {
    GlyphFont glyphs{};
    load_glyph_file(glyphs, QV_DATA_DIR "/dat.bin");
    // Every digit and the spare-life icon show something.
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
        EXPECT_TRUE(std::any_of(glyphs.begin() + 64 * k, glyphs.begin() + 64 * k + 64, [](uint8_t b) { return b; }))
            << "glyph " << k << " is blank";

    const std::vector<uint8_t> picture = load_title_picture(QV_DATA_DIR "/outfile.bmp");
    EXPECT_EQ(picture[0], 'B');
    EXPECT_EQ(picture[1], 'M');
    Palette palette{};
    title_palette(picture, palette);
    EXPECT_EQ(palette[0], 0) << "the zoom surrounds the picture with colour 0: keep it black";
}

TEST(TitlePalette, ColourTableConversion) {
    std::vector<uint8_t> picture(title_file_size, 0);
    auto entry = [&picture](int i, uint8_t b, uint8_t g, uint8_t r, uint8_t fourth) {
        picture[static_cast<size_t>(54 + 4 * i)] = b;
        picture[static_cast<size_t>(55 + 4 * i)] = g;
        picture[static_cast<size_t>(56 + 4 * i)] = r;
        picture[static_cast<size_t>(57 + 4 * i)] = fourth;
    };
    entry(0, 255, 255, 255, 0);
    entry(1, 0, 0, 255, 0);
    entry(2, 7, 7, 7, 0);
    entry(3, 255, 0, 0, 255);   // the fourth byte is ignored
    entry(255, 8, 16, 24, 0);   // 1 | 2 << 5 | 3 << 10
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

TEST(TitleImage, ScaleAndBlit) {
    // A 4 x 2 source halved to 2 x 1 takes every other pixel of the top row.
    const uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint8_t dst[2] = {0, 0};
    scale_image(src, dst, 4, 2, 2, 1);
    EXPECT_EQ(dst[0], 1);
    EXPECT_EQ(dst[1], 3);
    // Doubling repeats each source pixel.
    uint8_t big[16] = {};
    scale_image(src, big, 4, 2, 8, 2);
    EXPECT_EQ(big[0], 1);
    EXPECT_EQ(big[1], 1);
    EXPECT_EQ(big[7], 4);
    EXPECT_EQ(big[8], 5);

    // Rows that would fall at y 200 or below are skipped, not wrapped.
    FrameBuffer frame{};
    const uint8_t image[6] = {9, 9, 9, 8, 8, 8};
    blit_image(frame, image, 317, 199, 3, 2);
    EXPECT_EQ(frame[199 * 320 + 317], 9);
    EXPECT_EQ(frame[199 * 320 + 319], 9);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 8), 0);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 9), 3);
}

TEST(TitleScreen, ZoomStepsShowTheRightSourcePixels) {
    TitleWorld t({{41, 0, 0, 1, 0}});
    t.run();
    ASSERT_EQ(t.presents.size(), 40u);

    // Step 1: 8 x 5 at (156, 98), one pixel for every 40 source pixels.
    expect_zoom_step(t.presents[0], 156, 98, 8, 5, 40);
    EXPECT_EQ(t.presents[0][98 * 320 + 157], probe(40, 0));
    EXPECT_EQ(t.presents[0][102 * 320 + 163], probe(280, 160));
    // Steps 38 to 40 are unscaled: the top-left part of the picture, growing.
    expect_zoom_step(t.presents[37], 8, 5, 304, 190, 1);
    expect_zoom_step(t.presents[38], 4, 3, 312, 195, 1);
    expect_zoom_step(t.presents[39], 0, 0, 320, 200, 1);
    // The last paint left the whole picture in the window.
    EXPECT_EQ(t.w.backend.shown, t.presents[39]);
    EXPECT_EQ(t.w->video.frame, FrameBuffer{});
}

TEST(TitleScreen, PaletteIsRestoredEntryForEntry) {
    TitleWorld t({{41, 0, 0, 1, 0}});
    Palette before = t.w->video.default_palette;
    before[0] = 0x03E0;  // as if a flash were showing
    before[200] = 0x1234;
    t.w->video.active_palette = before;
    t.run();
    EXPECT_EQ(t.w->video.active_palette, before);
    // While zooming the picture's own colours were in use.
    EXPECT_EQ(t.presents[0][0], 0x7C00);
}

TEST(TitleScreen, WaitingLoopAlwaysMakesOnePass) {
    {
        // Held through the zoom: the start-up's reading said "no button", so the
        // loop still pumps, reads and sleeps once before it sees the button.
        TitleWorld t({{1, 0, 0, 1, 0}});
        t.run();
        EXPECT_EQ(t.w.backend.pumps, 41u);
        EXPECT_EQ(t.w.backend.sleeps, 41u);
        EXPECT_EQ(t.events, (std::vector<std::string>{"play BADSONG1 loop", "stop"}));
    }
    {
        // Pressed and released during the zoom: never seen.
        TitleWorld t({{5, 0, 0, 1, 0}, {6, 0, 0, 0, 0}, {45, 0, 0, 1, 0}});
        t.run();
        EXPECT_EQ(t.w.backend.pumps, 45u);
        EXPECT_EQ(t.w.backend.sleeps, 45u);
        EXPECT_EQ(t.presents.size(), 40u) << "the waiting loop presents nothing";
        EXPECT_EQ(t.events.back(), "stop");
        EXPECT_EQ(t.event_pumps.back(), 45u);
    }
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
    // The release wait pumps and reads without sleeping.
    EXPECT_EQ(t.w.backend.sleeps, 43u);
}

TEST(TitleScreen, ClosingTheWindowEndsEveryLoopAtOnce) {
    {
        TitleWorld t({}, 20);
        const Palette picture_palette = [] {
            Palette p{};
            title_palette(probe_picture(), p);
            return p;
        }();
        t.run();
        EXPECT_EQ(t.presents.size(), 20u);
        EXPECT_EQ(t.w.backend.sleeps, 20u);
        EXPECT_TRUE(t.events.empty());
        EXPECT_EQ(t.w->video.active_palette, picture_palette) << "nothing is restored after a close";
    }
    {
        TitleWorld t({}, 43);
        t.run();
        EXPECT_EQ(t.w.backend.sleeps, 42u);
        EXPECT_EQ(t.events, std::vector<std::string>{"play BADSONG1 loop"});
    }
    {
        // Closed while the right button is still held: no credits box.
        TitleWorld t({{41, 0, 0, 0, 1}}, 45);
        t.run();
        EXPECT_EQ(t.w.backend.pumps, 45u);
        EXPECT_EQ(t.events, std::vector<std::string>{"play BADSONG1 loop"});
    }
}

TEST(StartUp, OrderSeedReaderGlyphsWindow) {
    {
        Scratch s("startup-ok", true);
        const std::vector<uint8_t> glyph_bytes = counting_bytes(832);
        s.write("dat.bin", glyph_bytes);
        testing::TestWorld w;
        Game& g = *w;
        w.backend.ticks = 1;
        g.state.steer_x = 5;
        g.state.steer_y = -7;
        g.state.camera_z = 900;
        g.input.pointer = PointerBlock{77, 88};
        g.input.buttons.left_button = 1;
        g.video.active_palette.fill(0x1111);
        start_up(g);

        EXPECT_EQ(next_random(g.random), 16838) << "seeded with the tick count";
        EXPECT_EQ(g.window.input_reader, &read_input);
        // The reading before any pump: pointer (0, 0), no button.
        EXPECT_EQ(g.input.pointer.pointer_x, 0);
        EXPECT_EQ(g.input.pointer.pointer_y, 0);
        EXPECT_EQ(g.input.buttons.left_button, 0);
        EXPECT_TRUE(std::equal(g.glyphs.begin(), g.glyphs.end(), glyph_bytes.begin()));
        EXPECT_EQ(g.state.steer_x, 0);
        EXPECT_EQ(g.state.steer_y, 0);
        EXPECT_EQ(g.state.camera_z, 0);
        EXPECT_TRUE(g.window.exists);
        EXPECT_TRUE(w.backend.window_open);
        EXPECT_EQ(g.video.active_palette, g.video.default_palette);
        EXPECT_EQ(w.backend.pumps, 0u);
    }
    {
        // A short glyph file fails before any window opens, but after the seed
        // and the reader are in place.
        Scratch s("startup-short", true);
        s.write("dat.bin", counting_bytes(100));
        testing::TestWorld w;
        w.backend.ticks = 4242;
        EXPECT_THROW(start_up(*w), DataError);
        EXPECT_FALSE(w->window.exists);
        EXPECT_FALSE(w.backend.window_open);
        EXPECT_EQ(w->random.seed, 4242u);
        EXPECT_EQ(w->window.input_reader, &read_input);
    }
}

}  // namespace
}  // namespace qv
