#include "front/startup.h"

#include "game/random.h"
#include "platform/file_reading.h"

namespace qv {

void start_up(Game& game) {
    seed_random(game.random, game.window.backend->ticks());

    // The window does not exist yet, so this first reading is the pointer at
    // (0, 0) with no button held: the title's first left-button test sees that.
    read_input(game.window.mouse, game.input);

    // Read before the window opens so a bad glyph file never flashes a window.
    load_glyph_file(game.glyphs, file_in(game.window.data_folder, "dat.bin"));

    game.state.steer_x = 0;
    game.state.steer_y = 0;
    game.state.camera_z = 0;

    init_video(game.video, game.window);
}

void init_video(Video& video, Window& window) {
    set_default_palette(video);
    create_display_window(window);
    video.frame.fill(0);
    video.active_palette = video.default_palette;
}

}  // namespace qv
