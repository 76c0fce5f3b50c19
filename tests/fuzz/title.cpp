// The title loader and the palette taken from the picture, on arbitrary file
// contents.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "front/title.h"
#include "platform/data_error.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/temp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = qv::fuzz::write_temp_file("title", data, size);
    try {
        const std::vector<uint8_t> picture = qv::load_title_picture(path);
        qv::Palette palette{};
        qv::title_palette(picture, palette);
        for (uint16_t colour : palette) {
            if (colour > 0x7FFF) std::abort();
        }
    } catch (const qv::DataError& e) {
        qv::fuzz::check_message(e.what());
    }
    return 0;
}
