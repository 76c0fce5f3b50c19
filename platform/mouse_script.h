// Mouse scripts: the mouse of a whole run as text, one line per change, keyed to
// the program's own pump count so a run is reproducible anywhere. The replay
// tool, recordings and demos all speak it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace qv {

// From pump `pump` on (counting from 1), the cursor rests at (x, y) and the
// buttons are left as given once the pump has dispatched.
struct MouseScriptEntry {
    uint64_t pump = 1;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t left = 0;
    uint8_t right = 0;
};

// The longest script line and the largest script read: far beyond any real
// script, small enough that a wrong file is refused before it costs much.
inline constexpr size_t max_script_line = 200;
inline constexpr size_t max_script_size = size_t{16} << 20;

// Lines of "P X Y L R"; blank lines and # comments are skipped. `source` names
// the script in error messages.
std::optional<std::vector<MouseScriptEntry>> parse_mouse_script(const std::string& text, const std::string& source,
                                                                std::string& error);

// A seed as the command line or a script gives it: the tick count start-up
// reads, 0 to 4294967295. Nothing, with `error` set, for anything else.
std::optional<uint32_t> parse_seed(std::string_view text, std::string& error);

// What a script's "# args:" lines ask for, as a recording writes them: the seed
// of the game and, for a session the player closed, the pump it ended at. Later
// lines add to earlier ones; other words are left to whoever reads the script.
struct ScriptArgs {
    std::optional<uint32_t> seed;
    std::optional<uint64_t> max_pumps;
};
ScriptArgs script_args(std::string_view text);

struct LoadedScript {
    std::vector<MouseScriptEntry> entries;
    ScriptArgs args;
};

// Reads and parses the script file at `path`; anything but a regular file, a
// file that cannot be read or one over max_script_size is refused with a message.
std::optional<LoadedScript> load_mouse_script(const std::string& path, std::string& error);

// A mouse that follows a script: the cursor it stands at and the button events
// that bring the buttons to where the script wants them.
class ScriptedMouse {
public:
    std::vector<MouseScriptEntry> script;  // strictly increasing pumps; may grow while it is followed
    CursorPosition cursor;

    // Takes up every entry whose pump has come.
    void follow(uint64_t pump);
    // The next button change still to be delivered; false when the buttons are there.
    bool next_button_event(WindowEvent& event);

private:
    size_t next_ = 0;
    uint8_t left_ = 0;
    uint8_t right_ = 0;
    uint8_t delivered_left_ = 0;
    uint8_t delivered_right_ = 0;
};

}  // namespace qv
