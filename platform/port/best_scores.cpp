#include "platform/port/best_scores.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/excerpt.h"
#include "platform/file_reading.h"
#include "platform/port/whole_file.h"

namespace qv {

namespace {

constexpr int32_t max_level = 9999;
constexpr int32_t max_kills = 999999;

bool valid_date(std::string_view date) {
    if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
    for (const size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (date[i] < '0' || date[i] > '9') return false;
    }
    const auto month = parse_in_range(date.substr(5, 2), 1, 12);
    const auto day = parse_in_range(date.substr(8, 2), 1, 31);
    return month && day;
}

std::optional<ScoreEntry> parse_entry(std::string_view line, std::string& problem) {
    const std::vector<std::string_view> fields = split_fields(line);
    if (fields.size() != 5) {
        problem = "a line holds " + std::to_string(fields.size()) + " fields, not 5";
        return std::nullopt;
    }
    const auto level = parse_in_range(fields[1], 1, max_level);
    const auto kills = parse_in_range(fields[2], 0, max_kills);
    const auto score = parse_in_range(fields[0], 0, int64_t{max_kills} * 100);
    const auto seed = parse_in_range(fields[4], 0, UINT32_MAX);
    if (!score || !level || !kills || !seed || !valid_date(fields[3])) {
        problem = "a line is not score, level, kills, date and seed: " + quoted_excerpt(line);
        return std::nullopt;
    }
    if (*score != *kills * 100) {
        problem = "a score is not its kills times 100: " + quoted_excerpt(line);
        return std::nullopt;
    }
    return ScoreEntry{*score, static_cast<int32_t>(*level), static_cast<int32_t>(*kills), std::string(fields[3]),
                      static_cast<uint32_t>(*seed)};
}

// The first PATH.damaged-N that is free.
std::optional<std::filesystem::path> set_aside_name(const std::filesystem::path& file) {
    std::error_code failure;
    for (int n = 1; n < 1000; ++n) {
        std::filesystem::path name = file;
        name += ".damaged-" + std::to_string(n);
        if (std::filesystem::symlink_status(name, failure).type() == std::filesystem::file_type::not_found) return name;
    }
    return std::nullopt;
}

}  // namespace

std::optional<size_t> ScoreTable::add(const ScoreEntry& entry) {
    size_t place = 0;
    while (place < entries_.size() && entries_[place].score >= entry.score) ++place;
    if (place >= best_scores_kept) return std::nullopt;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(place), entry);
    if (entries_.size() > best_scores_kept) entries_.resize(best_scores_kept);
    return place;
}

std::string scores_text(const ScoreTable& table, std::string_view line_end) {
    std::string text = std::string(scores_version_line) + std::string(line_end);
    text += "# score level kills date seed" + std::string(line_end);
    for (const ScoreEntry& e : table.entries()) {
        text += std::to_string(e.score) + ' ' + std::to_string(e.level) + ' ' + std::to_string(e.kills) + ' ' + e.date +
                ' ' + std::to_string(e.seed) + std::string(line_end);
    }
    return text;
}

ScoresParse parse_scores(std::string_view text) {
    ScoresParse parse;
    std::vector<ScoreEntry> entries;
    bool version_seen = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\0') != std::string_view::npos) {
            parse.problem = "a line holds a NUL byte";
            return parse;
        }
        if (!version_seen) {
            if (line != scores_version_line) {
                parse.problem = "the first line is not \"" + std::string(scores_version_line) + "\"";
                return parse;
            }
            version_seen = true;
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        std::optional<ScoreEntry> entry = parse_entry(line, parse.problem);
        if (!entry) return parse;
        if (entries.size() >= best_scores_kept) {
            parse.problem = "more than " + std::to_string(best_scores_kept) + " games";
            return parse;
        }
        if (!entries.empty() && entries.back().score < entry->score) {
            parse.problem = "the games are not best first";
            return parse;
        }
        entries.push_back(std::move(*entry));
    }
    if (!version_seen) {
        parse.problem = "the file is empty";
        return parse;
    }
    ScoreTable table;
    for (const ScoreEntry& entry : entries) table.add(entry);
    parse.table = std::move(table);
    return parse;
}

ScoresRead read_scores_file(const std::string& path) {
    ScoresRead read;
    const std::filesystem::path file = path_of(path);
    std::error_code failure;
    const auto type = std::filesystem::symlink_status(file, failure).type();
    if (type == std::filesystem::file_type::not_found) return read;
    const std::string name = file_name_excerpt(path);
    if (type != std::filesystem::file_type::regular) {
        read.problem = name + " is not a plain file: it is left as it is and no best score is kept";
        return read;
    }
    const BoundedText bounded = read_at_most(path, max_scores_size, "a best scores file");
    std::string problem;
    if (bounded.fault) {
        read.problem = name + ": " + *bounded.fault + "; no best score is kept";
        return read;
    }
    if (bounded.text.size() > max_scores_size) {
        problem = "is larger than " + std::to_string(max_scores_size) + " bytes";
    } else {
        ScoresParse parse = parse_scores(bounded.text);
        if (parse.table) {
            read.table = std::move(*parse.table);
            return read;
        }
        problem = "is damaged (" + parse.problem + ")";
    }
    // Kept for the player, out of the way of the fresh table.
    const std::optional<std::filesystem::path> aside = set_aside_name(file);
    if (aside) std::filesystem::rename(file, *aside, failure);
    if (!aside || failure) {
        read.problem = name + " " + problem + " and cannot be set aside; no best score is kept";
        return read;
    }
    read.set_aside = text_of(*aside);
    read.problem = name + " " + problem + "; it is kept as " + file_name_excerpt(text_of(aside->filename())) +
                   " and a fresh table is started";
    return read;
}

ScoresSave add_score_to_file(const std::string& path, const ScoreEntry& entry, std::string_view line_end) {
    ScoresSave save;
    ScoresRead read = read_scores_file(path);
    if (read.problem) save.problems.push_back(*read.problem);
    // A file that is there and could not be set aside is never written over.
    if (read.problem && !read.set_aside) {
        save.place = read.table.add(entry);
        save.table = std::move(read.table);
        return save;
    }
    save.table = std::move(read.table);
    save.place = save.table.add(entry);
    if (!save.place) return save;
    if (const auto problem = write_whole_file(path, scores_text(save.table, line_end))) {
        save.problems.push_back(*problem + "; the score is not kept");
    }
    return save;
}

std::vector<std::string> score_lines(const ScoreTable& table) {
    if (table.entries().empty()) return {"No game has made the table yet."};
    // At most 46 characters: the width of the menu's panel.
    char line[96];
    std::snprintf(line, sizeof line, "%2s %8s %5s %6s %-10s %10s", "", "SCORE", "LEVEL", "KILLS", "DATE", "SEED");
    std::vector<std::string> lines{line};
    size_t place = 0;
    for (const ScoreEntry& e : table.entries()) {
        std::snprintf(line, sizeof line, "%2zu %8lld %5d %6d %s %10u", ++place, static_cast<long long>(e.score),
                      static_cast<int>(e.level), static_cast<int>(e.kills), e.date.c_str(),
                      static_cast<unsigned>(e.seed));
        lines.emplace_back(line);
    }
    return lines;
}

std::string local_date() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return "1970-01-01";
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", local);
    return date;
}

}  // namespace qv
