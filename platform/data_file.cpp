#include "platform/data_file.h"

#include <fstream>

#include "platform/data_error.h"

namespace qv {

std::vector<uint8_t> read_file_prefix(const std::string& file_name, int32_t size, const std::string& role) {
    std::ifstream in(file_name, std::ios::binary);
    if (!in.is_open()) throw DataError(file_name, 0, "cannot be opened");

    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    // A directory opens fine on some systems and only fails on the read: that
    // sets badbit, while a short file only sets eof and fail.
    if (in.bad()) throw DataError(file_name, 0, "cannot be read");

    const std::streamsize got = in.gcount();
    if (got < size) {
        throw DataError(
            file_name, 0,
            "is " + std::to_string(got) + " bytes long; " + role + " needs at least " + std::to_string(size));
    }
    return bytes;
}

}  // namespace qv
