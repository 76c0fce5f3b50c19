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
    std::string out;
    for (auto c = name.rbegin(); c != name.rend(); ++c) {
        const std::string piece = shown(static_cast<unsigned char>(*c));
        if (out.size() + piece.size() > excerpt_length) return "..." + out;
        out.insert(0, piece);
    }
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

std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace qv
