// What an interactive entry point does around the game once it has a window
// back end: find the data, apply the player's options, run the game, and write
// the recording. Shared by the SDL and the Windows programs.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/port/options.h"
#include "platform/port/player_side.h"

namespace qv {

// The player's side of the window and the player's files beside each other:
// the settings the window's changes are saved to and the best scores. Empty
// paths keep nothing.
struct PlayerFiles {
    PlayerSide* player = nullptr;
    std::string settings_path;
    std::string scores_path;
    std::string line_end = "\n";
};

// Returns the process exit status: 0, 1 for unusable data or a recording that
// could not be finished, 2 for a --data, --record or --playdemo that cannot be used.
// `notices` (problems with the settings file) go to standard error and, once
// the window is open, into a box.
// Every game that is lost goes into the best scores (a demo's too); when it
// makes the table, the table is shown after its score box.
int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir,
                 const std::vector<std::string>& notices, const PlayerFiles& files = {});

// What --scores prints: where the table is kept and the table.
std::string scores_report(const std::string& scores_path);

// One line for a problem the player must see: standard error and a message box.
void report_problem(BackEnd& window, const std::string& message);

}  // namespace qv
