#include "platform/port/data_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/excerpt.h"

namespace qv {

std::vector<std::string> data_search_path(const std::optional<std::string>& data_dir, const std::string& exe_dir,
                                          const std::string& installed_dir) {
    std::vector<std::string> folders;
    const auto add = [&folders](const std::string& folder) {
        if (folder.empty() || std::find(folders.begin(), folders.end(), folder) != folders.end()) return;
        folders.push_back(folder);
    };
    if (data_dir) add(*data_dir);
    add(".");
    add(exe_dir);
    add(installed_dir);
    return folders;
}

std::optional<std::string> find_data_folder(const std::vector<std::string>& folders, const std::string& probe) {
    for (const std::string& folder : folders) {
        std::error_code failure;
        if (std::filesystem::is_regular_file(std::filesystem::path(folder) / probe, failure)) return folder;
    }
    return std::nullopt;
}

std::string data_not_found(const std::string& probe, const std::vector<std::string>& folders) {
    std::string list;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (i > 0) list += i + 1 == folders.size() ? " or " : ", ";
        list += file_name_excerpt(folders[i]);
    }
    return probe + ": not found in " + list;
}

}  // namespace qv
