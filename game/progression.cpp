#include "game/progression.h"

#include "game/flash.h"
#include "game/update.h"
#include "platform/sound.h"

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
Vec3 spawn_position(Random& random, int32_t camera_z) {
    const int32_t z = camera_z + spawn_depth + next_random(random) % 40;
    const int32_t y = next_random(random) % 40 - 20;
    const int32_t x = next_random(random) % 40 - 20;
    return make_vec3(x, y, z);
}

void spawn_after_head(EntityList& list, Random& random, int32_t camera_z, const Model& model, int32_t kind) {
    const Vec3 at = spawn_position(random, camera_z);
    insert_after(*list, new_entity(make_instance(&model, at), kind, make_vec3(0, 0, 0), nullptr));
}

bool cleared_on_reset(int32_t kind) {
    return kind == Bolt || kind == RepairPickup || kind == ShieldPickup || kind == Bomb;
}

// The flashing of a sequence; a closed window ends it at its pump.
void flash_frames(Game& game, int32_t frames, uint16_t colour) {
    for (int32_t k = 1; k <= frames; ++k) {
        sequence_flash(game.video.active_palette, k, colour);
        end_frame(game.video, game.window, FrameEnd::SleepPresentPump);
    }
}

}  // namespace

void spawn_step(EntityList& list, const Models& models, Random& random, int32_t camera_z) {
    const int32_t roll = next_random(random) % roll_range;
    if (roll < repair_rolls_end) {
        spawn_after_head(list, random, camera_z, models.heal, RepairPickup);
    } else if (roll < shield_rolls_end) {
        spawn_after_head(list, random, camera_z, models.shield, ShieldPickup);
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
    if (game.state.kills < kills_for_level(game.state)) return false;
    clear_level(game);
    spawn_after_head(game.entity_list, game.random, game.state.camera_z, game.models.tie, Fighter);
    game.state.level += 1;
    return true;
}

int32_t kills_for_level(const GameState& state) { return state.level * 100; }

void reset_board(EntityList& list, Random& random, int32_t camera_z) {
    Entity* head = list.get();
    if (head == nullptr) return;
    respawn_fighter(*head, reset_depth, camera_z, random);
    Entity* before = head;
    while (before->next) {
        Entity& e = *before->next;
        if (cleared_on_reset(e.kind)) {
            remove_after(*before);
            continue;
        }
        if (e.kind == Fighter) respawn_fighter(e, reset_depth, camera_z, random);
        before = &e;
    }
}

// Both sequences refill the laser and take the protection away; only a lost
// life refills the shield, which carries over into the next level.
void lose_life(Game& game) {
    GameState& s = game.state;
    stop_cue(game.window);
    reset_board(game.entity_list, game.random, s.camera_z);
    s.shield = full_shield;
    s.laser_energy = full_energy;
    s.laser_overheated = 0;
    s.invulnerable_timer = 0;
    flash_frames(game, life_loss_frames, life_loss_colour);
    play_cue(game.window, "THUNDER2");
}

void clear_level(Game& game) {
    GameState& s = game.state;
    stop_cue(game.window);
    reset_board(game.entity_list, game.random, s.camera_z);
    s.laser_energy = full_energy;
    s.laser_overheated = 0;
    s.invulnerable_timer = 0;
    play_cue(game.window, "CLEAR");
    flash_frames(game, level_clear_frames, level_clear_colour);
    stop_cue(game.window);
    play_cue(game.window, "THUNDER2");
}

}  // namespace qv
