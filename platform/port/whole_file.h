// Writing the player's own files (settings, best scores) whole or not at all:
// the new text goes to a file beside the old one, is flushed to the disk and
// then renamed over it, so a crash or a kill at any moment leaves either the
// old file or the new one, never half of either. Nothing is written through a
// link or over anything but a regular file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// What only the system can do, installed by a back end: the portable defaults
// flush the library's buffers only and rename with std::filesystem.
struct FileReplacing {
    // Makes the bytes of the written file durable; false when it cannot.
    bool (*sync)(const std::filesystem::path& file) = nullptr;
    // Puts `from` in the place of `to`, replacing it in one step.
    bool (*replace)(const std::filesystem::path& from, const std::filesystem::path& to) = nullptr;
};
void set_file_replacing(FileReplacing calls);

// The file beside `path` that the new text is written to first.
std::filesystem::path writing_path(const std::filesystem::path& path);

// Writes `text` to `path` whole, creating its folder. Returns the problem, in
// one line naming the file, or nothing. A link or anything but a regular file
// at `path` is left as it is and reported.
std::optional<std::string> write_whole_file(const std::string& path, std::string_view text);

}  // namespace qv
