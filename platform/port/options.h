// The game's command line and its settings file: the player's choices around
// the game, never the game's rules.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/settings.h"

namespace qv {

inline constexpr int64_t max_demo_speed = 16;

struct ProgramOptions {
    PortSettings settings;
    std::optional<std::string> data_dir;  // --data: searched first
    std::optional<uint32_t> seed;         // --seed: the tick count start-up reads
    std::optional<std::string> record;    // --record: the session written as a mouse script
    std::optional<std::string> playdemo;  // --playdemo: a mouse script played in the window
    std::optional<uint32_t> demo_speed;   // --demo-speed: a demo played this many times faster
    bool scores = false;                  // --scores: print the best scores and end
    bool help = false;
    bool version = false;
};

// The arguments after the program name, over settings already read from the
// settings file. Returns the options, or sets `error` to one line.
std::optional<ProgramOptions> parse_program_options(const std::vector<std::string>& args, const PortSettings& defaults,
                                                    std::string& error);

// What each device does, for --help and the menu's controls page: every
// control the game reads, in a few words each.
struct ControlHelp {
    std::string_view device;
    std::string_view use;
};
std::span<const ControlHelp> controls_help();

// The usage text of --help, for a terminal of 80 columns.
std::string usage_text();
// The same for a message box in a proportional font: each option on a line of
// its own and its meaning under it.
std::string usage_box_text();

}  // namespace qv
