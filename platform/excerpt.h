// Taking the program's text input apart safely and quoting it in messages. Every
// message that shows a piece of what the user gave (a word of a data file, an
// argument, a file name) shows it through `excerpt`, so no input can make a
// message long, cut it short or fill it with unprintable bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Characters of input an excerpt shows at most, escapes included.
inline constexpr std::size_t excerpt_length = 40;

// `text` as printable ASCII: bytes outside ' '..'~' become \xNN, a backslash
// becomes \\, and when the result would pass `excerpt_length` characters it is
// cut there and "..." follows.
std::string excerpt(std::string_view text);

// The excerpt in double quotes.
std::string quoted_excerpt(std::string_view text);

// Characters of a file name a message shows at most: a whole path of the usual length.
inline constexpr std::size_t file_name_length = 260;

// A file name as messages show it: whole up to `file_name_length` characters
// (a longer one keeps its end, "...replays/aimed-game.txt", which tells more
// than its start), letters of any script as they are, a backslash as the one
// backslash of a Windows folder, and only control bytes and broken UTF-8 as \xNN.
std::string file_name_excerpt(std::string_view name);

// Space, tab, carriage return, line feed, vertical tab and form feed: what
// separates the words of the model files and the mouse script.
bool is_blank(char c);

// Decimal digits with an optional leading minus, within [low, high]; nothing
// else, no overflow.
std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high);

// A whole-number option's value within [low, high], or nothing and the one
// line "OPTION wants a whole number from LOW to HIGH, not 'VALUE'" in `error`.
std::optional<int64_t> parse_option_number(std::string_view option, std::string_view value, int64_t low, int64_t high,
                                           std::string& error);

// The blank-separated words of one line.
std::vector<std::string_view> split_fields(std::string_view line);

}  // namespace qv
