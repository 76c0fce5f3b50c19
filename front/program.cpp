#include "front/program.h"

#include <cstdio>
#include <vector>

#include "front/startup.h"
#include "front/title.h"
#include "game/loop.h"
#include "platform/data_error.h"
#include "platform/file_reading.h"
#include "platform/sound.h"
#include "world/entity.h"

namespace qv {

namespace {

// Back to the title with everything of the last game gone but the window, the
// glyphs and the models; the new game draws its own seed.
void fresh_game(Game& game) {
    game.state = GameState{};
    game.loop = LoopValues{};
    game.input = InputState{};
    build_starting_list(game.entity_list, &game.models.tie);
    seed_random(game.random, game.window.backend->ticks());
    game.video.active_palette = game.video.default_palette;
}

void play(Game& game) {
    game.window.backend->set_playing(true);
    game_loop(game);
    game.window.backend->set_playing(false);
}

}  // namespace

void run_program(Game& game, bool again) {
    run_program(game, [again] { return again; });
}

void run_program(Game& game, const std::function<bool()>& again) {
    load_models(game.models, game.window.data_folder);
    build_starting_list(game.entity_list, &game.models.tie);
    // Read before start_up, so a bad picture fails before any window opens.
    const std::vector<uint8_t> picture = load_title_picture(file_in(game.window.data_folder, "outfile.bmp"));
    try {
        start_up(game);
        for (;;) {
            show_title(game.video, game.window, game.input, picture);
            play_cue(game.window, "THUNDER2");
            play(game);
            if (!again()) break;
            game_over_box(game);
            fresh_game(game);
        }
    } catch (const WindowClosed&) {
        // A closed window ends the program without the score box.
        return;
    }
    end_game(game);
}

int run_game(Game& game, bool again) {
    return run_game(game, [again] { return again; });
}

int run_game(Game& game, const std::function<bool()>& again) {
    try {
        run_program(game, again);
    } catch (const DataError& error) {
        std::fprintf(stderr, "quorvaner: %s\n", error.what());
        show_error(game.window, error.what());
        return 1;
    }
    return 0;
}

}  // namespace qv
