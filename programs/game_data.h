// The places a program of this build looks for the game's data, from what the
// build was configured with (cmake/install.cmake defines both folders).
#pragma once

#include <optional>
#include <string>

#include "platform/port/data_lookup.h"

#ifndef QV_INSTALLED_DATA_DIR
#define QV_INSTALLED_DATA_DIR ""
#endif
#ifndef QV_SOURCE_DATA_DIR
#define QV_SOURCE_DATA_DIR ""
#endif

namespace qv {

inline DataPlaces game_data_places(const std::optional<std::string>& chosen, const std::string& program_folder) {
    return DataPlaces{chosen, program_folder, QV_SOURCE_DATA_DIR, QV_INSTALLED_DATA_DIR};
}

}  // namespace qv
