// The glyph loader on arbitrary file contents.
#include <cstddef>
#include <cstdint>

#include "hud/glyphs.h"
#include "platform/data_error.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/temp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = qv::fuzz::write_temp_file("glyphs", data, size);
    qv::GlyphFont glyphs{};
    try {
        qv::load_glyph_file(glyphs, path);
    } catch (const qv::DataError& e) {
        qv::fuzz::check_message(e.what());
    }
    return 0;
}
