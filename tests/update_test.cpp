#include "game/update.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "game/controls.h"
#include "tests/test_world.h"

namespace qv {
namespace {

using testing::TestWorld;

// An independent copy of the game's generator, to work out what a seed must give.
struct Draws {
    uint32_t seed;
    int32_t next() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 16) & 0x7FFF);
    }
};

int count_entities(const Game& g) {
    int n = 0;
    for (const Entity* e = g.entity_list.get(); e != nullptr; e = e->next.get()) ++n;
    return n;
}

// Puts an entity of `kind` right after the head, `depth` ahead of the camera and
// projected at the screen spot given.
Entity& add_after_head(Game& g, const Model& model, int32_t kind, int32_t depth, int32_t sx, int32_t sy) {
    insert_after(*g.entity_list, new_entity(make_instance(&model, make_vec3(0, 0, g.state.camera_z + depth)), kind,
                                            make_vec3(0, 0, 0), nullptr));
    Entity& e = *g.entity_list->next;
    if (kind == Bolt) e.dz = -1;  // bolts fly towards the player, as fired
    e.screen_x = sx;
    e.screen_y = sy;
    return e;
}

constexpr uint16_t untouched = 0x1234;

TEST(UpdatePickups, ShieldPickupProtectsOnlyInsideTheCentralWindow) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 50;
    g.video.active_palette[0] = untouched;
    add_after_head(g, g.models.shield, ShieldPickup, 16, 160, 100);
    update_entities(g);
    EXPECT_EQ(g.state.invulnerable_timer, 490);
    EXPECT_EQ(count_entities(g), 3);
    EXPECT_FALSE(g.loop.flash_pending);
    EXPECT_EQ(g.video.active_palette[0], untouched);

    // A second pickup restarts the protection that is still running.
    g.state.invulnerable_timer = 100;
    add_after_head(g, g.models.shield, ShieldPickup, 16, 239, 21);
    update_entities(g);
    EXPECT_EQ(g.state.invulnerable_timer, 490);
    EXPECT_EQ(count_entities(g), 3);

    // Just outside the window (the bounds are strict) it is removed without effect.
    g.state.invulnerable_timer = 100;
    add_after_head(g, g.models.shield, ShieldPickup, 16, 240, 100);
    add_after_head(g, g.models.shield, ShieldPickup, 16, 160, 20);
    update_entities(g);
    EXPECT_EQ(g.state.invulnerable_timer, 100);
    EXPECT_EQ(count_entities(g), 3);

    // Anywhere else in depth it just stays in the list.
    add_after_head(g, g.models.shield, ShieldPickup, 17, 160, 100);
    update_entities(g);
    EXPECT_EQ(g.state.invulnerable_timer, 100);
    EXPECT_EQ(count_entities(g), 4);
}

TEST(UpdatePickups, RepairPickupTopsUpTheShieldToFull) {
    struct Case {
        int32_t before;
        int32_t after;
        bool flashes;
    };
    for (const Case c : {Case{219, 239, true}, Case{220, 240, true}, Case{230, 240, true}, Case{240, 240, false},
                         Case{-5, 15, true}}) {
        TestWorld w;
        Game& g = *w;
        g.state.shield = c.before;
        g.video.active_palette[0] = untouched;
        add_after_head(g, g.models.heal, RepairPickup, 16, 100, 150);
        update_entities(g);
        EXPECT_EQ(g.state.shield, c.after) << "from " << c.before;
        EXPECT_EQ(g.loop.flash_pending, c.flashes) << "from " << c.before;
        EXPECT_EQ(g.video.active_palette[0], c.flashes ? 0x001F : untouched) << "from " << c.before;
        EXPECT_EQ(count_entities(g), 3);
    }

    TestWorld w;
    Game& g = *w;
    g.state.shield = 100;
    add_after_head(g, g.models.heal, RepairPickup, 16, 80, 100);  // |80 - 160| is not below 80
    update_entities(g);
    EXPECT_EQ(g.state.shield, 100);
    EXPECT_FALSE(g.loop.flash_pending);
    EXPECT_EQ(count_entities(g), 3);
}

