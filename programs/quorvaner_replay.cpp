// Runs the whole program on the headless back end and prints its trace.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "front/program.h"
#include "game/game.h"
#include "platform/data_error.h"
#include "platform/headless/headless.h"
#include "platform/headless/picture_files.h"
#include "platform/headless/replay_options.h"

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

struct Recorder {
    const qv::ReplayOptions* options = nullptr;
    std::set<uint64_t> shots;
    uint64_t presents = 0;
    bool shot_failed = false;

    void on_present(const qv::Game& game, const qv::DisplaySurface& surface) {
        ++presents;
        char line[64];
        const uint32_t crc = qv::surface_crc(surface.pixels);
        std::snprintf(line, sizeof line, "present %" PRIu64 " %08" PRIx32, presents, crc);
        print_line(line);
        if (options->state) print_line(state_line(game));
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

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<qv::ReplayOptions> options =
        qv::parse_replay_options(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        complain(error);
        return exit_bad_usage;
    }

    std::vector<qv::MouseScriptEntry> script;
    if (options->input) {
        std::optional<std::vector<qv::MouseScriptEntry>> loaded = qv::load_mouse_script(*options->input, error);
        if (!loaded) {
            complain(error);
            return exit_bad_usage;
        }
        script = std::move(*loaded);
    }

    if (!options->shots.empty() && !qv::prepare_shot_dir(options->shot_dir, error)) {
        complain(error);
        return exit_bad_usage;
    }

    auto backend = std::make_unique<qv::HeadlessBackEnd>();
    backend->script = std::move(script);
    backend->max_pumps = options->max_pumps;
    backend->start_ticks = options->seed;
    backend->trace = print_line;

    Recorder recorder;
    recorder.options = &*options;
    recorder.shots.insert(options->shots.begin(), options->shots.end());

    auto game = std::make_unique<qv::Game>();
    game->window.backend = backend.get();
    backend->on_present = [&recorder, &game = *game](const qv::PresentedFrame& picture) {
        recorder.on_present(game, picture.surface);
    };

    try {
        qv::run_program(*game);
    } catch (const qv::DataError& failure) {
        std::fflush(stdout);
        complain(failure.what());
        return exit_bad_data;
    }

    char last[96];
    std::snprintf(last, sizeof last, "%s %" PRIu64 " %" PRIu64 " %" PRIu64, backend->limit_reached ? "limit" : "end",
                  backend->pumps, recorder.presents, backend->sleeps);
    print_line(last);
    std::fflush(stdout);
    return recorder.shot_failed ? exit_bad_data : 0;
}
