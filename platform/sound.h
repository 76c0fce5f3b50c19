// Sound cues: WAV files named after short upper-case cue names, one channel.
#pragma once

namespace qv {

struct Game;

// Plays "<name>.wav": once for "GAMEOVER", looping for every other name.
void play_cue(Game& game, const char* name);
void stop_cue(Game& game);
// Takes a cue name and plays nothing (the laser hit).
void silent_cue(Game& game, const char* name);

}  // namespace qv
