// Start-up, the glyph and title files, the title screen and the program as a
// whole, driven through the headless back end's mouse script (pumps count from 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "front/program.h"
#include "front/startup.h"
#include "front/title.h"
#include "game/game.h"
#include "platform/data_error.h"
#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/headless/replay_options.h"
#include "platform/window.h"
#include "test_world.h"

namespace qv {
namespace {

using testing::fault_of;
using testing::Scratch;

std::string counting_bytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

// A world after init_video, ready for the title with a blank picture; every
// back-end event is recorded with the pump count at which it happened.
struct TitleWorld {
    testing::TestWorld w{false};
    std::vector<std::string> events;
    std::vector<uint64_t> event_pumps;

    explicit TitleWorld(std::vector<MouseScriptEntry> script) {
        w.backend.script = std::move(script);
        w.backend.trace = [this](const std::string& line) {
            events.push_back(line);
            event_pumps.push_back(w.backend.pumps);
        };
        init_video(w->video, w->window);
    }
    void run() { show_title(w->video, w->window, w->input, std::vector<uint8_t>(title_file_size, 0)); }
};

TEST(DataFiles, GlyphAndTitleFilesFaultsAndLongFiles) {
    Scratch s("front-files");
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
    const std::string long_bytes = counting_bytes(70000);
    load_glyph_file(glyphs, s.write("long.bin", long_bytes));
    EXPECT_EQ(std::string(glyphs.begin(), glyphs.end()), long_bytes.substr(0, 832));
    glyphs = GlyphFont{};
    load_glyph_file(glyphs, s.write("exact.bin", counting_bytes(832)));
    EXPECT_EQ(std::string(glyphs.begin(), glyphs.end()), long_bytes.substr(0, 832));
    const std::vector<uint8_t> picture = load_title_picture(s.write("long.bmp", long_bytes));
    ASSERT_EQ(picture.size(), 65078u);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), long_bytes.substr(0, 65078));
}

// The zoom's pictures are pinned by the golden replays; not its pacing, nor
// which palette it hands back.
TEST(TitleScreen, ZoomStepsAreThirteenMillisecondsApartAndThePaletteIsRestored) {
    TitleWorld t({{41, 0, 0, 1, 0}});
    Palette before = t.w->video.default_palette;
    before[0] = 0x03E0;  // as if a flash were showing
    before[200] = 0x1234;
    t.w->video.active_palette = before;
    t.run();
    ASSERT_EQ(t.w.clock.size(), 40u);
    EXPECT_EQ(t.w->video.active_palette, before);
    for (size_t k = 0; k < 40; ++k) EXPECT_EQ(t.w.clock[k], 13 * k) << "step " << k + 1;
}

TEST(TitleScreen, CreditsOnlyAfterTheRightButtonIsReleased) {
    // Right held over pumps 41 to 43, released at 44; left clicked at 46.
    TitleWorld t({{41, 0, 0, 0, 1}, {44, 0, 0, 0, 0}, {46, 0, 0, 1, 0}});
    t.run();
    const std::string box = "box " + quote_for_trace("Quorvaner") + " " + quote_for_trace(credits_text);
    const std::vector<std::string> want = {"play BADSONG1 loop", "stop", "play CREDITS loop", box, "stop",
                                           "play BADSONG1 loop", "stop"};
    EXPECT_EQ(t.events, want);
    ASSERT_EQ(t.event_pumps.size(), want.size());
    EXPECT_EQ(t.event_pumps[0], 40u);
    EXPECT_EQ(t.event_pumps[3], 44u) << "the box waits for the release";
    EXPECT_EQ(t.w.backend.pumps, 46u);
    EXPECT_EQ(t.w.backend.sleeps, 43u) << "the release wait pumps and reads without sleeping";
}

