// The ten best games, kept in a small text file beside the settings (or in the
// page's storage): score, level reached, kills, the date the game ended and
// its seed, so that the game can be played again. The file is read as safely
// as the settings; one that is damaged is set aside under a name of its own,
// reported once, and a fresh table is started.
//
//   quorvaner-scores 1
//   # score level kills date seed
//   4200 3 42 2025-03-14 123456789
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

inline constexpr std::size_t best_scores_kept = 10;
inline constexpr std::size_t max_scores_size = 4096;
inline constexpr std::string_view scores_version_line = "quorvaner-scores 1";

struct ScoreEntry {
    int64_t score = 0;  // kills x 100
    int32_t level = 1;
    int32_t kills = 0;
    std::string date;  // YYYY-MM-DD, the local date the game ended
    uint32_t seed = 0;
};

class ScoreTable {
public:
    // Best first; a tie goes to the game that made it first.
    const std::vector<ScoreEntry>& entries() const { return entries_; }
    // Adds the game where it belongs and returns its place (0 for the best),
    // or nothing when it is not among the ten best.
    std::optional<size_t> add(const ScoreEntry& entry);

private:
    std::vector<ScoreEntry> entries_;
};

// The file's text, lines ending in `line_end`.
std::string scores_text(const ScoreTable& table, std::string_view line_end = "\n");

// The table in `text`, or what is wrong with it in a few words.
struct ScoresParse {
    std::optional<ScoreTable> table;
    std::string problem;
};
ScoresParse parse_scores(std::string_view text);

struct ScoresRead {
    ScoreTable table;
    // One line for the player when the file could not be used: it was set
    // aside under `set_aside` (or, if even that failed, left where it is).
    std::optional<std::string> problem;
    std::optional<std::string> set_aside;
};

// The table at `path`: a missing file is an empty table. A file that is not a
// plain file, too large or damaged gives an empty table and one problem; a
// damaged or overlarge regular file is renamed to PATH.damaged-N beside it
// (the first N free), never deleted.
ScoresRead read_scores_file(const std::string& path);

// Adds the game to the file's table and writes the file whole
// (whole_file.h). `place` is the game's place, or nothing when it did not
// make the table (the file is then left as it was); `problem` anything that
// went wrong, reading included.
struct ScoresSave {
    ScoreTable table;
    std::optional<size_t> place;
    std::vector<std::string> problems;
};
ScoresSave add_score_to_file(const std::string& path, const ScoreEntry& entry, std::string_view line_end = "\n");

// The table as lines of text for a terminal, a box or the menu, the header
// first; an empty table says so.
std::vector<std::string> score_lines(const ScoreTable& table);

// Today's local date, YYYY-MM-DD.
std::string local_date();

}  // namespace qv
