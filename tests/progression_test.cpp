#include "game/progression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

using testing::TestWorld;
using Events = std::vector<std::string>;

// An independent copy of the game's generator, to work out what a seed must give.
struct Draws {
    uint32_t seed;
    int32_t next() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 16) & 0x7FFF);
    }
};

// The first seed from `from` on whose first draw gives a pickup roll in [low, high].
uint32_t seed_with_roll(int32_t low, int32_t high, uint32_t from = 1) {
    for (uint32_t s = from;; ++s) {
        Draws d{s};
        const int32_t roll = d.next() % 6000;
        if (roll >= low && roll <= high) return s;
    }
}

std::vector<const Entity*> entities(const Game& g) {
    std::vector<const Entity*> list;
    for (const Entity* e = g.entity_list.get(); e != nullptr; e = e->next.get()) list.push_back(e);
    return list;
}

// Records palette entry 0 at every present, with the sleeps and pumps so far.
struct PresentLog {
    std::vector<uint16_t> background;
    std::vector<uint64_t> sleeps;
    std::vector<uint64_t> pumps;

    void attach(TestWorld& w) {
        w->present_hook = [this, &w](const Game& g) {
            background.push_back(g.video.active_palette[0]);
            sleeps.push_back(w.backend.sleeps);
            pumps.push_back(w.backend.pumps);
        };
    }
};

void expect_flashing(const PresentLog& log, size_t frames, uint16_t colour) {
    ASSERT_EQ(log.background.size(), frames);
    for (size_t k = 1; k <= frames; ++k) {
        EXPECT_EQ(log.background[k - 1], k % 2 == 0 ? colour : 0) << "frame " << k;
        // Each sequence frame sleeps before it presents and pumps after it.
        EXPECT_EQ(log.sleeps[k - 1], k) << "frame " << k;
        EXPECT_EQ(log.pumps[k - 1], k - 1) << "frame " << k;
    }
}

TEST(Spawning, RollsBelowTenPutAPickupAfterTheHead) {
    struct Case {
        int32_t low;
        int32_t high;
        int32_t kind;
    };
    for (const Case c : {Case{0, 4, RepairPickup}, Case{5, 9, ShieldPickup}}) {
        TestWorld w;
        Game& g = *w;
        g.state.camera_z = 77;
        const uint32_t seed = seed_with_roll(c.low, c.high);
        seed_random(g.random, seed);
        const Entity* old_second = g.entity_list->next.get();
        spawn_step(g);

        Draws d{seed};
        d.next();
        const int32_t z = 77 + 180 + d.next() % 40;
        const int32_t y = d.next() % 40 - 20;
        const int32_t x = d.next() % 40 - 20;
        const auto list = entities(g);
        ASSERT_EQ(list.size(), 4u);
        const Entity& p = *list[1];
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.model, c.kind == RepairPickup ? &g.models.heal : &g.models.shield);
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
        EXPECT_EQ(p.z, z);
        EXPECT_EQ(p.dx, 0);
        EXPECT_EQ(p.dy, 0);
        EXPECT_EQ(p.dz, 0);
        EXPECT_EQ(list[2], old_second);
        EXPECT_EQ(g.random.seed, d.seed);
    }

    // Roll 10 and above: one draw, nothing created.
    TestWorld w;
    Game& g = *w;
    const uint32_t seed = seed_with_roll(10, 10);
    seed_random(g.random, seed);
    spawn_step(g);
    Draws d{seed};
    d.next();
    EXPECT_EQ(entities(g).size(), 3u);
    EXPECT_EQ(g.random.seed, d.seed);
}

TEST(Lives, DeathTestAtShieldOneAndZero) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(w);
    g.loop.running = true;
    g.state.lives = 1;

    g.state.shield = 1;
    death_test(g);
    EXPECT_EQ(g.state.lives, 1);
    EXPECT_TRUE(log.background.empty());

    g.state.shield = 0;
    death_test(g);
    EXPECT_EQ(g.state.lives, 0);
    EXPECT_EQ(g.state.shield, 240);
    EXPECT_EQ(log.background.size(), 105u);
    EXPECT_TRUE(g.loop.running);
    EXPECT_EQ(g.state.game_over, 0);

    // With no spare life left the game ends, without a sequence.
    g.state.shield = 0;
    death_test(g);
    EXPECT_FALSE(g.loop.running);
    EXPECT_EQ(g.state.game_over, 1);
    EXPECT_EQ(g.state.lives, 0);
    EXPECT_EQ(g.state.shield, 0);
    EXPECT_EQ(log.background.size(), 105u);
    EXPECT_EQ(w.backend.events, (Events{"stop", "play THUNDER2 loop"}));
}

TEST(Lives, LostLifeResetsBoardAndFlashesYellow) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(w);
    g.state = GameState{2, 1, -20, 17, 1, 300, 42, 0, 900, 6, -4};
    g.loop.firing = true;
    insert_after(*g.entity_list, new_entity(make_instance(&g.models.bolt, make_vec3(0, 0, 950)), Bolt,
                                            make_vec3(0, 0, -1), nullptr));
    seed_random(g.random, 31337);
    lose_life(g);

    EXPECT_EQ(g.state.shield, 240);
    EXPECT_EQ(g.state.laser_energy, 240);
    EXPECT_EQ(g.state.laser_overheated, 0);
    EXPECT_EQ(g.state.invulnerable_timer, 0);
    EXPECT_EQ(g.state.kills, 42);
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(g.state.lives, 1);  // the death test takes the life, not the sequence
    EXPECT_EQ(g.state.camera_z, 900);
    EXPECT_EQ(g.state.steer_x, 6);
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(entities(g).size(), 3u);
    expect_flashing(log, 105, 0x7FE0);
    EXPECT_EQ(g.video.active_palette[0], 0);
    EXPECT_EQ(w.backend.events, (Events{"stop", "play THUNDER2 loop"}));
}

