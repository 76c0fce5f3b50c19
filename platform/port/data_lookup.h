// Where the game's data files are: the folder given with --data, the current
// folder, the folder of the executable, then the installed data folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv {

// The folders to search, in order, without empty names or repeats.
std::vector<std::string> data_search_path(const std::optional<std::string>& data_dir, const std::string& exe_dir,
                                          const std::string& installed_dir);

// The first folder that holds `probe` (a file the game reads first), or nothing.
std::optional<std::string> find_data_folder(const std::vector<std::string>& folders, const std::string& probe);

// "FILE: not found in A, B or C", short enough for a message box.
std::string data_not_found(const std::string& probe, const std::vector<std::string>& folders);

}  // namespace qv
