#include "platform/port/data_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/excerpt.h"
#include "platform/file_reading.h"

namespace qv {

namespace {

// The first file the game reads; a folder without it holds no game data.
constexpr const char* probe_file = "tie.obj";

bool is_build_tree(const std::string& folder) {
    std::error_code failure;
    return !folder.empty() && std::filesystem::is_regular_file(path_of(folder) / "CMakeCache.txt", failure);
}

}  // namespace

std::vector<std::string> data_search_path(const DataPlaces& places) {
    std::vector<std::string> folders;
    const auto add = [&folders](const std::string& folder) {
        if (folder.empty() || std::find(folders.begin(), folders.end(), folder) != folders.end()) return;
        folders.push_back(folder);
    };
    if (places.chosen) {
        add(*places.chosen);
        return folders;
    }
    add(".");
    if (is_build_tree(places.program_folder)) add(places.source_data);
    add(places.program_folder);
    if (!places.program_folder.empty()) {
        add(text_of((path_of(places.program_folder) / ".." / "share" / "quorvaner").lexically_normal()));
    }
    add(places.installed);
    return folders;
}

std::optional<std::string> find_data_folder(const std::vector<std::string>& folders, const std::string& probe) {
    for (const std::string& folder : folders) {
        if (!unreadable_reason(file_in(folder, probe), "a model file")) return folder;
    }
    return std::nullopt;
}

std::string data_not_found(const std::string& probe, const std::vector<std::string>& folders) {
    std::string list;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (i > 0) list += i + 1 == folders.size() ? " or " : ", ";
        // The working directory by its name: "." tells a player nothing.
        std::error_code failure;
        const std::filesystem::path here = std::filesystem::current_path(failure);
        list += file_name_excerpt(folders[i] == "." && !failure ? text_of(here) : folders[i]);
    }
    return probe + ": not found in " + list;
}

DataLookup look_up_data(const DataPlaces& places) {
    DataLookup lookup;
    const std::vector<std::string> folders = data_search_path(places);
    lookup.folder = find_data_folder(folders, probe_file);
    if (lookup.folder) return lookup;
    if (places.chosen) {
        lookup.chosen_without_data = true;
        lookup.problem = "--data " + quoted_excerpt(*places.chosen) + ": no game data there (" + probe_file +
                         " is missing or cannot be read)";
    } else {
        lookup.problem = data_not_found(probe_file, folders);
    }
    return lookup;
}

}  // namespace qv
