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
#include "platform/port/best_scores.h"
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

// Saves every change the player makes in the window; a file that cannot take
// it is reported once.
void keep_settings(PlayerSide& player, const PlayerFiles& files) {
    if (files.settings_path.empty()) return;
    player.settings_changed = [path = files.settings_path, line_end = files.line_end, told = false](
                                  const PortSettings& settings, std::string_view key) mutable {
        const auto problem = save_settings(path, settings, {key}, line_end);
        if (problem && !told) {
            told = true;
            std::fprintf(stderr, "quorvaner: %s\n", problem->c_str());
        }
    };
}

}  // namespace

std::string scores_report(const std::string& scores_path) {
    if (scores_path.empty()) return "No place for the best scores was found.\n";
    std::string text = "Best scores (" + scores_path + "):\n";
    const ScoresRead read = read_scores_file(scores_path);
    if (read.problem) text += *read.problem + "\n";
    for (const std::string& line : score_lines(read.table)) text += line + "\n";
    return text;
}

void report_problem(BackEnd& window, const std::string& message) {
    std::fprintf(stderr, "quorvaner: %s\n", message.c_str());
    window.error_box(message.c_str());
}

int play_session(BackEnd& window, const ProgramOptions& options, const std::string& exe_dir,
                 const std::vector<std::string>& settings_notices, const PlayerFiles& files) {
    std::vector<std::string> notices = settings_notices;
    if (!files.scores_path.empty()) {
        // A damaged table is set aside now, and told once with the settings' problems.
        const ScoresRead scores = read_scores_file(files.scores_path);
        if (scores.problem) notices.push_back(*scores.problem);
        if (files.player != nullptr) files.player->set_scores(scores.table);
    }
    for (const std::string& notice : notices) std::fprintf(stderr, "quorvaner: %s\n", notice.c_str());
    if (files.player != nullptr) keep_settings(*files.player, files);

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
    port.demo_speed = options.demo_speed.value_or(1);

    // The lost game into the table, and the table after its box when it made it.
    std::optional<size_t> place;
    ScoreTable table;
    if (!files.scores_path.empty()) {
        port.game_over = [&] {
            const ScoreEntry entry{int64_t{game->state.kills} * 100, game->state.level, game->state.kills, local_date(),
                                   port.game_seed().value_or(0)};
            ScoresSave save = add_score_to_file(files.scores_path, entry, files.line_end);
            for (const std::string& problem : save.problems) std::fprintf(stderr, "quorvaner: %s\n", problem.c_str());
            place = save.place;
            table = std::move(save.table);
            if (files.player != nullptr) files.player->set_scores(table);
        };
        port.score_box_closed = [&] {
            if (place && files.player != nullptr) files.player->show_scores(table, *place);
            place.reset();
        };
    }

    // A recording or a demo is one game, as the replay tool plays it.
    const bool one_game = options.record || options.playdemo;
    const bool again_fixed = options.settings.again;
    const int status = run_game(*game, [&] {
        if (one_game) return false;
        return files.player != nullptr ? files.player->settings().again : again_fixed;
    });

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
