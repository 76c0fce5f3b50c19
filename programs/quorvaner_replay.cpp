// Runs the whole program on the headless back end and prints its trace.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "front/program.h"
#include "game/game.h"
#include "platform/data_error.h"
#include "platform/excerpt.h"
#include "platform/file_reading.h"
#include "platform/headless/headless.h"
#include "platform/headless/picture_files.h"
#include "platform/headless/replay_options.h"
#include "programs/game_data.h"

namespace {

constexpr int exit_bad_usage = 2;
constexpr int exit_bad_data = 1;

void complain(const std::string& message) { std::fprintf(stderr, "quorvaner-replay: %s\n", message.c_str()); }

void print_line(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int32_t count_entities(const qv::Game& game) {
    int32_t count = 0;
    for (const qv::Entity* e = game.entity_list.get(); e != nullptr; e = e->next.get()) ++count;
    return count;
}

std::string state_line(const qv::Game& game) {
    const qv::GameState& s = game.state;
    char line[256];
    std::snprintf(line, sizeof line, "state %d %d %d %d %d %d %d %d %d %d %d %d", s.level, s.lives, s.shield,
                  s.laser_energy, s.laser_overheated, s.invulnerable_timer, s.kills, s.camera_z, s.steer_x, s.steer_y,
                  game.loop.firing ? 1 : 0, count_entities(game));
    return line;
}

// The one line of --summary: the score as the game-over box shows it (the
// kills followed by two zeros), then level, kills and spare lives at the end of
// the run, whether the game was lost ("over") or the run was cut short by the
// script or --max-pumps ("limit"), and the pumps and presents it took.
std::string summary_line(const qv::Game& game, bool limit_reached, uint64_t pumps, uint64_t presents) {
    const qv::GameState& s = game.state;
    char line[256];
    std::snprintf(line, sizeof line,
                  "summary score %" PRId64 " level %d kills %d lives %d end %s pumps %" PRIu64 " presents %" PRIu64,
                  int64_t{s.kills} * 100, s.level, s.kills, s.lives, limit_reached ? "limit" : "over", pumps, presents);
    return line;
}

// "--summary" is the tool's own option, taken out before the shared ones are
// parsed. True when it was given.
bool take_summary_flag(std::vector<std::string>& args) {
    const auto end = std::remove(args.begin(), args.end(), std::string("--summary"));
    const bool given = end != args.end();
    args.erase(end, args.end());
    return given;
}

struct Recorder {
    const qv::ReplayOptions* options = nullptr;
    bool quiet = false;  // --summary: no trace
    std::set<uint64_t> shots;
    uint64_t presents = 0;
    bool shot_failed = false;

    void on_present(const qv::Game& game, const qv::DisplaySurface& surface) {
        ++presents;
        if (!quiet) {
            char line[64];
            const uint32_t crc = qv::surface_crc(surface.pixels);
            std::snprintf(line, sizeof line, "present %" PRIu64 " %08" PRIx32, presents, crc);
            print_line(line);
            if (options->state) print_line(state_line(game));
        }
        if (shots.count(presents) != 0) {
            const std::filesystem::path path =
                std::filesystem::path(options->shot_dir) / ("present-" + std::to_string(presents) + ".png");
            std::string error;
            if (!qv::write_picture_png(path.string(), surface.pixels, error)) {
                complain(error);
                shot_failed = true;
            }
        }
    }
};

constexpr const char* usage =
    "Usage: quorvaner-replay [--seed N] [--input FILE] [--max-pumps N] [--state] [--shot K]... [--shot-dir DIR]\n"
    "                        [--data DIR] [--timing] [--summary]\n"
    "Runs the whole game without a window, the mouse driven by a script of 'P X Y L R' lines,\n"
    "and prints a trace of every presented frame, sound cue and message box.\n"
    "A recording's \"# args:\" lines give its seed and, for a session that was closed, its last\n"
    "pump; --seed and --max-pumps override them (defaults: 0 and 10000000).\n"
    "--summary prints, instead of the trace, one line at the end of the run:\n"
    "  summary score S level L kills K lives N end over|limit pumps P presents F\n"
    "  (S as the game-over box shows it, kills x 100; 'over' when the game was lost,\n"
    "  'limit' when the script or --max-pumps stopped it first).\n"
    "The data files are read from --data DIR, or else the current folder, the checkout's data/,\n"
    "the program's folder, ../share/quorvaner beside it, or the installed data folder.\n"
    "--timing adds one line on standard error: presents per second and microseconds per present.\n";

// The folder of this program, from the system's own record of it.
std::string exe_folder(const char* argv0) {
    std::error_code failure;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failure);
    if (failure) self = std::filesystem::absolute(argv0, failure);
    return failure ? std::string() : self.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::fputs(usage, stdout);
        return 0;
    }
    const bool summary = take_summary_flag(args);
    std::string error;
    std::optional<qv::ReplayOptions> options = qv::parse_replay_options(args, error);
    if (!options) {
        complain(error);
        return exit_bad_usage;
    }

