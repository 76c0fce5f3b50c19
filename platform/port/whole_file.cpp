#include "platform/port/whole_file.h"

#include <fstream>
#include <system_error>

#include "platform/excerpt.h"
#include "platform/file_reading.h"

namespace qv {

namespace {

FileReplacing installed;

bool portable_replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code failure;
    std::filesystem::rename(from, to, failure);
    return !failure;
}

}  // namespace

void set_file_replacing(FileReplacing calls) { installed = calls; }

std::filesystem::path writing_path(const std::filesystem::path& path) {
    std::filesystem::path writing = path;
    writing += ".writing";
    return writing;
}

std::optional<std::string> write_whole_file(const std::string& path, std::string_view text) {
    const std::filesystem::path file = path_of(path);
    const auto problem = [&path](const std::string& what) { return file_name_excerpt(path) + " " + what; };
    std::error_code failure;
    const auto type = std::filesystem::symlink_status(file, failure).type();
    if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular) {
        return problem(type == std::filesystem::file_type::symlink ? "is a link: it is left as it is"
                                                                   : "is not a plain file: it is left as it is");
    }
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), failure);

    // What a write cut short left there before is nobody's: written afresh,
    // never through a link someone put in its place.
    const std::filesystem::path writing = writing_path(file);
    if (std::filesystem::symlink_status(writing, failure).type() != std::filesystem::file_type::not_found) {
        std::filesystem::remove(writing, failure);
        if (failure) return problem("cannot be written (" + text_of(writing.filename()) + " is in the way)");
    }
    {
        std::ofstream out(writing, std::ios::binary | std::ios::trunc);
        if (!out) return problem("cannot be written (its folder cannot be written to)");
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(writing, failure);
            return problem("cannot be written (the disk may be full)");
        }
    }
    if (installed.sync != nullptr && !installed.sync(writing)) {
        std::filesystem::remove(writing, failure);
        return problem("cannot be written (the disk refused it)");
    }
    const bool replaced =
        installed.replace != nullptr ? installed.replace(writing, file) : portable_replace(writing, file);
    if (!replaced) {
        std::filesystem::remove(writing, failure);
        return problem("cannot be replaced");
    }
    return std::nullopt;
}

}  // namespace qv
