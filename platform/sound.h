// Sound cues: WAV files named after short upper-case cue names, one channel.
#pragma once

#include "platform/window.h"

namespace qv {

// Plays "<name>.wav" of the data folder: once for "GAMEOVER", looping for every
// other name.
void play_cue(Window& window, const char* name);
void stop_cue(Window& window);

}  // namespace qv
