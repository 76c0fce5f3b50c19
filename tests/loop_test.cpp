#include "game/loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

using Events = std::vector<std::string>;

// A world in play whose presents record palette entry 0.
struct Playing : testing::TestWorld {
    std::vector<uint16_t> shown;
    Playing() {
        game->loop.running = true;
        game->present_hook = [this](const Game& g) { shown.push_back(g.video.active_palette[0]); };
    }
};

// Something straight ahead at relative depth 16, which the render puts in the middle.
void add_at_plane(Game& g, const Model& model, int32_t kind) {
    insert_after(*g.entity_list, new_entity(make_instance(&model, make_vec3(0, 0, g.state.camera_z + 16)), kind,
                                            make_vec3(0, 0, 0), nullptr));
}

TEST(Loop, FlashesShowInOnePresentAndProtectionTintsFromTheNextFrame) {
    Playing p;
    Game& g = *p;
    g.state.shield = 200;
    add_at_plane(g, g.models.heal, RepairPickup);
    run_frame(g);  // blue repair flash
    add_at_plane(g, g.models.shield, ShieldPickup);
    run_frame(g);  // the pickup writes no colour of its own
    run_frame(g);  // 490 / 16
    g.state.invulnerable_timer = 17;
    for (int i = 0; i < 3; ++i) run_frame(g);  // 17, 16 and 15 at the flash step
    EXPECT_EQ(g.state.shield, 220);
    EXPECT_EQ(p.shown, (std::vector<uint16_t>{0x001F, 0, 30, 1, 1, 0}));
}

TEST(Loop, LifeLossRunsBeforeALevelClearInTheSameFrameWhichThenEndsAtOnce) {
    Playing p;
    Game& g = *p;
    g.state = {.shield = 0, .kills = 100, .camera_z = 10};
    g.loop.firing = true;
    g.window.mouse = LiveMouse{0, 0, 5, 5};  // would steer, and switch the laser off
    run_frame(g);
    EXPECT_EQ(g.state.lives, 2);
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(g.state.camera_z, 10);
    EXPECT_EQ(g.state.steer_x, 0);
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(p.backend.events,
              (Events{"stop", "play THUNDER2 loop", "stop", "play CLEAR loop", "stop", "play THUNDER2 loop"}));
    ASSERT_EQ(p.shown.size(), 105u + 245u);  // the sequences' own presents only
    EXPECT_EQ(p.backend.sleeps, 105u + 245u);
    EXPECT_EQ(p.shown[1], 0x7FE0);
    EXPECT_EQ(p.shown[106], 0x7C1F);
}

TEST(Loop, GameOverFrameRunsToItsEndAndTheBoxShowsTheScore) {
    for (const int32_t kills : {0, 7}) {
        Playing p;
        Game& g = *p;
        g.state = {.lives = 0, .shield = 0, .kills = kills};
        // Left over from before the loop, which starts without them.
        g.loop.flash_pending = true;
        g.hud.beam_phase = true;
        g.video.active_palette[0] = 0x1234;
        g.window.mouse = LiveMouse{1, 0, 5, 195};
        game_loop(g);
        EXPECT_EQ(g.state.game_over, 1);
        EXPECT_EQ(std::pair(g.state.steer_x, g.state.steer_y), std::pair(2, -2));
        EXPECT_TRUE(g.loop.firing);
        EXPECT_EQ(g.state.camera_z, 1);
        EXPECT_EQ(p.shown, (std::vector<uint16_t>{0x1234}));
        EXPECT_EQ(p.backend.sleeps, 1u);
        EXPECT_FALSE(g.hud.beam_phase);
        end_game(g);
        const std::string text = "You've been Quorvaned! Your final score was " + std::string(kills ? "700" : "000");
        EXPECT_EQ(p.backend.events, (Events{"stop", "play GAMEOVER once", "box \"GAME OVER\" \"" + text + "\""}));
    }
}

// A scratch working directory holding the models and a title file one byte short.
struct DataDirectory {
    std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "quorvaner-loop-test";
    DataDirectory() {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        for (const char* name : {"tie.obj", "bolt.obj", "heal.obj", "bomb.obj", "shield.obj"}) {
            std::filesystem::copy_file(std::filesystem::path(QV_DATA_DIR) / name, dir / name);
        }
        std::ofstream(dir / "outfile.bmp", std::ios::binary) << std::string(65077, '\0');
        std::filesystem::current_path(dir);
    }
    ~DataDirectory() {
        std::filesystem::current_path(old);
        std::filesystem::remove_all(dir);
    }
};

TEST(Loop, ABadTitleFileEndsTheProgramWithOneBeforeAnyWindowOpens) {
    DataDirectory data;
    testing::TestWorld w;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_game(*w), 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(err.starts_with("quorvaner: ") && err.find("outfile.bmp") != std::string::npos) << err;
    EXPECT_EQ(w.backend.pumps, 0u);
    ASSERT_EQ(w.backend.events.size(), 1u);
    EXPECT_TRUE(w.backend.events[0].starts_with("box \"Quorvaner\" ")) << w.backend.events[0];
}

}  // namespace
}  // namespace qv
