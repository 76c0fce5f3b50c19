// Everything prepared before the first picture: the random seed, the input
// reader, the glyph file and the window.
#pragma once

#include <string>

#include "hud/hud.h"

namespace qv {

struct Game;

void start_up(Game& game);

// Reads the first 832 bytes of a glyph file; throws DataError when it is
// missing, unreadable or shorter.
void load_glyph_file(GlyphFont& glyphs, const std::string& file_name);

}  // namespace qv
