// The replay tool's command line and its mouse script. Parsing never throws:
// a fault comes back as one line of text for standard error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/mouse_script.h"

namespace qv {

// Seed and pump count as given; where the command line is silent a script's
// "# args:" line decides, and then the defaults (0 and 10000000).
struct ReplayOptions {
    std::optional<uint32_t> seed;
    std::optional<std::string> input;  // no script: pointer at (0, 0), buttons up
    std::optional<uint64_t> max_pumps;
    std::optional<std::string> data_dir;  // the only folder the data is read from
    bool state = false;
    bool timing = false;          // presents per second on standard error at the end
    std::vector<uint64_t> shots;  // present numbers whose pictures are written
    std::string shot_dir = ".";
};

// The arguments after the program name. Returns the options, or sets `error`.
std::optional<ReplayOptions> parse_replay_options(const std::vector<std::string>& args, std::string& error);

// Creates the shot folder when it is missing and checks that a file can be
// written in it, so a bad folder is reported before the run starts.
bool prepare_shot_dir(const std::string& dir, std::string& error);

}  // namespace qv
