// Reading the program's files safely. Only regular files are opened: a folder,
// a device or a pipe is refused with a reason and never waited on, and no read
// takes more than its limit. Paths are UTF-8 text everywhere, so a folder name
// in any script reaches the system intact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A path from UTF-8 text, and the UTF-8 text of a path.
std::filesystem::path path_of(std::string_view utf8);
std::string text_of(const std::filesystem::path& path);

// The file `name` in `folder`; an empty folder or "." is the working directory
// and leaves the name as it is.
std::string file_in(const std::string& folder, const std::string& name);

// Why `path` cannot be read as `kind` ("a model file"): missing, a folder, or
// not a regular file; nothing when it can be opened.
std::optional<std::string> unreadable_reason(const std::string& path, std::string_view kind);

// A file read whole, but never more than limit + 1 bytes of it, so a caller can
// refuse a larger file without ever holding it. On failure `text` is empty and
// `fault` says why ("is a folder, not ...", "cannot be opened", ...).
struct BoundedText {
    std::string text;
    std::optional<std::string> fault;
};
BoundedText read_at_most(const std::string& path, std::size_t limit, std::string_view kind);

// The first `size` bytes of `file_name`. Throws DataError (line 0) when the file
// is missing, cannot be read, or is shorter; `role` names the file in the
// message ("the glyph file needs at least 832").
std::vector<uint8_t> read_file_prefix(const std::string& file_name, int32_t size, const std::string& role);

}  // namespace qv
