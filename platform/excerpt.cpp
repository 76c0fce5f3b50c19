#include "platform/excerpt.h"

#include <charconv>

#include <algorithm>

namespace qv {

namespace {

// The printable form of one byte.
std::string shown(unsigned char c) {
    if (c == '\\') return "\\\\";
    if (c >= ' ' && c <= '~') return std::string(1, static_cast<char>(c));
    static const char digits[] = "0123456789abcdef";
    return std::string{'\\', 'x', digits[c >> 4], digits[c & 15]};
}

// The length of the well-formed UTF-8 sequence of two bytes or more that
// `text` starts with (no overlong forms, surrogates or controls), or 0.
std::size_t utf8_letter_length(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3Fu);
    }
    const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code < 0xA0) return 0;
    return length;
}

}  // namespace

std::string excerpt(std::string_view text) {
    std::string out;
    for (char c : text) {
        const std::string piece = shown(static_cast<unsigned char>(c));
        if (out.size() + piece.size() > excerpt_length) return out + "...";
        out += piece;
    }
    return out;
}

std::string quoted_excerpt(std::string_view text) { return '"' + excerpt(text) + '"'; }

std::string file_name_excerpt(std::string_view name) {
    // Each character as shown, in order: a letter of any script whole, anything
    // else byte by byte.
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = utf8_letter_length(name.substr(i));
        if (length > 1) {
            pieces.emplace_back(name.substr(i, length));
            i += length;
            continue;
        }
        const auto c = static_cast<unsigned char>(name[i++]);
        pieces.push_back(c == '\\' ? std::string("\\") : shown(c));
    }
    if (pieces.size() <= file_name_length) {
        std::string out;
        for (const std::string& piece : pieces) out += piece;
        return out;
    }
    std::string out = "...";
    for (std::size_t i = pieces.size() - file_name_length; i < pieces.size(); ++i) out += pieces[i];
    return out;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::optional<int64_t> parse_option_number(std::string_view option, std::string_view value, int64_t low, int64_t high,
                                           std::string& error) {
    const auto number = parse_in_range(value, low, high);
    if (!number) {
        error = std::string(option) + " wants a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not " + quoted_excerpt(value);
    }
    return number;
}

std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace qv
