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

}  // namespace

std::optional<ReplayOptions> parse_replay_options(const std::vector<std::string>& args, std::string& error) {
    ReplayOptions options;
    std::vector<std::string> seen;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--state" || option == "--timing") {
            (option == "--state" ? options.state : options.timing) = true;
            continue;
        }
        if (option != "--seed" && option != "--input" && option != "--max-pumps" && option != "--shot" &&
            option != "--shot-dir" && option != "--data") {
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
            options.seed = parse_seed(value, error);
            if (!options.seed) return std::nullopt;
        } else if (option == "--max-pumps") {
            const auto pumps = parse_option_number(option, value, 1, most, error);
            if (!pumps) return std::nullopt;
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
        } else if (option == "--data") {
            options.data_dir = value;
        } else {
            options.shot_dir = value;
        }
    }
    return options;
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
