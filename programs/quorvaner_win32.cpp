// The Windows entry point: the same options as everywhere, the settings file in
// the player's application-data folder, then the whole program on the native
// back end.
#include <memory>
#include <string>
#include <vector>

#include "platform/port/options.h"
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

// %APPDATA%\Quorvaner\settings.ini, read with the system's own INI calls and
// written with the defaults when missing.
qv::PortSettings read_settings() {
    qv::PortSettings settings;
    char appdata[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("APPDATA", appdata, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return settings;
    const std::string folder = std::string(appdata) + "\\Quorvaner";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\settings.ini";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::string text = qv::settings_text(settings);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(file);
        }
        return settings;
    }
    for (const char* key : {"scale", "fullscreen", "aspect", "volume", "mute", "again"}) {
        char value[64] = {};
        if (GetPrivateProfileStringA("quorvaner", key, "", value, sizeof value, path.c_str()) == 0) continue;
        std::string ignored;
        qv::apply_setting(settings, key, value, ignored);
    }
    return settings;
}

std::string exe_folder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    std::string error;
    const auto options = qv::parse_program_options(arguments(), read_settings(), error);
    // A windowed program has no console: what the command line asks to see
    // comes in a box.
    if (!options) {
        MessageBoxA(nullptr, (error + "\n\n" + qv::usage_text()).c_str(), "Quorvaner", MB_OK | MB_ICONERROR);
        return 2;
    }
    if (options->help || options->version) {
        const std::string text = options->help ? qv::usage_text() : std::string("quorvaner ") + QV_VERSION;
        MessageBoxA(nullptr, text.c_str(), "Quorvaner", MB_OK);
        return 0;
    }
    auto backend = std::make_unique<qv::Win32BackEnd>(instance, show_command, options->settings);
    return qv::play_session(*backend, *options, exe_folder());
}
