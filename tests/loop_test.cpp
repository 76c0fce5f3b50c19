#include "game/loop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

using testing::TestWorld;
using Events = std::vector<std::string>;

struct PresentLog {
    std::vector<uint16_t> background;  // palette entry 0 at each present
    void attach(Game& g) {
        g.present_hook = [this](const Game& game) { background.push_back(game.video.active_palette[0]); };
    }
};

// Something right in front of the ship, `depth` ahead, which the render puts
// in the middle of the screen.
void add_ahead(Game& g, const Model& model, int32_t kind, int32_t depth) {
    insert_after(*g.entity_list, new_entity(make_instance(&model, make_vec3(0, 0, g.state.camera_z + depth)), kind,
                                            make_vec3(0, 0, 0), nullptr));
}

void hold_mouse(Game& g, int32_t x, int32_t y, bool left) {
    g.window.mouse.mouse_x = x;
    g.window.mouse.mouse_y = y;
    g.window.mouse.mouse_left_down = left ? 1 : 0;
}

TEST(Flashes, EventColourIsSeenInExactlyOnePresent) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    g.loop.running = true;
    g.state.shield = 200;
    add_ahead(g, g.models.heal, RepairPickup, 16);
    run_frame(g);
    run_frame(g);
    EXPECT_EQ(g.state.shield, 220);
    EXPECT_EQ(log.background, (std::vector<uint16_t>{0x001F, 0}));
    EXPECT_FALSE(g.loop.flash_pending);
}

TEST(Flashes, ShieldPickupTintsBlueFromTheNextFrameAndFadesToBlack) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    g.loop.running = true;
    add_ahead(g, g.models.shield, ShieldPickup, 16);
    run_frame(g);  // the pickup writes no colour of its own
    run_frame(g);  // 490 / 16
    run_frame(g);  // 489 / 16
    EXPECT_EQ(g.state.invulnerable_timer, 488);

    g.state.invulnerable_timer = 17;
    for (int i = 0; i < 4; ++i) run_frame(g);  // 17, 16, 15 and 14 at the flash step
    EXPECT_EQ(log.background, (std::vector<uint16_t>{0, 30, 30, 1, 1, 0, 0}));
    EXPECT_EQ(g.state.invulnerable_timer, 13);

    // The tint replaces a pending flash colour rather than adding to it.
    g.video.active_palette[0] = 0x03E0;
    g.loop.flash_pending = true;
    g.state.invulnerable_timer = 100;
    flash_step(g);
    EXPECT_EQ(g.video.active_palette[0], 6);
    EXPECT_FALSE(g.loop.flash_pending);
}

TEST(FrameOrder, LevelClearEndsTheFrameBeforeSteeringLaserAndCamera) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    g.loop.running = true;
    g.loop.firing = true;
    g.state.kills = 100;
    g.state.camera_z = 10;
    hold_mouse(g, 5, 5, false);  // would steer, and would switch the laser off
    run_frame(g);

    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(g.state.camera_z, 10);
    EXPECT_EQ(g.state.steer_x, 0);
    EXPECT_EQ(g.state.steer_y, 0);
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(g.state.laser_energy, 240);
    // Only the sequence presented, pumped and slept.
    EXPECT_EQ(log.background.size(), 245u);
    EXPECT_EQ(w.backend.pumps, 245u);
    EXPECT_EQ(w.backend.sleeps, 245u);
}

TEST(FrameOrder, LostLifeAndLevelClearInOneFrameRunLifeLossFirst) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    g.loop.running = true;
    g.state.shield = 0;
    g.state.lives = 2;
    g.state.kills = 100;
    run_frame(g);

    EXPECT_EQ(g.state.lives, 1);
    EXPECT_EQ(g.state.shield, 240);
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(g.state.camera_z, 0);
    EXPECT_EQ(w.backend.events,
              (Events{"stop", "play THUNDER2 loop", "stop", "play CLEAR loop", "stop", "play THUNDER2 loop"}));
    ASSERT_EQ(log.background.size(), 105u + 245u);
    EXPECT_EQ(log.background[1], 0x7FE0);
    EXPECT_EQ(log.background[104], 0);
    EXPECT_EQ(log.background[106], 0x7C1F);
    EXPECT_EQ(log.background[349], 0);
}

