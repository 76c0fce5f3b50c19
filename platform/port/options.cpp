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
        } else if (is_setting_option(option) || option == "--data" || option == "--seed" || option == "--record" ||
                   option == "--playdemo") {
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

std::string usage_text() {
    return "Usage: quorvaner [OPTION]...\n"
           "A first-person space shooter: aim the crosshair, fire the twin lasers, steer\n"
           "by pushing the crosshair against the window's edges.\n"
           "\n"
           "  --fullscreen       fill the screen (Alt+Enter or F11 switch while playing)\n"
           "  --window           play in a window\n"
           "  --scale N          window size as a whole multiple of 320 x 200 (0: fit)\n"
           "  --aspect 4:3       show the picture in the shape of the screens it was drawn for\n"
           "  --aspect 1:1       square pixels (the default)\n"
           "  --mute             no music\n"
           "  --volume N         music volume from 0 to 100\n"
           "  --pad-speed N      how fast a pad's stick moves the crosshair, 1 to 10 (5)\n"
           "  --key-speed N      how fast the arrow keys move the crosshair, 1 to 10 (5)\n"
           "  --dead-zone N      how far the stick moves before the crosshair does, in\n"
           "                     percent of its travel, 0 to 50 (20)\n"
           "  --again            go back to the title after a game instead of ending\n"
           "  --data DIR         read the game's data files from DIR\n"
           "  --seed N           start a reproducible game (the same seed and mouse give\n"
           "                     the same game)\n"
           "  --record FILE      write the game as a mouse script that quorvaner-replay\n"
           "                     replays frame for frame (whatever the hands were on)\n"
           "  --playdemo FILE    play a recorded mouse script back in the window\n"
           "  --help             show this text and end\n"
           "  --version          show the version and end\n"
           "\n"
           "Controls:\n"
           "  Mouse       aim; left button fires and starts; right button shows the\n"
           "              credits on the title\n"
           "  Keyboard    arrows or WASD aim (faster while held); Space or Ctrl fires;\n"
           "              Enter starts on the title; C shows the credits\n"
           "  Pad         left stick aims; A or a trigger fires and starts; B shows\n"
           "              the credits; Start pauses\n"
           "  Touch       drag anywhere to move the crosshair; a tap starts and\n"
           "              clicks; a second finger fires while held; a long press on\n"
           "              the title shows the credits\n"
           "  Steering    hold the crosshair against an edge of the picture\n"
           "  Esc pauses (a click, Esc or Start resumes); Alt+Enter or F11 switches\n"
           "  fullscreen.\n";
}

}  // namespace qv
