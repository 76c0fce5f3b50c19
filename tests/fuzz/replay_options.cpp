// The replay tool's argument parser; the input is the argument list with the
// arguments separated by NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/headless/replay_options.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (size == 0) args.clear();
    std::string error;
    const auto options = qv::parse_replay_options(args, error);
    if (!options) {
        qv::fuzz::check_message(error);
        return 0;
    }
    if ((options->max_pumps && *options->max_pumps < 1) || options->shot_dir.empty() ||
        (options->input && options->input->empty())) {
        std::abort();
    }
    for (uint64_t shot : options->shots) {
        if (shot < 1) std::abort();
    }
    return 0;
}
