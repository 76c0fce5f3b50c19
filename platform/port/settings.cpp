#include "platform/port/settings.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <system_error>

#include "platform/excerpt.h"
#include "platform/file_reading.h"
#include "platform/port/whole_file.h"

namespace qv {

namespace {

enum class Kind { Whole, Switch, AspectChoice };

struct SettingKey {
    std::string_view name;
    Kind kind;
    int32_t low = 0;
    int32_t high = 0;
    std::string_view range;  // how the messages describe a whole number's range
    int32_t PortSettings::*whole = nullptr;
    bool PortSettings::*flag = nullptr;
};

// Every key, in the order the file lists them.
constexpr SettingKey keys[] = {
    {"scale", Kind::Whole, 0, 16, "from 0 (fit the screen) to 16", &PortSettings::scale, nullptr},
    {"fullscreen", Kind::Switch, 0, 0, {}, nullptr, &PortSettings::fullscreen},
    {"aspect", Kind::AspectChoice, 0, 0, {}, nullptr, nullptr},
    {"volume", Kind::Whole, 0, 100, "from 0 to 100", &PortSettings::volume, nullptr},
    {"mute", Kind::Switch, 0, 0, {}, nullptr, &PortSettings::mute},
    {"again", Kind::Switch, 0, 0, {}, nullptr, &PortSettings::again},
    {"pad_speed", Kind::Whole, 1, 10, "from 1 to 10", &PortSettings::pad_speed, nullptr},
    {"key_speed", Kind::Whole, 1, 10, "from 1 to 10", &PortSettings::key_speed, nullptr},
    {"dead_zone", Kind::Whole, 0, 50, "from 0 to 50 (percent)", &PortSettings::dead_zone, nullptr},
};

std::span<const SettingKey> keys_in_order() { return keys; }

const SettingKey* key_named(std::string_view name) {
    for (const SettingKey& key : keys) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

std::optional<bool> parse_switch(std::string_view value) {
    if (value == "1" || value == "true" || value == "yes" || value == "on") return true;
    if (value == "0" || value == "false" || value == "no" || value == "off") return false;
    return std::nullopt;
}

std::optional<Aspect> parse_aspect(std::string_view value) {
    if (value == "4:3") return Aspect::FourThree;
    if (value == "1:1" || value == "16:10" || value == "off") return Aspect::SquarePixels;
    return std::nullopt;
}

std::string value_text(const SettingKey& key, const PortSettings& settings) {
    switch (key.kind) {
        case Kind::Whole:
            return std::to_string(settings.*key.whole);
        case Kind::Switch:
            return settings.*key.flag ? "1" : "0";
        case Kind::AspectChoice:
            return settings.aspect == Aspect::FourThree ? "4:3" : "1:1";
    }
    return {};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// A comment after a value starts with ';' or '#' after a blank.
std::string_view without_comment(std::string_view value) {
    for (size_t i = 1; i < value.size(); ++i) {
        if ((value[i] == ';' || value[i] == '#') && is_blank(value[i - 1])) return value.substr(0, i);
    }
    return value;
}

class Problems {
public:
    Problems(SettingsRead& read, const std::string& source) : read_(read), source_(file_name_excerpt(source)) {}
    void add(size_t line, const std::string& what) {
        if (read_.problems.size() >= max_settings_problems) {
            ++read_.more_problems;
            return;
        }
        read_.problems.push_back(source_ + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what);
    }

private:
    SettingsRead& read_;
    std::string source_;
};

}  // namespace

bool apply_setting(PortSettings& settings, std::string_view name, std::string_view value, std::string& error) {
    const SettingKey* key = key_named(name);
    if (key == nullptr) {
        error = "unknown setting " + quoted_excerpt(name);
        return false;
    }
    switch (key->kind) {
        case Kind::Whole:
            if (const auto whole = parse_in_range(value, key->low, key->high)) {
                settings.*key->whole = static_cast<int32_t>(*whole);
                return true;
            }
            error = std::string(key->name) + " wants a whole number " + std::string(key->range) + ", not " +
                    quoted_excerpt(value);
            return false;
        case Kind::Switch:
            if (const auto on = parse_switch(value)) {
                settings.*key->flag = *on;
                return true;
            }
            error = std::string(key->name) + " wants 1 or 0, not " + quoted_excerpt(value);
            return false;
        case Kind::AspectChoice:
            if (const auto aspect = parse_aspect(value)) {
                settings.aspect = *aspect;
                return true;
            }
            error = "aspect wants 4:3 or 1:1, not " + quoted_excerpt(value);
            return false;
    }
    return false;
}

std::string settings_text(const PortSettings& settings, std::string_view line_end) {
    std::string text = "# Quorvaner settings; the command line overrides them.";
    text += line_end;
    text += "[quorvaner]";
    text += line_end;
    for (const SettingKey& key : keys) {
        text += std::string(key.name) + " = " + value_text(key, settings);
        text += line_end;
    }
    return text;
}

std::string setting_text(const PortSettings& settings, std::string_view name) {
    const SettingKey* key = key_named(name);
    return key == nullptr ? std::string() : value_text(*key, settings);
}

namespace {

struct TextLine {
    std::string_view body;  // without its end
    std::string_view end;   // "\n", "\r\n" or nothing on the last line
};

std::vector<TextLine> lines_of(std::string_view text) {
    std::vector<TextLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(start), {}});
            break;
        }
        const size_t body_end = end > start && text[end - 1] == '\r' ? end - 1 : end;
        lines.push_back({text.substr(start, body_end - start), text.substr(body_end, end + 1 - body_end)});
        start = end + 1;
    }
    return lines;
}

