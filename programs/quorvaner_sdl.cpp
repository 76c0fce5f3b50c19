// The game on a real window: SDL for the picture, the mouse and the sound.
#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/port/options.h"
#include "platform/port/settings.h"
#include "platform/sdl/sdl_backend.h"
#include "programs/play_session.h"
#include "qv_version.h"

namespace {

// The settings file in SDL's place for the player's files.
std::string settings_path() {
    char* folder = SDL_GetPrefPath("Quorvaner", "quorvaner");
    if (folder == nullptr) return {};
    std::string path = std::string(folder) + "settings.ini";
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
    const std::string settings_file = settings_path();
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
    // Written once, so the player can find and edit it; never over anything.
    std::vector<std::string> notices = settings.report();
    if (!settings_file.empty() && !settings.found) {
        if (const auto problem = qv::write_default_settings(settings_file)) notices.push_back(*problem);
    }
    // The back end outlives the game.
    const auto backend = std::make_unique<qv::SdlBackEnd>(options->settings);
    return qv::play_session(*backend, *options, exe_folder(), notices);
}
