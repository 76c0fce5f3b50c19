#include "platform/port/options.h"

#include <algorithm>

#include "platform/excerpt.h"
#include "platform/mouse_script.h"

namespace qv {

namespace {

// The settings the command line sets by value, as --NAME with dashes for the
// file's underscores (--pad-speed sets pad_speed).
constexpr std::string_view setting_options[] = {"--scale",     "--aspect",    "--volume",
                                                "--pad-speed", "--key-speed", "--dead-zone"};

bool is_setting_option(std::string_view option) {
    for (const std::string_view known : setting_options) {
        if (option == known) return true;
    }
    return false;
}

std::string setting_name(std::string_view option) {
    std::string name(option.substr(2));
    for (char& c : name) c = c == '-' ? '_' : c;
    return name;
}

// The setting's message as the option would say it: "pad_speed wants ..." is
// "pad-speed wants ...".
std::string option_name(std::string message) {
    const size_t space = message.find(' ');
    for (size_t i = 0; i < std::min(space, message.size()); ++i) message[i] = message[i] == '_' ? '-' : message[i];
    return message;
}

}  // namespace

std::optional<ProgramOptions> parse_program_options(const std::vector<std::string>& args, const PortSettings& defaults,
                                                    std::string& error) {
    ProgramOptions options;
    options.settings = defaults;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--version") {
            options.version = true;
        } else if (option == "--fullscreen") {
            options.settings.fullscreen = true;
        } else if (option == "--window") {
            options.settings.fullscreen = false;
        } else if (option == "--mute") {
            options.settings.mute = true;
        } else if (option == "--again") {
            options.settings.again = true;
        } else if (option == "--scores") {
            options.scores = true;
        } else if (is_setting_option(option) || option == "--data" || option == "--seed" || option == "--record" ||
                   option == "--playdemo" || option == "--demo-speed") {
            if (i + 1 >= args.size()) {
                error = option + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (is_setting_option(option)) {
                if (!apply_setting(options.settings, setting_name(option), value, error)) {
                    error = "--" + option_name(error);
                    return std::nullopt;
                }
            } else if (option == "--seed") {
                options.seed = parse_seed(value, error);
                if (!options.seed) return std::nullopt;
            } else if (option == "--demo-speed") {
                const auto speed = parse_option_number(option, value, 1, max_demo_speed, error);
                if (!speed) return std::nullopt;
                options.demo_speed = static_cast<uint32_t>(*speed);
            } else if (value.empty()) {
                error = option + " wants a non-empty name";
                return std::nullopt;
            } else if (option == "--data") {
                options.data_dir = value;
            } else if (option == "--record") {
                options.record = value;
            } else {
                options.playdemo = value;
            }
        } else {
            error = "unknown argument " + quoted_excerpt(option);
            return std::nullopt;
        }
    }
    if (options.record && options.playdemo) {
        error = "--record and --playdemo cannot be used together";
        return std::nullopt;
    }
    if (options.demo_speed && !options.playdemo) {
        error = "--demo-speed needs --playdemo";
        return std::nullopt;
    }
    return options;
}

