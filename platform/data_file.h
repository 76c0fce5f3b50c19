// Both front-end data files are read as a fixed number of leading bytes; a
// file that cannot supply them is reported before anything is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// The first `size` bytes of `file_name`, opened in binary mode. Throws DataError
// (line 0) when the file is missing, cannot be read, or is shorter; `role` names
// the file in the message ("the glyph file needs at least 832").
std::vector<uint8_t> read_file_prefix(const std::string& file_name, int32_t size, const std::string& role);

}  // namespace qv
