#include "platform/port/options.h"

#include "platform/excerpt.h"
#include "platform/mouse_script.h"

namespace qv {

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
        } else if (option == "--scale" || option == "--aspect" || option == "--volume" || option == "--data" ||
                   option == "--seed" || option == "--record" || option == "--playdemo") {
            if (i + 1 >= args.size()) {
                error = option + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (option == "--scale" || option == "--aspect" || option == "--volume") {
                if (!apply_setting(options.settings, std::string_view(option).substr(2), value, error)) {
                    error = "--" + error;
                    return std::nullopt;
                }
            } else if (option == "--seed") {
                options.seed = parse_seed(value, error);
                if (!options.seed) return std::nullopt;
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
    {"--again", "go back to the title after a game instead of ending"},
    {"--data DIR", "read the game's data files from DIR"},
    {"--seed N", "start a reproducible game (the same seed and mouse give the same game)"},
    {"--record FILE", "write the game as a mouse script that plays it again frame for frame"},
    {"--playdemo FILE", "play a recorded mouse script back in the window"},
    {"--help", "show this text and end"},
    {"--version", "show the version and end"},
};

constexpr std::string_view summary =
    "A first-person space shooter: aim with the mouse, fire with the left button, steer by pushing the pointer "
    "against the window's edges.";

constexpr std::string_view controls =
    "Controls: left button fires and starts, right button shows the credits on the title, Esc pauses, Alt+Enter "
    "or F11 switches fullscreen.";

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

std::string usage_text() {
    constexpr size_t width = 80;
    constexpr size_t column = 21;
    std::string text = "Usage: quorvaner [OPTION]...\n" + wrapped(summary, width, 0) + "\n\n";
    // Each meaning in a column of its own, its later lines under its first word.
    for (const OptionHelp& help : option_help) {
        std::string line = "  " + std::string(help.option);
        line += std::string(column - line.size(), ' ');
        text += line + wrapped(help.meaning, width, column, column) + "\n";
    }
    return text + "\n" + wrapped(controls, width, 0) + "\n";
}

std::string usage_box_text() {
    std::string text = "quorvaner.exe [option]...\n\n" + std::string(summary) + "\n";
    // A box's font is proportional: no columns, one option a line.
    for (const OptionHelp& help : option_help) {
        text += "\n" + std::string(help.option) + ":  " + std::string(help.meaning);
    }
    return text + "\n\n" + std::string(controls);
}

}  // namespace qv
