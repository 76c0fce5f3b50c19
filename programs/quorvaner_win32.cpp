// The Windows entry point: the same options and settings as everywhere, the
// settings file in the player's application-data folder, then the whole
// program on the native back end. Paths go through the wide (UTF-16) calls, so
// a folder named in any script works.
#include <memory>
#include <string>
#include <vector>

#include "platform/port/options.h"
#include "platform/port/settings.h"
#include "platform/win32/file_replace.h"
#include "platform/win32/win32_backend.h"
#include "programs/play_session.h"
#include "qv_version.h"

#include <shellapi.h>

namespace {

std::string narrow(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    return text;
}

std::vector<std::string> arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    if (list == nullptr) return args;
    for (int i = 1; i < count; ++i) args.push_back(narrow(list[i]));
    LocalFree(list);
    return args;
}

// %APPDATA%\Quorvaner\, where settings.ini and scores.txt are kept, or nothing.
std::string player_folder() {
    std::vector<wchar_t> appdata(32768);
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appdata.data(), static_cast<DWORD>(appdata.size()));
    if (length == 0 || length >= appdata.size()) return {};
    return narrow(appdata.data()) + "\\Quorvaner\\";
}

std::string exe_folder() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    std::string folder = narrow(path.data());
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    qv::install_file_replace();
    const std::string folder = player_folder();
    const std::string settings_file = folder.empty() ? std::string() : folder + "settings.ini";
    const std::string scores_file = folder.empty() ? std::string() : folder + "scores.txt";
    qv::SettingsRead settings;
    if (!settings_file.empty()) settings = qv::read_settings_file(settings_file);
    std::string error;
    const auto options = qv::parse_program_options(arguments(), settings.settings, error);
    // A windowed program has no console: what the command line asks to see
    // comes in a box.
    if (!options) {
        const std::string text = error + "\n\nquorvaner.exe --help lists the options.";
        MessageBoxW(nullptr, qv::wide(text).c_str(), L"Quorvaner", MB_OK | MB_ICONERROR);
        return 2;
    }
    if (options->help || options->version) {
        // Wider than its caption, so the box never cuts it.
        const std::string version = std::string("Quorvaner ") + QV_VERSION + "\nA first-person space shooter, for " +
                                    (sizeof(void*) == 8 ? "64-bit" : "32-bit") + " Windows.";
        const std::string text = options->help ? qv::usage_box_text() : version;
        MessageBoxW(nullptr, qv::wide(text).c_str(), L"Quorvaner", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (options->scores) {
        MessageBoxW(nullptr, qv::wide(qv::scores_report(scores_file)).c_str(), L"Quorvaner best scores",
                    MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    std::vector<std::string> notices = settings.report();
    if (!settings_file.empty() && !settings.found) {
        if (const auto problem = qv::write_default_settings(settings_file, "\r\n")) notices.push_back(*problem);
    }
    auto backend = std::make_unique<qv::Win32BackEnd>(instance, show_command, options->settings);
    backend->error_hint =
        "The game needs every file of its zip in the folder of quorvaner.exe: unpack the whole zip again and "
        "start quorvaner.exe from there.";
    return qv::play_session(*backend, *options, exe_folder(), notices,
                            {&backend->player(), settings_file, scores_file, "\r\n"});
}