TEST(UpdateHits, BoltsHurtAtTheirTwoPlanesUnlessProtected) {
    TestWorld w;
    Game& g = *w;
    g.video.active_palette[0] = untouched;
    add_after_head(g, g.models.bolt, Bolt, 16, 160, 100);
    add_after_head(g, g.models.bolt, Bolt, 15, 200, 60);
    add_after_head(g, g.models.bolt, Bolt, 17, 160, 100);
    update_entities(g);
    EXPECT_EQ(g.state.shield, 240 - 30);
    EXPECT_TRUE(g.loop.flash_pending);
    EXPECT_EQ(g.video.active_palette[0], 0x7E00);
    ASSERT_EQ(count_entities(g), 4);
    // The survivor moved one unit towards the player.
    EXPECT_EQ(g.entity_list->next->kind, Bolt);
    EXPECT_EQ(g.entity_list->next->z, 16);

    TestWorld w2;
    Game& p = *w2;
    p.state.invulnerable_timer = 5;
    p.video.active_palette[0] = untouched;
    add_after_head(p, p.models.bolt, Bolt, 16, 160, 100);
    add_after_head(p, p.models.bolt, Bolt, 15, 10, 10);
    update_entities(p);
    EXPECT_EQ(p.state.shield, 240);
    EXPECT_FALSE(p.loop.flash_pending);
    EXPECT_EQ(p.video.active_palette[0], untouched);
    EXPECT_EQ(count_entities(p), 3);
}

TEST(UpdateHits, RamsCostShieldWithoutColourAndAlwaysRespawn) {
    for (const int32_t protection : {0, 7}) {
        TestWorld w;
        Game& g = *w;
        g.state.invulnerable_timer = protection;
        g.video.active_palette[0] = untouched;
        seed_random(g.random, 99);
        Entity& head = *g.entity_list;
        head.z = 16;
        head.screen_x = 100;
        head.screen_y = 100;
        head.fire_cooldown = 33;
        update_entities(g);

        Draws d{99};
        const int32_t x = d.next() % 40 - 20;
        const int32_t y = d.next() % 40 - 20;
        const int32_t z = 180 + d.next() % 40;
        EXPECT_EQ(head.x, x);
        EXPECT_EQ(head.y, y);
        EXPECT_EQ(head.z, z);
        EXPECT_EQ(head.fire_cooldown, 0);  // ready to fire again when it comes back
        EXPECT_EQ(g.state.shield, protection == 0 ? 230 : 240);
        EXPECT_EQ(g.loop.flash_pending, protection == 0);
        EXPECT_EQ(g.video.active_palette[0], untouched);
        EXPECT_EQ(g.random.seed, d.seed);
        EXPECT_EQ(count_entities(g), 3);  // its cooldown was running, so it fired nothing
    }
}

TEST(UpdateLaser, RammedFighterShotInTheSameFrameCountsAndGoesBackFurther) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 300;
    seed_random(g.random, 4242);
    Entity& head = *g.entity_list;
    head.z = 316;
    head.fire_cooldown = 5;
    head.screen_x = 150;
    head.screen_y = 110;
    head.screen_size = 6;
    g.loop.firing = true;
    g.input.pointer.pointer_x = 155;  // 5 and 5 away, inside a size of 6
    g.input.pointer.pointer_y = 105;
    update_entities(g);

    Draws d{4242};
    for (int i = 0; i < 3; ++i) d.next();  // the ram's respawn
    const int32_t x = d.next() % 40 - 20;
    const int32_t y = d.next() % 40 - 20;
    const int32_t z = 300 + 200 + d.next() % 40;
    EXPECT_EQ(head.x, x);
    EXPECT_EQ(head.y, y);
    EXPECT_EQ(head.z, z);
    EXPECT_EQ(g.state.kills, 1);
    EXPECT_EQ(g.state.shield, 230);
    EXPECT_EQ(g.video.active_palette[0], 0x03E0);
    EXPECT_TRUE(g.loop.flash_pending);
}

TEST(UpdateLaser, OneFrameKillsBothFightersSharingAPoint) {
    TestWorld w;
    Game& g = *w;
    Entity& head = *g.entity_list;
    Entity& second = *head.next;
    Entity& third = *second.next;
    // The head is drawn elsewhere; the other two stand on the same spot.
    head.screen_x = 40;
    head.screen_y = 40;
    head.screen_size = 5;
    for (Entity* e : {&second, &third}) {
        e->screen_x = 200;
        e->screen_y = 120;
        e->screen_size = 4;
    }
    g.input.pointer.pointer_x = 203;
    g.input.pointer.pointer_y = 117;

    update_entities(g);  // not firing: nothing happens
    EXPECT_EQ(g.state.kills, 0);

    g.loop.firing = true;
    update_entities(g);
    EXPECT_EQ(g.state.kills, 2);
    EXPECT_EQ(head.z, 200);
    EXPECT_GE(second.z, 200);
    EXPECT_LT(second.z, 240);
    EXPECT_GE(third.z, 200);
    EXPECT_LT(third.z, 240);

    // At a distance equal to the size the fighter is missed; a size of 0 is never hit.
    g.state.kills = 0;
    second.screen_size = 3;
    third.screen_size = 0;
    update_entities(g);
    EXPECT_EQ(g.state.kills, 0);
}

