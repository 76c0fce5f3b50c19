#include "platform/sound.h"

#include <cstring>
#include <string>

#include "game/game.h"
#include "platform/platform.h"

namespace qv {

void play_cue(Game& game, const char* name) {
    const std::string file_name = std::string(name) + ".wav";
    // Only the exact cue name, never the file name, picks the one-shot mode.
    const bool loop = std::strcmp(name, "GAMEOVER") != 0;
    if (game.window.backend == nullptr) return;
    platform_play_sound(*game.window.backend, file_name.c_str(), loop);
}

void stop_cue(Game& game) {
    if (game.window.backend == nullptr) return;
    platform_stop_sound(*game.window.backend);
}

void silent_cue(Game& /*game*/, const char* /*name*/) {}

}  // namespace qv
