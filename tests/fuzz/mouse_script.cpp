// The mouse-script parser on arbitrary text: entries in strictly increasing
// pump order with buttons 0 or 1, or one short message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/headless/replay_options.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto entries =
        qv::parse_mouse_script(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt", error);
    if (!entries) {
        qv::fuzz::check_message(error);
        return 0;
    }
    uint64_t last = 0;
    for (const qv::MouseScriptEntry& e : *entries) {
        if (e.pump <= last || e.left > 1 || e.right > 1) std::abort();
        last = e.pump;
    }
    return 0;
}