namespace {

struct OptionHelp {
    std::string_view option;
    std::string_view meaning;
};

constexpr OptionHelp option_help[] = {
    {"--fullscreen", "fill the screen (Alt+Enter or F11 switch while playing)"},
    {"--window", "play in a window"},
    {"--scale N", "window size as a whole multiple of 320 x 200 (0: fit)"},
    {"--aspect 4:3", "show the picture in the shape of the screens it was drawn for"},
    {"--aspect 1:1", "square pixels (the default)"},
    {"--mute", "no music"},
    {"--volume N", "music volume from 0 to 100"},
    {"--pad-speed N", "how fast a pad's stick moves the crosshair, 1 to 10 (5)"},
    {"--key-speed N", "how fast the arrow keys move the crosshair, 1 to 10 (5)"},
    {"--dead-zone N", "how far the stick moves before the crosshair does, in percent of its travel, 0 to 50 (20)"},
    {"--again", "go back to the title after a game instead of ending"},
    {"--data DIR", "read the game's data files from DIR"},
    {"--seed N", "start a reproducible game (the same seed and mouse give the same game)"},
    {"--record FILE",
     "write the game as a mouse script that plays it again frame for frame (whatever the hands "
     "were on)"},
    {"--playdemo FILE", "play a recorded mouse script back in the window"},
    {"--demo-speed N", "play the --playdemo script N times faster, 1 to 16"},
    {"--scores", "print the best scores and where they are kept, and end"},
    {"--help", "show this text and end"},
    {"--version", "show the version and end"},
};

constexpr std::string_view summary =
    "A first-person space shooter: aim the crosshair, fire the twin lasers, steer by pushing the crosshair "
    "against the window's edges.";

constexpr ControlHelp control_help[] = {
    {"Mouse", "Move: aim. Left: fire, start. Right: the credits on the title."},
    {"Keyboard", "Arrows, WASD: aim. Space, Ctrl: fire. Enter: start. C: credits."},
    {"Pad", "Stick: aim. A, trigger: fire, start. B: credits. Start: menu."},
    {"Touch", "Drag: aim. Tap: click. Long press: credits. 2nd finger, FIRE: fire. Pause: menu."},
    {"Steering", "Hold the crosshair on an edge."},
    {"Window", "Esc: menu. F11, Alt+Enter: fullscreen."},
    {"Menu", "Arrows, stick, d-pad: move. Enter, Space, A, click, tap: choose. Esc, B: back."},
};

constexpr std::string_view menu_words =
    "The menu (Esc, Start, the pause control, or leaving the window) pauses the game: Resume, Options (scale, "
    "fullscreen, aspect, volume, mute, play again, the pad and keys speeds, saved at once to settings.ini), "
    "Best scores, Controls and Quit. Alt+Enter or F11 are saved too.";

// `text` broken between words into lines of at most `width` characters, the
// first starting at `column` (what is already on its line), every later one
// after `indent` spaces.
std::string wrapped(std::string_view text, size_t width, size_t indent, size_t column = 0) {
    std::string out;
    bool line_started = false;
    for (const std::string_view word : split_fields(text)) {
        if (line_started && column + 1 + word.size() > width) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            line_started = false;
        }
        if (line_started) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        line_started = true;
    }
    return out;
}

}  // namespace

std::span<const ControlHelp> controls_help() { return control_help; }

std::string usage_text() {
    constexpr size_t width = 80;
    constexpr size_t column = 21;
    constexpr size_t device_column = 14;
    std::string text = "Usage: quorvaner [OPTION]...\n" + wrapped(summary, width, 0) + "\n\n";
    // Each meaning in a column of its own, its later lines under its first word.
    for (const OptionHelp& help : option_help) {
        std::string line = "  " + std::string(help.option);
        line += std::string(column - line.size(), ' ');
        text += line + wrapped(help.meaning, width, column, column) + "\n";
    }
    text += "\nControls:\n";
    for (const ControlHelp& help : control_help) {
        std::string line = "  " + std::string(help.device);
        line += std::string(device_column - line.size(), ' ');
        text += line + wrapped(help.use, width, device_column, device_column) + "\n";
    }
    return text + "  " + wrapped(menu_words, width, 2, 2) + "\n";
}

std::string usage_box_text() {
    std::string text = "quorvaner.exe [option]...\n\n" + std::string(summary) + "\n";
    // A box's font is proportional: no columns, one option a line.
    for (const OptionHelp& help : option_help) {
        text += "\n" + std::string(help.option) + ":  " + std::string(help.meaning);
    }
    text += "\n\nControls:";
    for (const ControlHelp& help : control_help) {
        text += "\n" + std::string(help.device) + ":  " + std::string(help.use);
    }
    return text + "\n\n" + std::string(menu_words);
}

}  // namespace qv
