#include "platform/headless/replay_options.h"

#include "platform/text_fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace qv {


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

}  // namespace qv
