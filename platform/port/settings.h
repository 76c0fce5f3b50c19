// The player's settings file (settings.ini): one table of keys with their
// ranges, read the same way on every platform. The reader never waits on or
// follows anything but a regular file, never takes more than a small file,
// refuses an overlong line or one with a NUL byte as a whole, and reports each
// fault once (file, line, key, the value and what is used instead), the first
// few and then a count. The defaults are written only where no file exists;
// a change the player makes in the game rewrites only its own lines, keeping
// the player's comments, other keys and sections, and replaces the file whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port_settings.h"

namespace qv {

// The longest line and the largest file a settings file may have.
inline constexpr std::size_t max_settings_line = 255;
inline constexpr std::size_t max_settings_size = 65536;
// Problems told one by one; the rest are counted.
inline constexpr std::size_t max_settings_problems = 5;

// One key of the [quorvaner] section (scale, fullscreen, aspect, volume, mute,
// again, pad_speed, key_speed, dead_zone). False with `error` set for an unknown key or a bad value ("volume
// wants a whole number from 0 to 100, not \"loud\""); nothing changes then.
bool apply_setting(PortSettings& settings, std::string_view key, std::string_view value, std::string& error);

// The settings as the settings file writes them, each line ending in `line_end`.
std::string settings_text(const PortSettings& settings, std::string_view line_end = "\n");

// The value of one key as the file writes it ("1", "4:3", "80"); empty for an unknown key.
std::string setting_text(const PortSettings& settings, std::string_view key);

// `text`, a settings file, with the lines of `keys` in its [quorvaner] section
// set to their values in `settings`, and those it lacks added to the section
// (and the section to the end when there is none). Every other line, comments,
// unknown keys and other sections, stays as it was; new lines end as the
// file's lines do, or in `line_end` in an empty file.
std::string rewritten_settings(std::string_view text, const PortSettings& settings,
                               const std::vector<std::string_view>& keys, std::string_view line_end = "\n");

struct SettingsRead {
    PortSettings settings;
    bool found = false;                 // something exists at the path (a file or not)
    std::vector<std::string> problems;  // one line each, the first few
    std::size_t more_problems = 0;      // not told one by one

    // The problems as lines, the count of the rest last.
    std::vector<std::string> report() const;
};

// The settings in `text`, `source` naming the file in the problems.
SettingsRead parse_settings(std::string_view text, const std::string& source);

// The settings file at `path`; a missing file gives the defaults with no
// problem, anything that cannot be read gives the defaults and one problem.
SettingsRead read_settings_file(const std::string& path);

// Writes the defaults to `path` only when nothing at all is there (a dangling
// link included), creating its folder. Returns the problem, or nothing.
std::optional<std::string> write_default_settings(const std::string& path, std::string_view line_end = "\n");

// Saves the values of `keys` into the settings file at `path` (see
// rewritten_settings), written whole (whole_file.h); a missing file starts from
// the defaults. A file that cannot be read whole, a link or anything but a
// regular file is left as it is. Returns the problem, or nothing.
std::optional<std::string> save_settings(const std::string& path, const PortSettings& settings,
                                         const std::vector<std::string_view>& keys, std::string_view line_end = "\n");

}  // namespace qv
