#include "game/update.h"

#include <cstdint>
#include <cstdlib>

#include "game/flash.h"

namespace qv {

namespace {

constexpr int32_t player_plane = 16;
constexpr int32_t firing_zone = 100;
constexpr int32_t fire_cooldown_frames = 70;
constexpr int32_t protection_frames = 490;
constexpr int32_t repair_amount = 20;
constexpr int32_t bolt_damage = 15;
constexpr int32_t ram_damage = 10;
constexpr int32_t kills_per_life = 250;
constexpr int32_t ram_respawn_depth = 180;
constexpr int32_t kill_respawn_depth = 200;

constexpr uint16_t repair_flash = 0x001F;
constexpr uint16_t bolt_flash = 0x7E00;
constexpr uint16_t kill_flash = 0x03E0;

// What one update pass works on.
struct Pass {
    GameState& state;
    LoopValues& loop;
    const PointerBlock& pointer;
    const Models& models;
    Random& random;
};

int32_t relative_depth(const Pass& pass, const Entity& e) { return e.z - pass.state.camera_z; }

// Only things projected near the middle of the screen reach the ship.
bool in_central_window(const Entity& e) { return std::abs(e.screen_x - 160) < 80 && std::abs(e.screen_y - 100) < 80; }

// The pointer may rest anywhere on the window frame, so the distance is taken
// in 64 bits to stay exact for any cursor position.
bool under_pointer(const Entity& e, const PointerBlock& p) {
    const int64_t size = e.screen_size;
    return std::llabs(int64_t{e.screen_x} - p.pointer_x) < size && std::llabs(int64_t{e.screen_y} - p.pointer_y) < size;
}

void fire_bolt(const Pass& pass, Entity& fighter) {
    const ModelInstance at = make_instance(&pass.models.bolt, make_vec3(fighter.x, fighter.y, fighter.z));
    insert_after(fighter, new_entity(at, Bolt, make_vec3(0, 0, -1), nullptr));
    fighter.fire_cooldown = fire_cooldown_frames;
}

// Steps 1 to 6 for one entity; true when it has to leave the list.
bool apply_rules(const Pass& pass, Entity& e) {
    GameState& s = pass.state;

    if (e.kind == ShieldPickup && relative_depth(pass, e) == player_plane) {
        if (in_central_window(e)) s.invulnerable_timer = protection_frames;
        return true;
    }

    if (e.kind == RepairPickup && relative_depth(pass, e) == player_plane) {
        if (in_central_window(e) && s.shield < full_shield) {
            s.shield = s.shield <= full_shield - repair_amount ? s.shield + repair_amount : full_shield;
            request_flash(pass.loop, repair_flash);
        }
        return true;
    }

    if (e.kind == Fighter && relative_depth(pass, e) < firing_zone) {
        if (e.fire_cooldown == 0) fire_bolt(pass, e);
        // The cooldown runs down only inside the zone, so a shot leaves 69.
        if (e.fire_cooldown != 0) e.fire_cooldown -= 1;
    }

    // A bolt closes in by 2 a frame, so it crosses the plane at either 16 or 15.
    if (e.kind == Bolt && (relative_depth(pass, e) == player_plane || relative_depth(pass, e) == player_plane - 1)) {
        if (s.invulnerable_timer == 0 && in_central_window(e)) {
            s.shield -= bolt_damage;
            request_flash(pass.loop, bolt_flash);
        }
        return true;
    }

    if (e.kind == Fighter && relative_depth(pass, e) == player_plane) {
        if (s.invulnerable_timer == 0 && in_central_window(e)) {
            s.shield -= ram_damage;
            request_shake(pass.loop);  // a ram shakes but writes no colour
        }
        respawn_fighter(e, ram_respawn_depth, s.camera_z, pass.random);
    }

    // Uses the screen spot of this frame's render even if a ram just moved it away.
    if (e.kind == Fighter && pass.loop.firing && under_pointer(e, pass.pointer)) {
        respawn_fighter(e, kill_respawn_depth, s.camera_z, pass.random);
        s.kills += 1;
        if (s.kills % kills_per_life == 0) s.lives += 1;
        request_flash(pass.loop, kill_flash);
    }
    return false;
}

}  // namespace

void respawn_fighter(Entity& fighter, int32_t base_depth, int32_t camera_z, Random& random) {
    fighter.fire_cooldown = 0;
    fighter.x = next_random(random) % 40 - 20;
    fighter.y = next_random(random) % 40 - 20;
    fighter.z = camera_z + base_depth + next_random(random) % 40;
}

void update_entities(EntityList& list, GameState& state, LoopValues& loop, const PointerBlock& pointer,
                     const Models& models, Random& random) {
    const Pass pass{state, loop, pointer, models, random};
    Entity* before = nullptr;
    Entity* e = list.get();
    while (e != nullptr) {
        if (apply_rules(pass, *e)) {
            // The entity before stays the one before; the walk goes on with the follower.
            if (before != nullptr) {
                remove_after(*before);
                e = before->next.get();
            } else {
                list = std::move(list->next);
                e = list.get();
            }
            continue;
        }
        e->x += e->dx;
        e->y += e->dy;
        e->z += e->dz;
        before = e;
        e = e->next.get();
    }
}

}  // namespace qv
