// The update's edges: the central window's border, protection, and a ram and a
// shot in one frame; bolts, their timing and the zone are pinned by the golden
// replays.
#include "game/update.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_world.h"

namespace qv {
namespace {

void update(Game& g) { update_entities(g.entity_list, g.state, g.loop, g.input.pointer, g.models, g.random); }

// What a frame's hits leave behind: shield, a pending flash and the colour asked for (-1: none).
std::tuple<int32_t, bool, int> hurt(const Game& g) {
    return {g.state.shield, g.loop.flash_pending, g.loop.flash_coloured ? g.loop.flash_colour : -1};
}

int count(const Game& g) { return testing::count_entities(g.entity_list); }

// An entity right after the head, `depth` ahead of the camera, drawn at (sx, sy).
Entity& add(Game& g, int32_t kind, int32_t depth, int32_t sx, int32_t sy) {
    Entity& e = testing::add_after_head(g.entity_list, g.models.heal, kind, make_vec3(0, 0, g.state.camera_z + depth));
    if (kind == Bolt) e.dz = -1;
    e.screen_x = sx;
    e.screen_y = sy;
    return e;
}

TEST(Update, PickupsProtectAndRepairOnlyInTheCentralWindow) {
    testing::TestWorld w;
    Game& g = *w;
    add(g, ShieldPickup, 16, 239, 21);  // 79 off the centre both ways: inside
    update(g);
    EXPECT_EQ(g.state.invulnerable_timer, 490);
    EXPECT_EQ(hurt(g), std::tuple(240, false, -1));  // no flash of its own
    g.state.invulnerable_timer = 100;                // a running protection restarts
    add(g, ShieldPickup, 16, 160, 100);
    update(g);
    EXPECT_EQ(g.state.invulnerable_timer, 490);
    g.state.invulnerable_timer = 0;
    add(g, ShieldPickup, 16, 240, 100);  // 80 off: outside, removed all the same
    add(g, ShieldPickup, 17, 160, 100);  // not yet at the plane
    update(g);
    EXPECT_EQ(g.state.invulnerable_timer, 0);
    EXPECT_EQ(count(g), 4);

    for (const auto& [before, after] : {std::pair{219, 239}, {220, 240}, {230, 240}, {240, 240}}) {
        testing::TestWorld r;
        r->state.shield = before;
        add(*r, RepairPickup, 16, 100, 150);
        add(*r, RepairPickup, 16, 80, 100);  // outside: no repair
        update(*r);
        // A full shield gets no blue flash.
        EXPECT_EQ(hurt(*r), std::tuple(after, before != 240, before != 240 ? 0x001F : -1)) << before;
        EXPECT_EQ(count(*r), 3);
    }
}

TEST(Update, BoltsAndRamsHurtUnlessProtectedAndRamsAlwaysRespawn) {
    for (const int32_t protection : {0, 7}) {
        testing::TestWorld w;
        Game& g = *w;
        g.state.invulnerable_timer = protection;
        seed_random(g.random, 99);
        Entity& head = *g.entity_list;
        head.z = 16;
        head.fire_cooldown = 33;  // running, so it fires nothing
        head.screen_x = head.screen_y = 100;
        add(g, Bolt, 17, 160, 100);
        add(g, Bolt, 16, 160, 100);
        add(g, Bolt, 15, 200, 60);
        update(g);
        EXPECT_EQ(hurt(g), protection == 0 ? std::tuple(240 - 15 - 15 - 10, true, 0x7E00) : std::tuple(240, false, -1));
        ASSERT_EQ(count(g), 4);
        EXPECT_EQ(head.next->z, 16);  // the far bolt moved one unit closer
        testing::Twin(99).expect_respawn(head, 180);
        EXPECT_EQ(head.fire_cooldown, 0);
    }
}

TEST(Update, ARammedFighterIsShotWhereItWasAndTwoOnOnePointDieTogetherForThe250thKill) {
    testing::TestWorld w;
    Game& g = *w;
    g.state.camera_z = 300;
    g.state.kills = 247;
    seed_random(g.random, 4242);
    Entity& head = *g.entity_list;
    head.z = 316;
    head.fire_cooldown = 5;
    for (Entity* e = &head; e != nullptr; e = e->next.get()) {
        e->screen_x = 150;
        e->screen_y = 110;
        e->screen_size = 6;
    }
    g.input.pointer = PointerBlock{155, 105};
    g.loop.firing = true;
    update(g);
    EXPECT_EQ(std::pair(g.state.kills, g.state.lives), std::pair(250, 4));  // a spare life for the 250th
    EXPECT_EQ(hurt(g), std::tuple(230, true, 0x03E0));
    testing::Twin d(4242);
    for (int i = 0; i < 3; ++i) d.next();  // the ram's respawn comes first
    d.expect_respawn(head, 300 + 200);
    for (int i = 0; i < 6; ++i) d.next();  // the other two respawns
    EXPECT_EQ(g.random.seed, d.random.seed);
}

}  // namespace
}  // namespace qv
