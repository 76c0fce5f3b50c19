// The game on a real window: SDL for the picture, the mouse and the sound.
#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/port/options.h"
#include "platform/port/settings.h"
#include "platform/sdl/file_sync.h"
#include "platform/sdl/sdl_backend.h"
#include "programs/play_session.h"
#include "qv_version.h"

namespace {

// SDL's place for the player's files (settings.ini, scores.txt), or nothing.
std::string player_folder() {
    char* folder = SDL_GetPrefPath("Quorvaner", "quorvaner");
    if (folder == nullptr) return {};
    std::string path = folder;
    SDL_free(folder);
    return path;
}

std::string exe_folder() {
    char* base = SDL_GetBasePath();
    if (base == nullptr) return {};
    std::string folder = base;
    SDL_free(base);
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = player_folder();
    const std::string settings_file = folder.empty() ? std::string() : folder + "settings.ini";
    const std::string scores_file = folder.empty() ? std::string() : folder + "scores.txt";
    qv::SettingsRead settings;
    if (!settings_file.empty()) settings = qv::read_settings_file(settings_file);
    std::string error;
    const auto options =
        qv::parse_program_options(std::vector<std::string>(argv + 1, argv + argc), settings.settings, error);
    if (!options) {
        std::fprintf(stderr, "quorvaner: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(qv::usage_text().c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("quorvaner %s\n", QV_VERSION);
        return 0;
    }
    qv::install_file_sync();
    if (options->scores) {
        std::fputs(qv::scores_report(scores_file).c_str(), stdout);
        return 0;
    }
    // Written once, so the player can find and edit it; never over anything.
    std::vector<std::string> notices = settings.report();
    if (!settings_file.empty() && !settings.found) {
        if (const auto problem = qv::write_default_settings(settings_file)) notices.push_back(*problem);
    }
    // The back end outlives the game.
    const auto backend = std::make_unique<qv::SdlBackEnd>(options->settings);
    return qv::play_session(*backend, *options, exe_folder(), notices,
                            {&backend->player(), settings_file, scores_file, "\n"});
}
