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
    const std::vector<std::string> args = qv::fuzz::arguments_of(data, size);
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