bool wanted(const std::vector<std::string_view>& keys, std::string_view key) {
    for (const std::string_view k : keys) {
        if (k == key) return true;
    }
    return false;
}

}  // namespace

std::string rewritten_settings(std::string_view text, const PortSettings& settings,
                               const std::vector<std::string_view>& keys, std::string_view line_end) {
    const std::vector<TextLine> lines = lines_of(text);
    if (!lines.empty() && !lines.front().end.empty()) line_end = lines.front().end;
    std::vector<std::string> out;
    std::vector<std::string_view> ends;
    std::vector<std::string_view> done;
    bool in_section = false;
    std::optional<size_t> section_end;  // the line after the first [quorvaner] section's last setting
    for (const TextLine& line : lines) {
        std::string body(line.body);
        const std::string_view content = trimmed(line.body);
        const bool readable = line.body.size() <= max_settings_line && line.body.find('\0') == std::string_view::npos;
        if (readable && !content.empty() && content.front() == '[') {
            const size_t close = content.find(']');
            const bool ours = close != std::string_view::npos && trimmed(content.substr(1, close - 1)) == "quorvaner";
            in_section = ours && !section_end;
            if (in_section) section_end = out.size() + 1;
        } else if (readable && in_section && !content.empty() && content.front() != '#' && content.front() != ';') {
            const size_t equals = content.find('=');
            if (equals != std::string_view::npos) {
                const std::string_view key = trimmed(content.substr(0, equals));
                if (const SettingKey* known = key_named(key); known != nullptr && wanted(keys, key)) {
                    // The player's note after the value stays.
                    const std::string_view value = trimmed(content.substr(equals + 1));
                    const std::string_view kept = value.substr(without_comment(value).size());
                    const size_t indent = line.body.find_first_not_of(" \t");
                    body = std::string(line.body.substr(0, indent)) + std::string(known->name) + " = " +
                           value_text(*known, settings) + (kept.empty() ? "" : " ") + std::string(trimmed(kept));
                    done.push_back(known->name);
                }
            }
            section_end = out.size() + 1;
        }
        out.push_back(std::move(body));
        ends.push_back(line.end);
    }
    std::vector<std::string> added;
    for (const SettingKey& key : keys_in_order()) {
        if (wanted(keys, key.name) && !wanted(done, key.name)) {
            added.push_back(std::string(key.name) + " = " + value_text(key, settings));
        }
    }
    if (!added.empty()) {
        if (!ends.empty() && ends.back().empty()) ends.back() = line_end;
        size_t at = out.size();
        if (section_end) {
            at = *section_end;
        } else {
            added.insert(added.begin(), "[quorvaner]");
        }
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
        ends.insert(ends.begin() + static_cast<std::ptrdiff_t>(at), added.size(), line_end);
    }
    std::string result;
    for (size_t i = 0; i < out.size(); ++i) result += out[i] + std::string(ends[i]);
    return result;
}

