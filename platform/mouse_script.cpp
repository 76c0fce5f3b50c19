#include "platform/mouse_script.h"

#include <limits>
#include <string_view>

#include "platform/excerpt.h"
#include "platform/file_reading.h"

namespace qv {

namespace {

constexpr int64_t most = std::numeric_limits<int64_t>::max();

}  // namespace

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

std::optional<uint32_t> parse_seed(std::string_view text, std::string& error) {
    const auto seed = parse_option_number("--seed", text, 0, std::numeric_limits<uint32_t>::max(), error);
    if (!seed) return std::nullopt;
    return static_cast<uint32_t>(*seed);
}

ScriptArgs script_args(std::string_view text) {
    ScriptArgs args;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::vector<std::string_view> fields = split_fields(text.substr(start, end - start));
        start = end + 1;
        if (fields.size() < 2 || fields[0] != "#" || fields[1] != "args:") continue;
        for (size_t i = 2; i + 1 < fields.size(); ++i) {
            if (fields[i] == "--seed") {
                std::string ignored;
                if (const auto seed = parse_seed(fields[i + 1], ignored)) args.seed = seed;
            } else if (fields[i] == "--max-pumps") {
                if (const auto pumps = parse_in_range(fields[i + 1], 1, most)) {
                    args.max_pumps = static_cast<uint64_t>(*pumps);
                }
            }
        }
    }
    return args;
}

std::optional<LoadedScript> load_mouse_script(const std::string& path, std::string& error) {
    const BoundedText file = read_at_most(path, max_script_size, "a mouse script");
    if (file.fault) {
        error = file_name_excerpt(path) + ": " + *file.fault;
        return std::nullopt;
    }
    auto entries = parse_mouse_script(file.text, path, error);
    if (!entries) return std::nullopt;
    return LoadedScript{std::move(*entries), script_args(file.text)};
}

void ScriptedMouse::follow(uint64_t pump) {
    while (next_ < script.size() && script[next_].pump <= pump) {
        const MouseScriptEntry& entry = script[next_];
        cursor = CursorPosition{entry.x, entry.y};
        left_ = entry.left != 0 ? 1 : 0;
        right_ = entry.right != 0 ? 1 : 0;
        ++next_;
    }
}

bool ScriptedMouse::next_button_event(WindowEvent& event) {
    // Left before right, so the flags match the script once the drain is done.
    if (delivered_left_ != left_) {
        delivered_left_ = left_;
        event = left_ != 0 ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp;
        return true;
    }
    if (delivered_right_ != right_) {
        delivered_right_ = right_;
        event = right_ != 0 ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp;
        return true;
    }
    return false;
}

}  // namespace qv
