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

std::string usage_text() {
    return "Usage: quorvaner [OPTION]...\n"
           "A first-person space shooter: aim with the mouse, fire with the left button,\n"
           "steer by pushing the pointer against the window's edges.\n"
           "\n"
           "  --fullscreen       fill the screen (Alt+Enter or F11 switch while playing)\n"
           "  --window           play in a window\n"
           "  --scale N          window size as a whole multiple of 320 x 200 (0: fit)\n"
           "  --aspect 4:3       show the picture in the shape of the screens it was drawn for\n"
           "  --aspect 1:1       square pixels (the default)\n"
           "  --mute             no music\n"
           "  --volume N         music volume from 0 to 100\n"
           "  --again            go back to the title after a game instead of ending\n"
           "  --data DIR         read the game's data files from DIR\n"
           "  --seed N           start a reproducible game (the same seed and mouse give\n"
           "                     the same game)\n"
           "  --record FILE      write the game as a mouse script that quorvaner-replay\n"
           "                     replays frame for frame\n"
           "  --playdemo FILE    play a recorded mouse script back in the window\n"
           "  --help             show this text and end\n"
           "  --version          show the version and end\n"
           "\n"
           "Controls: left button fires and starts, right button shows the credits on the\n"
           "title, Esc pauses, Alt+Enter or F11 switches fullscreen.\n";
}

}  // namespace qv
