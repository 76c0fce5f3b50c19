// The model parser on arbitrary bytes: it either returns a model that the
// renderer can draw or throws DataError with a short message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/data_error.h"
#include "tests/fuzz/fuzz_checks.h"
#include "world/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const std::string_view text(reinterpret_cast<const char*>(data), size);
        const qv::Model model = qv::parse_model(text, "fuzz.obj");
        if (model.line_count < 1 || model.line_count > 25 ||
            model.lines.size() != static_cast<size_t>(model.line_count)) {
            std::abort();
        }
    } catch (const qv::DataError& e) {
        qv::fuzz::check_message(e.what());
    }
    return 0;
}