    std::vector<qv::MouseScriptEntry> script;
    qv::ScriptArgs recorded;
    if (options->input) {
        std::optional<qv::LoadedScript> loaded = qv::load_mouse_script(*options->input, error);
        if (!loaded) {
            complain(error);
            return exit_bad_usage;
        }
        script = std::move(loaded->entries);
        recorded = loaded->args;
    }

    if (!options->shots.empty() && !qv::prepare_shot_dir(options->shot_dir, error)) {
        complain(error);
        return exit_bad_usage;
    }
    const qv::DataLookup data = qv::look_up_data(qv::game_data_places(options->data_dir, exe_folder(argv[0])));
    if (!data.folder) {
        complain(data.problem);
        return data.chosen_without_data ? exit_bad_usage : exit_bad_data;
    }

    auto backend = std::make_unique<qv::HeadlessBackEnd>();
    backend->script = std::move(script);
    backend->max_pumps = options->max_pumps.value_or(recorded.max_pumps.value_or(10000000));
    backend->start_ticks = options->seed.value_or(recorded.seed.value_or(0));
    if (summary) {
        backend->trace = [](const std::string&) {};
    } else {
        backend->trace = print_line;
    }

    Recorder recorder;
    recorder.options = &*options;
    recorder.quiet = summary;
    recorder.shots.insert(options->shots.begin(), options->shots.end());

    auto game = std::make_unique<qv::Game>();
    game->window.backend = backend.get();
    game->window.data_folder = *data.folder;
    backend->on_present = [&recorder, &game = *game](const qv::PresentedFrame& picture) {
        recorder.on_present(game, picture.surface);
    };

    const auto started = std::chrono::steady_clock::now();
    try {
        qv::run_program(*game);
    } catch (const qv::DataError& failure) {
        std::fflush(stdout);
        complain(failure.what());
        return exit_bad_data;
    }

    if (summary) {
        print_line(summary_line(*game, backend->limit_reached, backend->pumps, recorder.presents));
    } else {
        char last[96];
        std::snprintf(last, sizeof last, "%s %" PRIu64 " %" PRIu64 " %" PRIu64,
                      backend->limit_reached ? "limit" : "end", backend->pumps, recorder.presents, backend->sleeps);
        print_line(last);
    }
    std::fflush(stdout);
    if (options->timing) {
        // Wall time of the whole run, printing included, as a player of a
        // timed demo would count it.
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        const double seconds = took.count();
        const double presents = static_cast<double>(recorder.presents);
        std::fprintf(stderr, "timing: %" PRIu64 " presents in %.3f s, %.0f presents/s, %.2f us per present\n",
                     recorder.presents, seconds, seconds > 0 ? presents / seconds : 0.0,
                     presents > 0 ? seconds * 1e6 / presents : 0.0);
    }
    return recorder.shot_failed ? exit_bad_data : 0;
}