TEST(TitleScreen, WaitingLoopAlwaysMakesOnePass) {
    // The start-up's reading said "no button", so the loop pumps, reads and
    // sleeps once before it sees a button held through the zoom.
    const struct {
        const char* what;
        std::vector<MouseScriptEntry> script;
        uint64_t pumps;
    } cases[] = {
        {"held through the zoom", {{1, 0, 0, 1, 0}}, 41},
        {"clicked during the zoom", {{5, 0, 0, 1, 0}, {6, 0, 0, 0, 0}, {45, 0, 0, 1, 0}}, 45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TitleWorld t(c.script);
        t.run();
        EXPECT_EQ(t.w.backend.pumps, c.pumps);
        EXPECT_EQ(t.w.backend.sleeps, c.pumps);
        EXPECT_EQ(t.w.clock.size(), 40u) << "the waiting loop presents nothing";
        EXPECT_EQ(t.events, (std::vector<std::string>{"play BADSONG1 loop", "stop"}));
        EXPECT_EQ(t.event_pumps.back(), c.pumps);
    }
}

TEST(StartUp, SeedsFromTheClockReadsTheGlyphsAndOnlyThenOpensTheWindow) {
    Scratch s("front-startup", true);
    testing::TestWorld w(false);
    Game& g = *w;
    w.backend.start_ticks = 1;
    g.state = {.camera_z = 900, .steer_x = 5, .steer_y = -7};
    g.input.buttons.left_button = 1;
    g.video.active_palette.fill(0x1111);
    // A short glyph file fails before any window opens, but after the seed is in place.
    s.write("dat.bin", counting_bytes(831));
    EXPECT_THROW(start_up(g), DataError);
    EXPECT_FALSE(w.backend.window_open);
    EXPECT_EQ(next_random(g.random), 16838) << "seeded with the tick count";

    s.write("dat.bin", counting_bytes(832));
    start_up(g);
    EXPECT_EQ(g.input.buttons.left_button, 0) << "the reading before any pump: no button";
    EXPECT_EQ(std::string(g.glyphs.begin(), g.glyphs.end()), counting_bytes(832));
    EXPECT_EQ((std::array<int32_t, 3>{g.state.steer_x, g.state.steer_y, g.state.camera_z}),
              (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_TRUE(g.window.exists && w.backend.window_open);
    EXPECT_EQ(g.video.active_palette, g.video.default_palette);
    EXPECT_EQ(w.backend.pumps, 0u);
}

TEST(Program, ABadTitleFileEndsTheProgramWithOneBeforeAnyWindowOpens) {
    Scratch data("front-program", true);
    for (const char* name : {"tie.obj", "bolt.obj", "heal.obj", "bomb.obj", "shield.obj"}) {
        std::filesystem::copy_file(std::filesystem::path(QV_DATA_DIR) / name, data.dir / name);
    }
    data.write("outfile.bmp", std::string(65077, '\0'));
    testing::TestWorld w(false);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_game(*w), 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(err.starts_with("quorvaner: ") && err.find("outfile.bmp") != std::string::npos) << err;
    EXPECT_EQ(w.backend.pumps, 0u);
    EXPECT_FALSE(w.backend.window_open);
    ASSERT_EQ(w.backend.events.size(), 1u);
    EXPECT_TRUE(w.backend.events[0].starts_with("box \"Quorvaner\" ")) << w.backend.events[0];
}

// The whole program with seed 7 on the logged back end, the window closing
// itself at pump `max_pumps`.
std::vector<std::string> run_logged(const std::vector<MouseScriptEntry>& script, uint64_t max_pumps) {
    testing::LoggedBackEnd backend;
    backend.inner.script = script;
    backend.inner.max_pumps = max_pumps;
    backend.inner.start_ticks = 7;
    const auto game = std::make_unique<Game>();
    game->window.backend = &backend;
    run_program(*game);
    return backend.log;
}

// The number of the pump before log entry `end`.
uint64_t pumps_before(const std::vector<std::string>& log, std::ptrdiff_t end) {
    return static_cast<uint64_t>(std::count(log.begin(), log.begin() + end, "pump"));
}

// The pump after which `line` first appears, counting from entry `from`.
uint64_t pump_of(const std::vector<std::string>& log, const std::string& line, std::ptrdiff_t from = 0) {
    return pumps_before(log, std::find(log.begin() + from, log.end(), line) - log.begin());
}

TEST(Program, ClosingTheWindowAnywhereEndsTheProgramAtThatPumpWithNothingAfter) {
    // Clicking once and never again, a fighter's bolts cost the first life; the
    // aimed game of the golden replays clears the first level.
    const std::vector<MouseScriptEntry> idle = {{60, 160, 100, 1, 0}, {64, 160, 100, 0, 0}};
    std::ifstream file(QV_SOURCE_DIR "/tests/replays/aimed-game.txt");
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    const std::vector<MouseScriptEntry> aimed = parse_mouse_script(text.str(), "aimed-game.txt", error).value();

    const std::vector<std::string> idle_log = run_logged(idle, 3000);
    const auto play = std::find(idle_log.begin(), idle_log.end(), "play THUNDER2 loop") - idle_log.begin();
    const uint64_t life_lost = pump_of(idle_log, "stop", play);  // the sequence's first pump is the next one
    const std::vector<std::string> aimed_log = run_logged(aimed, 5000);
    const uint64_t cleared = pump_of(aimed_log, "play CLEAR loop");
    ASSERT_LT(life_lost + 105, 3000u);
    ASSERT_LT(cleared + 245, 5000u);
    const std::vector<MouseScriptEntry> right_held = {{41, 0, 0, 0, 1}};
    const std::vector<std::string> unknown;

    const struct {
        const char* what;
        const std::vector<MouseScriptEntry>& script;
        const std::vector<std::string>& full;
        uint64_t close_at;
        const char* last_cue;  // the last cue line before the close
    } cases[] = {
        {"the zoom's first step", idle, idle_log, 1, nullptr},
        {"the zoom", idle, idle_log, 20, nullptr},
        {"the zoom's last step", idle, idle_log, 40, nullptr},
        {"the waiting loop", idle, idle_log, 50, "play BADSONG1 loop"},
        {"the credits wait", right_held, unknown, 45, "play BADSONG1 loop"},
        {"play", idle, idle_log, 500, "play THUNDER2 loop"},
        {"a life lost", idle, idle_log, life_lost + 50, "stop"},
        {"a life lost, its last flash", idle, idle_log, life_lost + 105, "stop"},
        {"a level cleared", aimed, aimed_log, cleared + 100, "play CLEAR loop"},
        {"a level cleared, its last flash", aimed, aimed_log, cleared + 245, "play CLEAR loop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> log = run_logged(c.script, c.close_at);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "close") << "nothing after the close";
        EXPECT_EQ(pumps_before(log, static_cast<std::ptrdiff_t>(log.size())), c.close_at);
        EXPECT_EQ(std::count(log.begin(), log.end(), "close"), 1);
        const auto cue = std::find_if(log.rbegin(), log.rend(), [](const std::string& l) {
            return l.starts_with("play") || l == "stop" || l.starts_with("box");
        });
        EXPECT_EQ(cue == log.rend() ? "" : *cue, c.last_cue ? c.last_cue : "");
        // Up to the close, the run is the one that was not cut short.
        if (!c.full.empty()) {
            ASSERT_GT(c.full.size(), log.size());
            EXPECT_TRUE(std::equal(log.begin(), log.end() - 1, c.full.begin())) << "an early close changed the run";
        }
    }
}

}  // namespace
}  // namespace qv
