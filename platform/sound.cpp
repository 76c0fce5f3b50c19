#include "platform/sound.h"

#include <cstring>
#include <string>

#include "platform/file_reading.h"

namespace qv {

void play_cue(Window& window, const char* name) {
    const std::string file_name = file_in(window.data_folder, std::string(name) + ".wav");
    // Only the exact cue name, never the file name, picks the one-shot mode.
    const bool loop = std::strcmp(name, "GAMEOVER") != 0;
    window.backend->play_sound(file_name.c_str(), loop);
}

void stop_cue(Window& window) { window.backend->stop_sound(); }

}  // namespace qv
