#include "front/startup.h"

#include <algorithm>

#include "front/file_prefix.h"
#include "game/game.h"
#include "game/random.h"
#include "platform/frame.h"
#include "platform/window.h"

namespace qv {

void load_glyph_file(GlyphFont& glyphs, const std::string& file_name) {
    const std::vector<uint8_t> bytes =
        read_file_prefix(file_name, static_cast<int32_t>(glyphs.size()), "the glyph file");
    std::copy(bytes.begin(), bytes.end(), glyphs.begin());
}

void start_up(Game& game) {
    seed_random(game.random, platform_ticks(*game.window.backend));

    game.window.input_reader = read_input;
    // The window does not exist yet, so this first reading is the pointer at
    // (0, 0) with no button held: the title's first left-button test sees that.
    call_input_reader(game);

    // Read before the window opens so a bad glyph file never flashes a window.
    load_glyph_file(game.glyphs, "dat.bin");

    game.state.steer_x = 0;
    game.state.steer_y = 0;
    game.state.camera_z = 0;

    init_video(game, 0x13);
}

}  // namespace qv
