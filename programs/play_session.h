// What an interactive entry point does around the game once it has a window
// back end: find the data, apply the player's options, run the game, and write
// the recording. Shared by the SDL and the Windows programs.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/port/options.h"

namespace qv {

// Returns the process exit status.
int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir);

// One line for a data problem: standard error and a message box.
void report_data_problem(BackEnd& window, const std::string& message);

}  // namespace qv
