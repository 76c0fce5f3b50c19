#include "game/loop.h"

#include <cstdio>

#include "front/startup.h"
#include "front/title.h"
#include "game/controls.h"
#include "game/game.h"
#include "game/progression.h"
#include "game/update.h"
#include "hud/cockpit.h"
#include "hud/hud.h"
#include "platform/frame.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "world/data_error.h"
#include "world/render.h"

namespace qv {

namespace {

constexpr int32_t tint_divisor = 16;

}  // namespace

void run_program(Game& game) {
    load_models(game.models);
    build_starting_list(game.entity_list, &game.models.tie);
    // Read before start_up, so a bad picture fails before any window opens.
    const std::vector<uint8_t> picture = load_title_picture("outfile.bmp");
    start_up(game);
    if (window_closed(game)) return;
    show_title(game, picture);
    if (window_closed(game)) return;
    play_cue(game, "THUNDER2");
    game_loop(game);
    // A closed window ends the program without the score box.
    if (window_closed(game)) return;
    end_game(game);
}

void game_loop(Game& game) {
    game.loop.running = true;
    game.loop.firing = false;
    game.loop.flash_pending = false;
    game.hud.beam_phase = false;
    while (game.loop.running) {
        run_frame(game);
        if (window_closed(game)) return;
    }
}

void run_frame(Game& game) {
    draw_cockpit(game);
    render_entities(game);
    draw_hud(game);
    flash_step(game);
    idle_hook(game);
    call_input_reader(game);
    if (game.state.invulnerable_timer != 0) game.state.invulnerable_timer -= 1;
    update_entities(game);
    spawn_step(game);
    death_test(game);
    if (window_closed(game)) return;
    // A cleared level ends the frame: no steering, laser, camera, present or sleep.
    if (level_test(game)) return;
    steering_step(game);
    laser_step(game);
    camera_step(game);
    present_frame(game);
    pump_messages(game);
    if (window_closed(game)) return;
    wait_frame(game);
}

void flash_step(Game& game) {
    uint16_t& background = game.video.active_palette[0];
    if (game.loop.flash_pending) {
        game.loop.flash_pending = false;
        background = 0;
    }
    // Pure blue fading with the protection; it overrides any other flash.
    if (game.state.invulnerable_timer != 0) {
        background = static_cast<uint16_t>(game.state.invulnerable_timer / tint_divisor);
    }
}

void end_game(Game& game) {
    stop_cue(game);
    play_cue(game, "GAMEOVER");
    if (game.state.game_over != 0) {
        char text[96];
        // The score is the kill count followed by two zeros.
        std::snprintf(text, sizeof text, "You've been Quorvaned! Your final score was %d00",
                      static_cast<int>(game.state.kills));
        if (game.window.backend != nullptr) platform_message_box(*game.window.backend, "GAME OVER", text);
    }
    destroy_display_window(game);
}

int run_game(Game& game) {
    try {
        run_program(game);
    } catch (const DataError& error) {
        std::fprintf(stderr, "quorvaner: %s\n", error.what());
        if (game.window.backend != nullptr) platform_message_box(*game.window.backend, "Quorvaner", error.what());
        return 1;
    }
    return 0;
}

}  // namespace qv