TEST(Levels, ClearFlashesMagentaAndKeepsTheShield) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(w);
    g.state.shield = 35;
    g.state.laser_energy = 3;
    g.state.laser_overheated = 1;
    g.state.invulnerable_timer = 50;
    clear_level(g);
    EXPECT_EQ(g.state.shield, 35);
    EXPECT_EQ(g.state.laser_energy, 240);
    EXPECT_EQ(g.state.laser_overheated, 0);
    EXPECT_EQ(g.state.invulnerable_timer, 0);
    expect_flashing(log, 245, 0x7C1F);
    EXPECT_EQ(w.backend.events, (Events{"stop", "play CLEAR loop", "stop", "play THUNDER2 loop"}));
}

TEST(Levels, BoardResetKeepsFightersAndUnknownKinds) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 500;
    Entity& head = *g.entity_list;
    const Entity* second = head.next.get();
    const Entity* third = second->next.get();
    // Inserted after the head one by one, so they read back in reverse.
    for (const int32_t kind : {3, int32_t{Bomb}, int32_t{ShieldPickup}, int32_t{RepairPickup}, int32_t{Bolt}, int32_t{Bolt}}) {
        insert_after(head, new_entity(make_instance(&g.models.bomb, make_vec3(1, 2, 600)), kind, make_vec3(0, 0, 0),
                                      nullptr));
    }
    head.fire_cooldown = 12;
    seed_random(g.random, 2024);
    reset_board(g);

    const auto list = entities(g);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], &head);
    EXPECT_EQ(list[1]->kind, 3);
    EXPECT_EQ(list[1]->z, 600);  // left as it was
    EXPECT_EQ(list[2], second);
    EXPECT_EQ(list[3], third);

    // The head is respawned first, then the fighters in list order.
    Draws d{2024};
    for (const Entity* f : {list[0], list[2], list[3]}) {
        const int32_t x = d.next() % 40 - 20;
        const int32_t y = d.next() % 40 - 20;
        const int32_t z = 500 + 180 + d.next() % 40;
        EXPECT_EQ(f->x, x);
        EXPECT_EQ(f->y, y);
        EXPECT_EQ(f->z, z);
        EXPECT_EQ(f->fire_cooldown, 0);
    }
    EXPECT_EQ(g.random.seed, d.seed);
}

TEST(Levels, LevelTestClearsAtTheTotalKillThresholdAndAddsAFighter) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 1000;
    EXPECT_EQ(kills_for_level(g), 100);
    g.state.kills = 99;
    EXPECT_FALSE(level_test(g));
    EXPECT_EQ(g.state.level, 1);
    EXPECT_TRUE(w.backend.events.empty());

    // Jumping over the threshold still clears.
    g.state.kills = 101;
    seed_random(g.random, 555);
    EXPECT_TRUE(level_test(g));
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(kills_for_level(g), 200);

    Draws d{555};
    for (int i = 0; i < 9; ++i) d.next();  // the reset of the three fighters
    const int32_t z = 1000 + 180 + d.next() % 40;
    const int32_t y = d.next() % 40 - 20;
    const int32_t x = d.next() % 40 - 20;
    const auto list = entities(g);
    ASSERT_EQ(list.size(), 4u);
    const Entity& added = *list[1];
    EXPECT_EQ(added.kind, Fighter);
    EXPECT_EQ(added.model, &g.models.tie);
    EXPECT_EQ(added.x, x);
    EXPECT_EQ(added.y, y);
    EXPECT_EQ(added.z, z);
    EXPECT_EQ(added.fire_cooldown, 0);

    // Kills are never reset, so the next level needs 200 in all.
    g.state.kills = 199;
    EXPECT_FALSE(level_test(g));
    g.state.kills = 200;
    EXPECT_TRUE(level_test(g));
    EXPECT_EQ(g.state.level, 3);
    EXPECT_EQ(entities(g).size(), 5u);
}

TEST(Levels, ClosingTheWindowStopsASequenceAtOnce) {
    TestWorld w;
    Game& g = *w;
    PresentLog log;
    log.attach(w);
    w.backend.max_pumps = 3;
    g.state.shield = 0;
    death_test(g);
    EXPECT_EQ(log.background.size(), 3u);
    EXPECT_EQ(w.backend.sleeps, 3u);
    EXPECT_EQ(w.backend.events, (Events{"stop"}));

    TestWorld w2;
    Game& g2 = *w2;
    w2.backend.max_pumps = 10;
    g2.state.kills = 100;
    EXPECT_TRUE(level_test(g2));
    EXPECT_EQ(w2.backend.pumps, 10u);
    EXPECT_EQ(g2.state.level, 1);
    EXPECT_EQ(entities(g2).size(), 3u);
    EXPECT_EQ(w2.backend.events, (Events{"stop", "play CLEAR loop"}));
}

}  // namespace
}  // namespace qv