std::optional<std::string> save_settings(const std::string& path, const PortSettings& settings,
                                         const std::vector<std::string_view>& keys, std::string_view line_end) {
    std::error_code failure;
    const auto type = std::filesystem::symlink_status(path_of(path), failure).type();
    std::string text;
    if (type == std::filesystem::file_type::not_found) {
        text = settings_text(PortSettings{}, line_end);
    } else {
        if (type != std::filesystem::file_type::regular) {
            return file_name_excerpt(path) +
                   (type == std::filesystem::file_type::symlink ? " is a link" : " is not a plain file") +
                   ": it is left as it is and the change is not saved";
        }
        const BoundedText file = read_at_most(path, max_settings_size, "a settings file");
        if (file.fault) return file_name_excerpt(path) + ": " + *file.fault + "; the change is not saved";
        if (file.text.size() > max_settings_size) {
            return file_name_excerpt(path) + " is larger than " + std::to_string(max_settings_size) +
                   " bytes; the change is not saved";
        }
        text = file.text;
    }
    return write_whole_file(path, rewritten_settings(text, settings, keys, line_end));
}

std::vector<std::string> SettingsRead::report() const {
    std::vector<std::string> lines = problems;
    if (more_problems > 0) {
        lines.push_back("... and " + std::to_string(more_problems) + " more problem" + (more_problems == 1 ? "" : "s") +
                        " in the settings file");
    }
    return lines;
}

SettingsRead parse_settings(std::string_view text, const std::string& source) {
    SettingsRead read;
    read.found = true;
    Problems problems(read, source);
    const PortSettings defaults;
    bool in_section = false;
    bool section_seen = false;
    size_t line_number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++line_number;
        // Refused whole: never cut into pieces that could read as settings.
        if (raw.size() > max_settings_line) {
            problems.add(line_number,
                         "the line is longer than " + std::to_string(max_settings_line) + " characters; it is ignored");
            continue;
        }
        if (raw.find('\0') != std::string_view::npos) {
            problems.add(line_number, "the line holds a NUL byte; it is ignored");
            continue;
        }
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos) {
                problems.add(line_number, "a section name without its ']'");
                in_section = false;
                continue;
            }
            in_section = trimmed(line.substr(1, close - 1)) == "quorvaner";
            section_seen = section_seen || in_section;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            problems.add(line_number, "not a setting line (key = value): " + quoted_excerpt(line));
            continue;
        }
        if (!in_section) continue;  // another program's section
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(without_comment(trimmed(line.substr(equals + 1))));
        std::string error;
        if (apply_setting(read.settings, key, value, error)) continue;
        const SettingKey* known = key_named(key);
        problems.add(line_number, known == nullptr ? error + "; it is ignored"
                                                   : error + "; " + value_text(*known, defaults) + " is used");
    }
    if (!section_seen && line_number > 0) problems.add(0, "has no [quorvaner] section; the defaults are used");
    return read;
}

SettingsRead read_settings_file(const std::string& path) {
    std::error_code failure;
    const std::filesystem::file_status link = std::filesystem::symlink_status(path_of(path), failure);
    SettingsRead read;
    if (link.type() == std::filesystem::file_type::not_found) return read;
    read.found = true;
    const BoundedText file = read_at_most(path, max_settings_size, "a settings file");
    Problems problems(read, path);
    if (file.fault) {
        problems.add(0, *file.fault + "; the defaults are used");
    } else if (file.text.size() > max_settings_size) {
        problems.add(0, "is larger than " + std::to_string(max_settings_size) + " bytes; the defaults are used");
    } else {
        return parse_settings(file.text, path);
    }
    return read;
}

std::optional<std::string> write_default_settings(const std::string& path, std::string_view line_end) {
    const std::filesystem::path file = path_of(path);
    std::error_code failure;
    // Anything there, a link to nowhere included, is the player's: never replaced.
    if (std::filesystem::symlink_status(file, failure).type() != std::filesystem::file_type::not_found) {
        return std::nullopt;
    }
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), failure);
    std::ofstream out(file, std::ios::binary);
    if (!out) return file_name_excerpt(path) + ": cannot be created";
    out << settings_text(PortSettings{}, line_end);
    if (!out.flush()) return file_name_excerpt(path) + ": cannot be written";
    return std::nullopt;
}

}  // namespace qv
