// A lost life and a cleared level beyond what the golden replays show: what
// each resets, kill counts that jump past the threshold, kinds the board keeps.
#include "game/progression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_world.h"

namespace qv {
namespace {

using Events = std::vector<std::string>;

std::vector<const Entity*> entities(const Game& g) {
    std::vector<const Entity*> list;
    for (const Entity* e = g.entity_list.get(); e != nullptr; e = e->next.get()) list.push_back(e);
    return list;
}

// The spawned entity right after the head sits where draws z, y, x put it.
void expect_spawned_after_head(const Game& g, testing::Twin& d, int32_t kind, const Model& model) {
    const int32_t z = g.state.camera_z + 180 + d.next() % 40;
    const int32_t y = d.next() % 40 - 20;
    const int32_t x = d.next() % 40 - 20;
    const Entity& e = *g.entity_list->next;
    EXPECT_TRUE(e.kind == kind && e.model == &model);
    EXPECT_EQ(std::vector({e.x, e.y, e.z}), std::vector({x, y, z}));
    EXPECT_EQ(g.random.seed, d.random.seed);
}

TEST(Progression, DeathTestCostsALifeWithItsSequenceThenEndsTheGame) {
    testing::TestWorld w;
    Game& g = *w;
    const std::vector<uint16_t>& shown = w.backgrounds;
    g.loop.running = true;
    g.state = GameState{2, 1, 1, 17, 1, 300, 42, 0, 900, 6, -4};
    death_test(g);  // shield 1: nothing happens
    EXPECT_EQ(g.state.lives, 1);

    g.state.shield = 0;
    death_test(g);
    EXPECT_EQ(std::vector({g.state.lives, g.state.shield, g.state.laser_energy, g.state.laser_overheated,
                           g.state.invulnerable_timer, g.state.kills, g.state.camera_z}),
              std::vector({0, 240, 240, 0, 0, 42, 900}));
    EXPECT_EQ(shown.size(), 105u);
    EXPECT_EQ(w.backend.sleeps, 105u);

    g.state.shield = 1;  // no spare life, but the shield holds
    death_test(g);
    EXPECT_TRUE(g.loop.running);
    g.state.shield = 0;
    death_test(g);
    EXPECT_FALSE(g.loop.running);
    EXPECT_EQ(g.state.game_over, 1);
    EXPECT_EQ(shown.size(), 105u);
}

TEST(Progression, LevelClearResetsTheBoardThenAddsAFighter) {
    testing::TestWorld w;
    Game& g = *w;
    g.state.camera_z = 500;
    g.state.shield = 35;
    for (const int32_t kind : {3, int32_t{Bomb}, int32_t{ShieldPickup}, int32_t{RepairPickup}, int32_t{Bolt}})
        testing::add_after_head(g.entity_list, g.models.bomb, kind, make_vec3(1, 2, 600));
    g.state.kills = 99;
    EXPECT_FALSE(level_test(g));
    g.state.kills = 101;  // jumping over the threshold still clears
    seed_random(g.random, 2024);
    EXPECT_TRUE(level_test(g));

    const auto list = entities(g);
    ASSERT_EQ(list.size(), 5u);  // head, the new fighter, the unknown kind 3, two fighters
    EXPECT_EQ(list[2]->kind, 3);
    EXPECT_EQ(list[2]->z, 600);
    testing::Twin d(2024);
    for (const Entity* f : {list[0], list[3], list[4]}) d.expect_respawn(*f, 500 + 180);  // head first, then in order
    expect_spawned_after_head(g, d, Fighter, g.models.tie);
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(kills_for_level(g.state), 200);
    EXPECT_EQ(g.state.shield, 35);
    EXPECT_EQ(w.backend.sleeps, 245u);
    EXPECT_EQ(w.backend.events, (Events{"stop", "play CLEAR loop", "stop", "play THUNDER2 loop"}));
}

}  // namespace
}  // namespace qv
