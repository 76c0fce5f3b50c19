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
    const std::vector<std::string> args = qv::fuzz::arguments_of(data, size);
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
