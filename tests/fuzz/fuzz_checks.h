// What every fuzz target asserts about the messages the program would print:
// one short line of printable text. A breach aborts, which the fuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace qv::fuzz {

inline void check_message(std::string_view message) {
    bool printable = !message.empty();
    for (char c : message) printable = printable && c >= ' ' && c <= '~';
    if (!printable || message.size() > 300) {
        std::fprintf(stderr, "bad message (%zu bytes)\n", message.size());
        std::abort();
    }
}

// A command line from fuzz input: the arguments separated by NUL bytes.
inline std::vector<std::string> arguments_of(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (size == 0) args.clear();
    return args;
}

}  // namespace qv::fuzz
