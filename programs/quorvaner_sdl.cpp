// The game on a real window: SDL for the picture, the mouse and the sound.
#include <SDL.h>
#include <ini.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/port/options.h"
#include "platform/sdl/sdl_backend.h"
#include "programs/play_session.h"
#include "qv_version.h"

namespace {

struct SettingsFile {
    std::string path;
    qv::PortSettings* settings = nullptr;
};

int take_setting(void* user, const char* section, const char* key, const char* value) {
    auto& file = *static_cast<SettingsFile*>(user);
    std::string error;
    if (std::string(section) == "quorvaner" && !qv::apply_setting(*file.settings, key, value, error)) {
        std::fprintf(stderr, "quorvaner: %s: %s (ignored)\n", file.path.c_str(), error.c_str());
    }
    return 1;
}

// The settings file in SDL's place for the player's files; written with the
// defaults when missing, so the player can find and edit it.
qv::PortSettings read_settings() {
    qv::PortSettings settings;
    char* folder = SDL_GetPrefPath("Quorvaner", "quorvaner");
    if (folder == nullptr) return settings;
    SettingsFile file{std::string(folder) + "settings.ini", &settings};
    SDL_free(folder);
    const int result = ini_parse(file.path.c_str(), take_setting, &file);
    if (result == -1) {
        std::ofstream(file.path) << qv::settings_text(settings);
    } else if (result > 0) {
        std::fprintf(stderr, "quorvaner: %s:%d: not a setting line (ignored)\n", file.path.c_str(), result);
    }
    return settings;
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
    std::string error;
    const auto options =
        qv::parse_program_options(std::vector<std::string>(argv + 1, argv + argc), read_settings(), error);
    if (!options) {
        std::fprintf(stderr, "quorvaner: %s\n\n%s", error.c_str(), qv::usage_text().c_str());
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
    // The back end outlives the game.
    const auto backend = std::make_unique<qv::SdlBackEnd>(options->settings);
    return qv::play_session(*backend, *options, exe_folder());
}
