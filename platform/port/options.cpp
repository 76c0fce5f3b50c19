#include "platform/port/options.h"

#include <limits>

#include "platform/excerpt.h"

namespace qv {

namespace {

constexpr int32_t most_scale = 16;

std::optional<bool> parse_switch(std::string_view value) {
    if (value == "1" || value == "true" || value == "yes" || value == "on") return true;
    if (value == "0" || value == "false" || value == "no" || value == "off") return false;
    return std::nullopt;
}

std::optional<Aspect> parse_aspect(std::string_view value) {
    if (value == "4:3") return Aspect::FourThree;
    if (value == "1:1" || value == "16:10" || value == "off") return Aspect::SquarePixels;
    return std::nullopt;
}

}  // namespace

bool apply_setting(PortSettings& settings, std::string_view key, std::string_view value, std::string& error) {
    if (key == "scale") {
        const auto scale = parse_in_range(value, 0, most_scale);
        if (!scale) {
            error = "scale wants a whole number from 0 (fit the screen) to 16, not " + quoted_excerpt(value);
            return false;
        }
        settings.scale = static_cast<int32_t>(*scale);
    } else if (key == "volume") {
        const auto volume = parse_in_range(value, 0, 100);
        if (!volume) {
            error = "volume wants a whole number from 0 to 100, not " + quoted_excerpt(value);
            return false;
        }
        settings.volume = static_cast<int32_t>(*volume);
    } else if (key == "aspect") {
        const auto aspect = parse_aspect(value);
        if (!aspect) {
            error = "aspect wants 4:3 or 1:1, not " + quoted_excerpt(value);
            return false;
        }
        settings.aspect = *aspect;
    } else if (key == "fullscreen" || key == "mute" || key == "again") {
        const auto on = parse_switch(value);
        if (!on) {
            error = std::string(key) + " wants 1 or 0, not " + quoted_excerpt(value);
            return false;
        }
        (key == "fullscreen" ? settings.fullscreen : key == "mute" ? settings.mute : settings.again) = *on;
    } else {
        error = "unknown setting " + quoted_excerpt(key);
        return false;
    }
    return true;
}

std::string settings_text(const PortSettings& s) {
    return "# Quorvaner settings; the command line overrides them.\n[quorvaner]\nscale = " + std::to_string(s.scale) +
           "\nfullscreen = " + (s.fullscreen ? "1" : "0") +
           "\naspect = " + (s.aspect == Aspect::FourThree ? "4:3" : "1:1") + "\nvolume = " + std::to_string(s.volume) +
           "\nmute = " + (s.mute ? "1" : "0") + "\nagain = " + (s.again ? "1" : "0") + "\n";
}

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
                const auto seed = parse_in_range(value, 0, std::numeric_limits<uint32_t>::max());
                if (!seed) {
                    error = "--seed wants a whole number from 0 to 4294967295, not " + quoted_excerpt(value);
                    return std::nullopt;
                }
                options.seed = static_cast<uint32_t>(*seed);
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
