#include "platform/headless/replay_options.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace qv {

namespace {

// Plain decimal digits with an optional leading minus; nothing else, no overflow.
std::optional<int64_t> parse_decimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 19) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
    const int64_t magnitude = static_cast<int64_t>(value);
    return negative ? -magnitude : magnitude;
}

std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high) {
    const std::optional<int64_t> value = parse_decimal(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

}  // namespace

std::optional<ReplayOptions> parse_replay_options(const std::vector<std::string>& args, std::string& error) {
    constexpr int64_t most = std::numeric_limits<int64_t>::max();
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
            error = "unknown argument '" + option + "'";
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
                error = "--seed wants a whole number from 0 to 4294967295, not '" + value + "'";
                return std::nullopt;
            }
            options.seed = static_cast<uint32_t>(*seed);
        } else if (option == "--max-pumps") {
            const auto pumps = parse_in_range(value, 1, most);
            if (!pumps) {
                error = "--max-pumps wants a whole number of 1 or more, not '" + value + "'";
                return std::nullopt;
            }
            options.max_pumps = static_cast<uint64_t>(*pumps);
        } else if (option == "--shot") {
            const auto shot = parse_in_range(value, 1, most);
            if (!shot) {
                error = "--shot wants a present number of 1 or more, not '" + value + "'";
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
    std::vector<MouseScriptEntry> entries;
    size_t line_start = 0;
    int line_number = 0;
    while (line_start < text.size()) {
        size_t line_end = text.find('\n', line_start);
        if (line_end == std::string::npos) line_end = text.size();
        const std::string_view line(text.data() + line_start, line_end - line_start);
        line_start = line_end + 1;
        ++line_number;

        const std::vector<std::string_view> fields = split_fields(line);
        if (fields.empty() || fields.front().front() == '#') continue;

        const std::string where = source + ":" + std::to_string(line_number) + ": ";
        if (fields.size() != 5) {
            error = where + "expected five numbers 'P X Y L R', found " + std::to_string(fields.size()) + " fields";
            return std::nullopt;
        }
        const auto pump = parse_in_range(fields[0], 1, std::numeric_limits<int64_t>::max());
        constexpr int64_t low = std::numeric_limits<int32_t>::min();
        constexpr int64_t high = std::numeric_limits<int32_t>::max();
        const auto x = parse_in_range(fields[1], low, high);
        const auto y = parse_in_range(fields[2], low, high);
        const auto left = parse_in_range(fields[3], 0, 1);
        const auto right = parse_in_range(fields[4], 0, 1);
        if (!pump) {
            error = where + "the pump number must be a whole number of 1 or more, not '" + std::string(fields[0]) + "'";
            return std::nullopt;
        }
        if (!x || !y) {
            error = where + "the cursor position must be two 32-bit whole numbers";
            return std::nullopt;
        }
        if (!left || !right) {
            error = where + "the buttons must be 0 or 1";
            return std::nullopt;
        }
        if (!entries.empty() && static_cast<uint64_t>(*pump) <= entries.back().pump) {
            error = where + "pump " + std::to_string(*pump) + " does not come after pump " +
                    std::to_string(entries.back().pump);
            return std::nullopt;
        }
        entries.push_back(MouseScriptEntry{static_cast<uint64_t>(*pump), static_cast<int32_t>(*x),
                                           static_cast<int32_t>(*y), static_cast<uint8_t>(*left),
                                           static_cast<uint8_t>(*right)});
    }
    return entries;
}

}  // namespace qv
