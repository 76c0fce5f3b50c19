// What an interactive entry point does around the game once it has a window
// back end: find the data, apply the player's options, run the game, and write
// the recording. Shared by the SDL and the Windows programs.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/port/options.h"

namespace qv {

// Returns the process exit status: 0, 1 for unusable data or a recording that
// could not be finished, 2 for a --data, --record or --playdemo that cannot be used.
// `notices` (problems with the settings file) go to standard error and, once
// the window is open, into a box.
int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir,
                 const std::vector<std::string>& notices);

// One line for a problem the player must see: standard error and a message box.
void report_problem(BackEnd& window, const std::string& message);

}  // namespace qv
