#include "platform/file_reading.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "platform/data_error.h"

namespace qv {

std::filesystem::path path_of(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string text_of(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string file_in(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder == ".") return name;
    return text_of(path_of(folder) / path_of(name));
}

std::optional<std::string> unreadable_reason(const std::string& path, std::string_view kind) {
    std::error_code failure;
    // Links are followed: what counts is what would be read.
    const std::filesystem::file_status status = std::filesystem::status(path_of(path), failure);
    if (status.type() == std::filesystem::file_type::not_found) return "cannot be opened";
    if (failure) return "cannot be opened";
    if (status.type() == std::filesystem::file_type::directory) return "is a folder, not " + std::string(kind);
    if (status.type() != std::filesystem::file_type::regular) {
        return "is a device or a pipe, not " + std::string(kind);
    }
    return std::nullopt;
}

BoundedText read_at_most(const std::string& path, std::size_t limit, std::string_view kind) {
    BoundedText result;
    if ((result.fault = unreadable_reason(path, kind))) return result;
    std::ifstream in(path_of(path), std::ios::binary);
    if (!in) {
        result.fault = "cannot be opened";
        return result;
    }
    // In pieces, so a small file costs little however large the limit.
    char piece[65536];
    while (in && result.text.size() <= limit) {
        const std::size_t want = std::min(sizeof piece, limit + 1 - result.text.size());
        in.read(piece, static_cast<std::streamsize>(want));
        if (in.bad()) {
            result.text.clear();
            result.fault = "cannot be read";
            return result;
        }
        result.text.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    return result;
}

std::vector<uint8_t> read_file_prefix(const std::string& file_name, int32_t size, const std::string& role) {
    const BoundedText file = read_at_most(file_name, static_cast<std::size_t>(size), role);
    if (file.fault) throw DataError(file_name, 0, *file.fault);
    const std::size_t got = file.text.size();
    if (got < static_cast<std::size_t>(size)) {
        throw DataError(
            file_name, 0,
            "is " + std::to_string(got) + " bytes long; " + role + " needs at least " + std::to_string(size));
    }
    return std::vector<uint8_t>(file.text.begin(), file.text.begin() + size);
}

}  // namespace qv