TEST(UpdateLaser, EveryTwoHundredFiftiethKillGivesALife) {
    TestWorld w;
    Game& g = *w;
    for (Entity* e = g.entity_list.get(); e != nullptr; e = e->next.get()) {
        e->screen_x = 160;
        e->screen_y = 100;
        e->screen_size = 10;
    }
    g.input.pointer.pointer_x = 160;
    g.input.pointer.pointer_y = 100;
    g.loop.firing = true;

    g.state.kills = 246;  // three kills: 247, 248, 249
    update_entities(g);
    EXPECT_EQ(g.state.kills, 249);
    EXPECT_EQ(g.state.lives, 3);

    update_entities(g);  // 250, 251, 252
    EXPECT_EQ(g.state.kills, 252);
    EXPECT_EQ(g.state.lives, 4);

    g.state.kills = 497;  // 498, 499, 500
    update_entities(g);
    EXPECT_EQ(g.state.lives, 5);
}

TEST(UpdateFighters, FireOnEnteringTheZoneThenCoolDownInsideIt) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 10;
    Entity& head = *g.entity_list;
    head.z = 110;  // relative depth 100: outside the zone
    head.fire_cooldown = 3;
    update_entities(g);
    EXPECT_EQ(count_entities(g), 3);
    EXPECT_EQ(head.fire_cooldown, 3);

    head.z = 109;
    head.fire_cooldown = 0;
    head.x = 7;
    head.y = -4;
    const Entity* old_follower = head.next.get();
    update_entities(g);
    ASSERT_EQ(count_entities(g), 4);
    const Entity& bolt = *head.next;
    EXPECT_EQ(bolt.kind, Bolt);
    EXPECT_EQ(bolt.model, &g.models.bolt);
    EXPECT_EQ(bolt.x, 7);
    EXPECT_EQ(bolt.y, -4);
    EXPECT_EQ(bolt.z, 108);  // created at the fighter and moved in the same pass
    EXPECT_EQ(bolt.dz, -1);
    EXPECT_EQ(bolt.fire_cooldown, 0);
    EXPECT_EQ(head.fire_cooldown, 69);
    EXPECT_EQ(bolt.next.get(), old_follower);

    head.fire_cooldown = 1;
    update_entities(g);
    EXPECT_EQ(head.fire_cooldown, 0);
    EXPECT_EQ(count_entities(g), 4);
}

// A bolt closes in by 2 a frame: fired at relative depth 99 it is tested at 15
// 42 frames later, fired at 29 it is tested 7 frames later.
TEST(UpdateFighters, BoltsMeetThePlayerAtRelativeDepthFifteen) {
    struct Case {
        int32_t fired_at;
        int frames;
    };
    for (const Case c : {Case{99, 42}, Case{29, 7}}) {
        TestWorld w;
        Game& g = *w;
        Entity& head = *g.entity_list;
        head.z = c.fired_at;
        update_entities(g);
        camera_step(g);
        ASSERT_EQ(head.next->kind, Bolt);
        head.next->screen_x = 160;
        head.next->screen_y = 100;
        int hit_frame = 0;
        for (int frame = 1; frame <= c.frames + 1 && hit_frame == 0; ++frame) {
            if (frame == c.frames) {
                EXPECT_EQ(head.next->z - g.state.camera_z, 15);
            }
            update_entities(g);
            camera_step(g);
            if (g.state.shield != 240) hit_frame = frame;
        }
        EXPECT_EQ(hit_frame, c.frames) << "fired at " << c.fired_at;
        EXPECT_EQ(g.state.shield, 225);
        EXPECT_NE(head.next->kind, Bolt);
    }
}

TEST(UpdateFighters, RespawnDrawsXThenYThenZ) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = -7;
    seed_random(g.random, 123456789u);
    Entity& f = *g.entity_list;
    f.fire_cooldown = 44;
    respawn_fighter(g, f, 200);
    Draws d{123456789u};
    const int32_t x = d.next() % 40 - 20;
    const int32_t y = d.next() % 40 - 20;
    const int32_t z = -7 + 200 + d.next() % 40;
    EXPECT_EQ(f.x, x);
    EXPECT_EQ(f.y, y);
    EXPECT_EQ(f.z, z);
    EXPECT_EQ(f.fire_cooldown, 0);
    EXPECT_EQ(g.random.seed, d.seed);
}

}  // namespace
}  // namespace qv
