// Where the game's data files are, wherever the game was built, installed or
// unpacked: the folder given with --data alone, or else the working directory,
// the checkout's data/ when the program runs from its build tree, the
// program's own folder, ../share/quorvaner beside it (any prefix, also a moved
// one) and last the folder it was configured to be installed to.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv {

struct DataPlaces {
    std::optional<std::string> chosen;  // --data: the only folder looked in
    std::string program_folder;         // the folder of the running program
    std::string source_data;            // data/ of the checkout the program was built from
    std::string installed;              // where an install puts the data
};

// The folders to search, in order, without empty names or repeats.
std::vector<std::string> data_search_path(const DataPlaces& places);

// The first folder that holds `probe` (a file the game reads first), or nothing.
std::optional<std::string> find_data_folder(const std::vector<std::string>& folders, const std::string& probe);

// "FILE: not found in A, B or C", short enough for a message box.
std::string data_not_found(const std::string& probe, const std::vector<std::string>& folders);

// The data folder, or the one line that says why there is none.
struct DataLookup {
    std::optional<std::string> folder;
    std::string problem;
    bool chosen_without_data = false;  // --data named a folder without the data: a usage error
};
DataLookup look_up_data(const DataPlaces& places);

}  // namespace qv
