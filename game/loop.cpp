#include "game/loop.h"

#include <cstdio>

#include "game/controls.h"
#include "game/flash.h"
#include "game/progression.h"
#include "game/update.h"
#include "hud/cockpit.h"
#include "hud/hud.h"
#include "platform/sound.h"
#include "world/render.h"

namespace qv {

namespace {

HudReadings hud_readings(const Game& game) {
    const GameState& s = game.state;
    HudReadings readings;
    readings.pointer_x = game.input.pointer.pointer_x;
    readings.pointer_y = game.input.pointer.pointer_y;
    readings.firing = game.loop.firing;
    readings.beam_phase = game.loop.beam_phase;
    readings.laser_energy = s.laser_energy;
    readings.shield = s.shield;
    readings.kills = s.kills;
    readings.lives = s.lives;
    return readings;
}

}  // namespace

void game_loop(Game& game) {
    game.loop.running = true;
    game.loop.firing = false;
    game.loop.flash_pending = false;
    game.loop.beam_phase = false;
    while (game.loop.running) run_frame(game);
}

void run_frame(Game& game) {
    GameState& s = game.state;
    FrameBuffer& frame = game.video.frame;
    draw_cockpit(frame, {s.level, s.steer_x, s.steer_y, s.camera_z});
    render_entities(frame, game.entity_list, camera_position(s.steer_x, s.steer_y, s.camera_z));
    draw_hud(frame, hud_readings(game), game.glyphs);
    // The gun pairs take turns, one pair a firing frame.
    if (game.loop.firing) game.loop.beam_phase = !game.loop.beam_phase;
    flash_step(game.video.active_palette, game.loop, s.invulnerable_timer);
    read_input(game.window.mouse, game.input);
    if (s.invulnerable_timer != 0) s.invulnerable_timer -= 1;
    update_entities(game.entity_list, s, game.loop, game.input.pointer, game.models, game.random);
    show_requested_flash(game.video.active_palette, game.loop);
    spawn_step(game.entity_list, game.models, game.random, s.camera_z);
    death_test(game);
    // A cleared level ends the frame: no steering, laser, camera, present or sleep.
    if (level_test(game)) return;
    steering_step(s, game.input.pointer);
    laser_step(s, game.loop.firing, game.input.buttons);
    camera_step(s);
    end_frame(game.video, game.window, FrameEnd::PresentPumpSleep);
}

void game_over_box(Game& game) {
    stop_cue(game.window);
    play_cue(game.window, "GAMEOVER");
    if (game.state.game_over != 0) {
        char text[96];
        // The score is the kill count followed by two zeros.
        std::snprintf(text, sizeof text, "You've been Quorvaned! Your final score was %d00",
                      static_cast<int>(game.state.kills));
        show_message(game.window, "GAME OVER", text);
    }
}

void end_game(Game& game) {
    game_over_box(game);
    destroy_display_window(game.window);
}

}  // namespace qv
