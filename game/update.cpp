#include "game/update.h"

#include <cstdint>
#include <cstdlib>

#include "game/game.h"
#include "platform/sound.h"

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

int32_t relative_depth(const Game& game, const Entity& e) { return e.z - game.state.camera_z; }

// Only things projected near the middle of the screen reach the ship.
bool in_central_window(const Entity& e) {
    return std::abs(e.screen_x - 160) < 80 && std::abs(e.screen_y - 100) < 80;
}

// The pointer may rest anywhere on the window frame, so the distance is taken
// in 64 bits to stay exact for any cursor position.
bool under_pointer(const Entity& e, const PointerBlock& p) {
    const int64_t size = e.screen_size;
    return std::llabs(int64_t{e.screen_x} - p.pointer_x) < size && std::llabs(int64_t{e.screen_y} - p.pointer_y) < size;
}

void flash(Game& game, uint16_t colour) {
    game.video.active_palette[0] = colour;
    game.loop.flash_pending = true;
}

void fire_bolt(Game& game, Entity& fighter) {
    const ModelInstance at = make_instance(&game.models.bolt, make_vec3(fighter.x, fighter.y, fighter.z));
    insert_after(fighter, new_entity(at, Bolt, make_vec3(0, 0, -1), nullptr));
    fighter.fire_cooldown = fire_cooldown_frames;
}

// Steps 1 to 6 for one entity; true when it has to leave the list.
bool apply_rules(Game& game, Entity& e) {
    GameState& s = game.state;

    if (e.kind == ShieldPickup && relative_depth(game, e) == player_plane) {
        if (in_central_window(e)) s.invulnerable_timer = protection_frames;
        return true;
    }

    if (e.kind == RepairPickup && relative_depth(game, e) == player_plane) {
        if (in_central_window(e) && s.shield < full_shield) {
            s.shield = s.shield <= full_shield - repair_amount ? s.shield + repair_amount : full_shield;
            flash(game, repair_flash);
        }
        return true;
    }

    if (e.kind == Fighter && relative_depth(game, e) < firing_zone) {
        if (e.fire_cooldown == 0) fire_bolt(game, e);
        // The cooldown runs down only inside the zone, so a shot leaves 69.
        if (e.fire_cooldown != 0) e.fire_cooldown -= 1;
    }

    // A bolt closes in by 2 a frame, so it crosses the plane at either 16 or 15.
    if (e.kind == Bolt && (relative_depth(game, e) == player_plane || relative_depth(game, e) == player_plane - 1)) {
        if (s.invulnerable_timer == 0 && in_central_window(e)) {
            s.shield -= bolt_damage;
            flash(game, bolt_flash);
        }
        return true;
    }

    if (e.kind == Fighter && relative_depth(game, e) == player_plane) {
        if (s.invulnerable_timer == 0 && in_central_window(e)) {
            s.shield -= ram_damage;
            game.loop.flash_pending = true;  // a ram shakes but writes no colour
        }
        respawn_fighter(game, e, ram_respawn_depth);
    }

    // Uses the screen spot of this frame's render even if a ram just moved it away.
    if (e.kind == Fighter && game.loop.firing && under_pointer(e, game.input.pointer)) {
        silent_cue(game, "LASER");
        respawn_fighter(game, e, kill_respawn_depth);
        s.kills += 1;
        if (s.kills % kills_per_life == 0) s.lives += 1;
        flash(game, kill_flash);
    }
    return false;
}

}  // namespace

void respawn_fighter(Game& game, Entity& fighter, int32_t base_depth) {
    fighter.fire_cooldown = 0;
    fighter.x = next_random(game.random) % 40 - 20;
    fighter.y = next_random(game.random) % 40 - 20;
    fighter.z = game.state.camera_z + base_depth + next_random(game.random) % 40;
}

void update_entities(Game& game) {
    Entity* before = nullptr;
    Entity* e = game.entity_list.get();
    while (e != nullptr) {
        if (apply_rules(game, *e)) {
            // The entity before stays the one before; the walk goes on with the follower.
            if (before != nullptr) {
                remove_after(*before);
                e = before->next.get();
            } else {
                game.entity_list = std::move(game.entity_list->next);
                e = game.entity_list.get();
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
