#include "programs/play_session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "front/program.h"
#include "game/game.h"
#include "platform/excerpt.h"
#include "platform/file_reading.h"
#include "platform/mouse_script.h"
#include "platform/port/port_backend.h"
#include "programs/game_data.h"

namespace qv {

namespace {

constexpr int exit_bad_data = 1;
constexpr int exit_bad_option = 2;

// The recording, written as the game goes: a game cut short leaves a file that
// replays up to the cut.
class RecordingFile {
public:
    // Nothing, or why the file cannot be written.
    std::optional<std::string> open(const std::string& path) {
        path_ = path;
        std::error_code failure;
        const auto type = std::filesystem::status(path_of(path), failure).type();
        if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular) {
            return problem("is not a plain file");
        }
        out_.open(path_of(path), std::ios::binary | std::ios::trunc);
        if (!out_) return problem("cannot be created");
        return std::nullopt;
    }
    void write(const std::string& text) {
        if (failed_) return;
        out_ << text;
        // Flushed at once: a killed program loses nothing already written.
        failed_ = !out_.flush();
    }
    std::optional<std::string> fault() const {
        return failed_ ? problem("cannot be written") : std::optional<std::string>();
    }

private:
    std::string problem(const std::string& what) const {
        return "the recording " + file_name_excerpt(path_) + " " + what;
    }
    std::string path_;
    std::ofstream out_;
    bool failed_ = false;
};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

void report_problem(BackEnd& window, const std::string& message) {
    std::fprintf(stderr, "quorvaner: %s\n", message.c_str());
    window.error_box(message.c_str());
}

int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir,
                 const std::vector<std::string>& notices) {
    for (const std::string& notice : notices) std::fprintf(stderr, "quorvaner: %s\n", notice.c_str());

    const DataLookup data = look_up_data(game_data_places(options.data_dir, exe_dir));
    if (!data.folder) {
        report_problem(window, data.problem);
        return data.chosen_without_data ? exit_bad_option : exit_bad_data;
    }

    PortBackEnd port(window);
    port.seed = options.seed;
    port.notice = joined(notices);
    if (options.playdemo) {
        std::string error;
        const std::optional<LoadedScript> script = load_mouse_script(*options.playdemo, error);
        if (!script || script->entries.empty()) {
            report_problem(window,
                           script ? file_name_excerpt(*options.playdemo) + ": the demo holds no mouse entries" : error);
            return exit_bad_option;
        }
        // A recording replays as it was recorded: its seed, and its end when the
        // player closed it, unless the command line says otherwise.
        if (!port.seed) port.seed = script->args.seed;
        port.demo_end = script->args.max_pumps;
        port.demo = script->entries;
    }
    if (!port.seed) port.seed = fresh_seed();

    RecordingFile recording;
    if (options.record) {
        if (const auto problem = recording.open(*options.record)) {
            report_problem(window, *problem);
            return exit_bad_option;
        }
        port.start_recording([&recording](const std::string& text) { recording.write(text); });
        if (const auto problem = recording.fault()) {
            report_problem(window, *problem);
            return exit_bad_option;
        }
    }

    const auto game = std::make_unique<Game>();
    game->window.backend = &port;
    game->window.data_folder = *data.folder;
    // A recording or a demo is one game, as the replay tool plays it.
    const bool again = options.settings.again && !options.record && !options.playdemo;
    const int status = run_game(*game, again);

    if (options.record) {
        port.finish_recording();
        if (const auto problem = recording.fault()) {
            std::fprintf(stderr, "quorvaner: %s\n", problem->c_str());
            return status == 0 ? exit_bad_data : status;
        }
    }
    return status;
}

}  // namespace qv
