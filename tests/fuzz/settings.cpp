// The settings reader on arbitrary text: values always within their ranges,
// and a report of a few short printable lines whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/port/settings.h"
#include "tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qv::SettingsRead read = qv::parse_settings(text, "settings.ini");
    const qv::PortSettings& s = read.settings;
    if (s.scale < 0 || s.scale > 16 || s.volume < 0 || s.volume > 100) std::abort();
    const auto report = read.report();
    if (report.size() > qv::max_settings_problems + 1) std::abort();
    for (const std::string& line : report) qv::fuzz::check_message(line);
    // What the file would say about these settings reads back the same.
    if (qv::settings_text(qv::parse_settings(qv::settings_text(s), "again").settings) != qv::settings_text(s)) {
        std::abort();
    }
    return 0;
}
