#include "programs/play_session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "front/program.h"
#include "game/game.h"
#include "platform/excerpt.h"
#include "platform/port/data_lookup.h"
#include "platform/port/port_backend.h"

#ifndef QV_INSTALLED_DATA_DIR
#define QV_INSTALLED_DATA_DIR ""
#endif

namespace qv {

namespace {

// The first file the game reads; a folder without it holds no game data.
constexpr const char* probe_file = "tie.obj";

std::string absolute(const std::string& path) {
    std::error_code failure;
    const std::filesystem::path full = std::filesystem::absolute(path, failure);
    return failure ? path : full.string();
}

// The first line of a script, where a recording keeps its seed.
std::string first_line(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char line[max_script_line + 1] = {};
    in.getline(line, sizeof line);
    return line;
}

}  // namespace

void report_data_problem(BackEnd& window, const std::string& message) {
    std::fprintf(stderr, "quorvaner: %s\n", message.c_str());
    window.message_box("Quorvaner", message.c_str());
}

int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir) {
    // Paths the player gave are taken from where the game was started.
    const std::string record = options.record ? absolute(*options.record) : std::string();
    const std::string demo = options.playdemo ? absolute(*options.playdemo) : std::string();

    const std::vector<std::string> folders = data_search_path(options.data_dir, exe_dir, QV_INSTALLED_DATA_DIR);
    const std::optional<std::string> folder = find_data_folder(folders, probe_file);
    if (!folder) {
        report_data_problem(window, data_not_found(probe_file, folders));
        return 1;
    }
    std::error_code failure;
    std::filesystem::current_path(*folder, failure);
    if (failure) {
        report_data_problem(window, *folder + ": cannot be entered");
        return 1;
    }

    PortBackEnd port(window);
    port.seed = options.seed;
    port.recording = options.record.has_value();
    if (options.playdemo) {
        std::string error;
        auto script = load_mouse_script(demo, error);
        if (!script) {
            report_data_problem(window, error);
            return 1;
        }
        port.demo = std::move(*script);
        if (!port.seed) port.seed = script_seed(first_line(demo)).value_or(0);
    }

    const auto game = std::make_unique<Game>();
    game->window.backend = &port;
    // A recording or a demo is one game, as the replay tool plays it.
    const bool again = options.settings.again && !options.record && !options.playdemo;
    const int status = run_game(*game, again);

    if (options.record) {
        std::ofstream out(record, std::ios::binary);
        out << port.recording_text();
        if (!out.flush()) {
            std::fprintf(stderr, "quorvaner: cannot write the recording %s\n", file_name_excerpt(record).c_str());
            return status == 0 ? 1 : status;
        }
    }
    return status;
}

}  // namespace qv
