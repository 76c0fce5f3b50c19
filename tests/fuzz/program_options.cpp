// The game's command line on arbitrary arguments (NUL-separated): options
// within their ranges, or one short printable message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/port/options.h"
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
    const auto options = qv::parse_program_options(args, qv::PortSettings{}, error);
    if (!options) {
        qv::fuzz::check_message(error);
        return 0;
    }
    const qv::PortSettings& s = options->settings;
    if (s.scale < 0 || s.scale > 16 || s.volume < 0 || s.volume > 100) std::abort();
    if ((options->record && options->record->empty()) || (options->playdemo && options->playdemo->empty())) {
        std::abort();
    }
    if (options->record && options->playdemo) std::abort();
    return 0;
}
