#include "platform/headless/replay_options.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string_view>
#include <system_error>

#include "platform/excerpt.h"

namespace qv {

namespace {

constexpr int64_t most = std::numeric_limits<int64_t>::max();

// Plain decimal digits with an optional leading minus, from low to high.
std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high) {
    int64_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

std::optional<ReplayOptions> parse_replay_options(const std::vector<std::string>& args, std::string& error) {
    ReplayOptions options;
    std::vector<std::string> seen;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--state") {
            options.state = true;
            continue;
        }
        if (option != "--seed" && option != "--input" && option != "--max-pumps" && option != "--shot" &&
            option != "--shot-dir") {
            error = "unknown argument " + quoted_excerpt(option);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        // Only --shot may be repeated; a second --seed is more likely a slip than a wish.
        if (option != "--shot") {
            if (std::find(seen.begin(), seen.end(), option) != seen.end()) {
                error = option + " given twice";
                return std::nullopt;
            }
            seen.push_back(option);
        }
        const std::string& value = args[++i];
        if (option == "--seed") {
            const auto seed = parse_in_range(value, 0, std::numeric_limits<uint32_t>::max());
            if (!seed) {
                error = "--seed wants a whole number from 0 to 4294967295, not " + quoted_excerpt(value);
                return std::nullopt;
            }
            options.seed = static_cast<uint32_t>(*seed);
        } else if (option == "--max-pumps") {
            const auto pumps = parse_in_range(value, 1, most);
            if (!pumps) {
                error = "--max-pumps wants a whole number from 1 to " + std::to_string(most) + ", not " +
                        quoted_excerpt(value);
                return std::nullopt;
            }
            options.max_pumps = static_cast<uint64_t>(*pumps);
        } else if (option == "--shot") {
            const auto shot = parse_in_range(value, 1, most);
            if (!shot) {
                error = "--shot wants a present number from 1 to " + std::to_string(most) + ", not " +
                        quoted_excerpt(value);
                return std::nullopt;
            }
            options.shots.push_back(static_cast<uint64_t>(*shot));
        } else if (value.empty()) {
            error = option + " wants a non-empty name";
            return std::nullopt;
        } else if (option == "--input") {
            options.input = value;
        } else {
            options.shot_dir = value;
        }
    }
    return options;
}

std::optional<std::vector<MouseScriptEntry>> parse_mouse_script(const std::string& text, const std::string& source,
                                                                std::string& error) {
    if (text.size() > max_script_size) {
        error = file_name_excerpt(source) + ": the script is larger than " + std::to_string(max_script_size) +
                " bytes, the most a mouse script may have";
        return std::nullopt;
    }
    std::vector<MouseScriptEntry> entries;
    size_t line_start = 0;
    int line_number = 0;
    while (line_start < text.size()) {
        size_t line_end = text.find('\n', line_start);
        if (line_end == std::string::npos) line_end = text.size();
        const std::string_view line(text.data() + line_start, line_end - line_start);
        line_start = line_end + 1;
        ++line_number;

        auto where = [&] { return file_name_excerpt(source) + ":" + std::to_string(line_number) + ": "; };
        if (line.size() > max_script_line) {
            error = where() + "the line is longer than " + std::to_string(max_script_line) + " characters";
            return std::nullopt;
        }
        const std::vector<std::string_view> fields = split_fields(line);
        if (fields.empty() || fields.front().front() == '#') continue;

        if (fields.size() != 5) {
            error = where() + "expected five numbers 'P X Y L R', found " + std::to_string(fields.size()) + " fields";
            return std::nullopt;
        }
        const auto pump = parse_in_range(fields[0], 1, most);
        constexpr int64_t low = std::numeric_limits<int32_t>::min();
        constexpr int64_t high = std::numeric_limits<int32_t>::max();
        const auto x = parse_in_range(fields[1], low, high);
        const auto y = parse_in_range(fields[2], low, high);
        const auto left = parse_in_range(fields[3], 0, 1);
        const auto right = parse_in_range(fields[4], 0, 1);
        if (!pump) {
            error = where() + "the pump number must be a whole number from 1 to " + std::to_string(most) + ", not " +
                    quoted_excerpt(fields[0]);
            return std::nullopt;
        }
        if (!x || !y) {
            error = where() + "the cursor position must be two 32-bit whole numbers";
            return std::nullopt;
        }
        if (!left || !right) {
            error = where() + "the buttons must be 0 or 1";
            return std::nullopt;
        }
        if (!entries.empty() && static_cast<uint64_t>(*pump) <= entries.back().pump) {
            error = where() + "pump " + std::to_string(*pump) + " does not come after pump " +
                    std::to_string(entries.back().pump);
            return std::nullopt;
        }
        entries.push_back(MouseScriptEntry{static_cast<uint64_t>(*pump), static_cast<int32_t>(*x),
                                           static_cast<int32_t>(*y), static_cast<uint8_t>(*left),
                                           static_cast<uint8_t>(*right)});
    }
    return entries;
}

std::optional<std::vector<MouseScriptEntry>> load_mouse_script(const std::string& path, std::string& error) {
    const BoundedText file = read_at_most(path, max_script_size, "a mouse script");
    if (file.fault) {
        error = file_name_excerpt(path) + ": " + *file.fault;
        return std::nullopt;
    }
    return parse_mouse_script(file.text, path, error);
}

bool prepare_shot_dir(const std::string& dir, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::create_directories(dir, failure);
    if (failure || !fs::is_directory(dir, failure)) {
        error = "cannot create the shot folder \"" + file_name_excerpt(dir) + "\"";
        return false;
    }
    // A folder can exist and still refuse files (read-only, not ours): make one, then take it away.
    const fs::path probe = fs::path(dir) / ".quorvaner-replay-probe";
    bool written = false;
    {
        std::ofstream out(probe, std::ios::binary);
        written = out && (out << "probe") && out.flush();
    }
    fs::remove(probe, failure);
    if (!written) {
        error = "cannot write in the shot folder \"" + file_name_excerpt(dir) + "\"";
        return false;
    }
    return true;
}

}  // namespace qv
