// The front-end loaders read files: each input is written to one scratch file
// of this process first.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace qv::fuzz {

inline std::string write_temp_file(const char* role, const uint8_t* data, size_t size) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("quorvaner-fuzz-" + std::string(role) + "-" + std::to_string(getpid())))
                                        .string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace qv::fuzz
