#include "front/program.h"

#include <cstdio>
#include <vector>

#include "front/startup.h"
#include "front/title.h"
#include "game/loop.h"
#include "platform/data_error.h"
#include "platform/sound.h"

namespace qv {

void run_program(Game& game) {
    load_models(game.models);
    build_starting_list(game.entity_list, &game.models.tie);
    // Read before start_up, so a bad picture fails before any window opens.
    const std::vector<uint8_t> picture = load_title_picture("outfile.bmp");
    try {
        start_up(game);
        show_title(game.video, game.window, game.input, picture);
        play_cue(game.window, "THUNDER2");
        game_loop(game);
    } catch (const WindowClosed&) {
        // A closed window ends the program without the score box.
        return;
    }
    end_game(game);
}

int run_game(Game& game) {
    try {
        run_program(game);
    } catch (const DataError& error) {
        std::fprintf(stderr, "quorvaner: %s\n", error.what());
        show_message(game.window, "Quorvaner", error.what());
        return 1;
    }
    return 0;
}

}  // namespace qv