TEST(FrameOrder, GameOverFrameStillSteersFiresAdvancesAndPresents) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    g.loop.running = true;
    g.state.shield = 0;
    g.state.lives = 0;
    hold_mouse(g, 5, 195, true);
    run_frame(g);

    EXPECT_FALSE(g.loop.running);
    EXPECT_EQ(g.state.game_over, 1);
    EXPECT_EQ(g.state.steer_x, 2);
    EXPECT_EQ(g.state.steer_y, -2);
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(g.state.camera_z, 1);
    EXPECT_EQ(log.background.size(), 1u);
    EXPECT_EQ(w.backend.pumps, 1u);
    EXPECT_EQ(w.backend.sleeps, 1u);
    EXPECT_TRUE(w.backend.events.empty());

    // The level test still runs in that frame, and a clear then ends it early.
    TestWorld w2;
    Game& g2 = *w2;
    g2.loop.running = true;
    g2.state.shield = -3;
    g2.state.lives = 0;
    g2.state.kills = 100;
    run_frame(g2);
    EXPECT_FALSE(g2.loop.running);
    EXPECT_EQ(g2.state.level, 2);
    EXPECT_EQ(g2.state.camera_z, 0);
    EXPECT_EQ(w2.backend.sleeps, 245u);
}

TEST(Ending, LoopLeavesAfterTheLosingFrameAndTheBoxShowsTheScore) {
    for (const int32_t kills : {0, 7}) {
        TestWorld w;
        Game& g = *w;
        PresentLog log;
        log.attach(g);
        g.state.shield = 0;
        g.state.lives = 0;
        g.state.kills = kills;
        // Left over from before the loop: the loop starts with none of them.
        g.loop.firing = true;
        g.loop.flash_pending = true;
        g.hud.beam_phase = true;
        g.video.active_palette[0] = 0x1234;
        game_loop(g);
        EXPECT_EQ(log.background, (std::vector<uint16_t>{0x1234}));
        EXPECT_FALSE(g.hud.beam_phase);
        EXPECT_FALSE(g.loop.running);

        end_game(g);
        const std::string score = kills == 0 ? "000" : "700";
        EXPECT_EQ(w.backend.events,
                  (Events{"stop", "play GAMEOVER once",
                          "box \"GAME OVER\" \"You've been Quorvaned! Your final score was " + score + "\""}));
    }
}

TEST(Ending, ClosingTheWindowStopsTheLoopAfterItsPump) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(g);
    w.backend.max_pumps = 4;
    game_loop(g);
    EXPECT_TRUE(g.loop.running);
    EXPECT_EQ(log.background.size(), 4u);
    EXPECT_EQ(w.backend.sleeps, 3u);
    EXPECT_EQ(g.state.camera_z, 4);
}

// A scratch working directory holding the given data files, left again on exit.
class DataDirectory {
public:
    explicit DataDirectory(const std::string& name) : dir_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    ~DataDirectory() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    void copy_models() {
        for (const char* name : {"tie.obj", "bolt.obj", "heal.obj", "bomb.obj", "shield.obj"}) {
            std::filesystem::copy_file(std::filesystem::path(QV_DATA_DIR) / name, dir_ / name);
        }
    }
    void write_zeros(const char* name, size_t size) {
        std::ofstream out(dir_ / name, std::ios::binary);
        out << std::string(size, '\0');
    }

private:
    std::filesystem::path dir_;
    std::filesystem::path old_;
};

TEST(Program, BadDataEndsWithStatusOneBeforeAnyWindow) {
    {
        DataDirectory dir("quorvaner-loop-test-empty");
        TestWorld w;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(run_game(*w), 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.rfind("quorvaner: ", 0), 0u) << err;
        EXPECT_NE(err.find("tie.obj"), std::string::npos) << err;
        ASSERT_EQ(w.backend.events.size(), 1u);
        EXPECT_EQ(w.backend.events[0].rfind("box \"Quorvaner\" ", 0), 0u) << w.backend.events[0];
    }
    {
        // Models and glyphs in place but a short title picture: no window is ever opened.
        DataDirectory dir("quorvaner-loop-test-title");
        dir.copy_models();
        dir.write_zeros("dat.bin", 832);
        dir.write_zeros("outfile.bmp", 65077);
        TestWorld w;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(run_game(*w), 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("outfile.bmp"), std::string::npos) << err;
        EXPECT_FALSE(w->window.exists);
        EXPECT_EQ(w.backend.pumps, 0u);
    }
}

TEST(Program, ClosedWindowEndsQuietlyWithStatusZero) {
    DataDirectory dir("quorvaner-loop-test-close");
    dir.copy_models();
    dir.write_zeros("dat.bin", 832);
    dir.write_zeros("outfile.bmp", 65078);
    Game game;
    BackEnd backend;
    game.window.backend = &backend;
    // Forty zoom frames, then a click leaves the title; the window closes in play.
    backend.script = {MouseScriptEntry{41, 160, 100, 1, 0}};
    backend.max_pumps = 60;
    int presents = 0;
    game.present_hook = [&presents](const Game&) { ++presents; };
    EXPECT_EQ(run_game(game), 0);
    EXPECT_EQ(backend.events, (Events{"play BADSONG1 loop", "stop", "play THUNDER2 loop"}));
    EXPECT_EQ(presents, 40 + 19);
    EXPECT_GT(game.state.camera_z, 0);
}

}  // namespace
}  // namespace qv
