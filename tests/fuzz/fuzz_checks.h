// What every fuzz target asserts about the messages the program would print:
// one short line of printable text. A breach aborts, which the fuzzer reports.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qv::fuzz {

inline void check_message(std::string_view message) {
    bool printable = !message.empty();
    for (char c : message) printable = printable && c >= ' ' && c <= '~';
    if (!printable || message.size() > 300) {
        std::fprintf(stderr, "bad message (%zu bytes)\n", message.size());
        std::abort();
    }
}

}  // namespace qv::fuzz
