#include "game/progression.h"

#include "game/game.h"
#include "game/update.h"
#include "platform/frame.h"
#include "platform/sound.h"
#include "platform/window.h"

namespace qv {

namespace {

constexpr int32_t roll_range = 6000;
constexpr int32_t repair_rolls_end = 5;   // rolls 0 to 4
constexpr int32_t shield_rolls_end = 10;  // rolls 5 to 9
constexpr int32_t spawn_depth = 180;
constexpr int32_t reset_depth = 180;

constexpr int32_t life_loss_frames = 105;
constexpr uint16_t life_loss_colour = 0x7FE0;
constexpr int32_t level_clear_frames = 245;
constexpr uint16_t level_clear_colour = 0x7C1F;

// Depth first, then y, then x: the order the draws are taken in matters for replays.
Vec3 spawn_position(Game& game) {
    const int32_t z = game.state.camera_z + spawn_depth + next_random(game.random) % 40;
    const int32_t y = next_random(game.random) % 40 - 20;
    const int32_t x = next_random(game.random) % 40 - 20;
    return make_vec3(x, y, z);
}

void spawn_after_head(Game& game, const Model& model, int32_t kind) {
    const Vec3 at = spawn_position(game);
    insert_after(*game.entity_list, new_entity(make_instance(&model, at), kind, make_vec3(0, 0, 0), nullptr));
}

bool cleared_on_reset(int32_t kind) {
    return kind == Bolt || kind == RepairPickup || kind == ShieldPickup || kind == Bomb;
}

// Frame k (from 1) shows the colour on even k, black on odd k, so the last is black.
// False when the window was closed during the flashing.
bool flash_frames(Game& game, int32_t frames, uint16_t colour, bool with_idle_hook) {
    for (int32_t k = 1; k <= frames; ++k) {
        game.video.active_palette[0] = k % 2 == 0 ? colour : 0;
        wait_frame(game);
        present_frame(game);
        pump_messages(game);
        if (window_closed(game)) return false;
        if (with_idle_hook) idle_hook(game);
    }
    return true;
}

}  // namespace

void spawn_step(Game& game) {
    const int32_t roll = next_random(game.random) % roll_range;
    if (roll < repair_rolls_end) {
        spawn_after_head(game, game.models.heal, RepairPickup);
    } else if (roll < shield_rolls_end) {
        spawn_after_head(game, game.models.shield, ShieldPickup);
    }
}

void death_test(Game& game) {
    GameState& s = game.state;
    if (s.shield > 0) return;
    if (s.lives == 0) {
        // The frame still runs to its end; the loop stops at its next test.
        game.loop.running = false;
        s.game_over = 1;
        return;
    }
    s.lives -= 1;
    lose_life(game);
}

bool level_test(Game& game) {
    if (game.state.kills < kills_for_level(game)) return false;
    clear_level(game);
    if (window_closed(game)) return true;
    spawn_after_head(game, game.models.tie, Fighter);
    game.state.level += 1;
    return true;
}

int32_t kills_for_level(const Game& game) { return game.state.level * 100; }

void reset_board(Game& game) {
    Entity* head = game.entity_list.get();
    if (head == nullptr) return;
    respawn_fighter(game, *head, reset_depth);
    Entity* before = head;
    while (before->next) {
        Entity& e = *before->next;
        if (cleared_on_reset(e.kind)) {
            remove_after(*before);
            continue;
        }
        if (e.kind == Fighter) respawn_fighter(game, e, reset_depth);
        before = &e;
    }
}

void lose_life(Game& game) {
    GameState& s = game.state;
    stop_cue(game);
    reset_board(game);
    s.shield = full_shield;
    s.laser_energy = full_energy;
    s.laser_overheated = 0;
    s.invulnerable_timer = 0;
    if (!flash_frames(game, life_loss_frames, life_loss_colour, false)) return;
    play_cue(game, "THUNDER2");
}

void clear_level(Game& game) {
    GameState& s = game.state;
    stop_cue(game);
    reset_board(game);
    // The shield carries over into the next level.
    s.laser_energy = full_energy;
    s.laser_overheated = 0;
    s.invulnerable_timer = 0;
    play_cue(game, "CLEAR");
    if (!flash_frames(game, level_clear_frames, level_clear_colour, true)) return;
    stop_cue(game);
    play_cue(game, "THUNDER2");
}

}  // namespace qv
