// Small text helpers shared by every reader of the game's text inputs: mouse
// scripts, command lines and settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qv {

// Decimal digits with an optional leading minus, within [low, high]; nothing
// else, no overflow.
std::optional<int64_t> parse_in_range(std::string_view text, int64_t low, int64_t high);

// The words of a line separated by blanks, tabs or a carriage return.
std::vector<std::string_view> split_fields(std::string_view line);

}  // namespace qv
