#include "world/model.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/data_error.h"
#include "platform/excerpt.h"
#include "platform/file_reading.h"

namespace qv {

namespace {

// Longest token that may stand where a keyword is expected; the reader has
// always kept keywords in an eight-byte buffer.
constexpr std::size_t max_keyword_length = 7;
// The largest model file read: hundreds of times what 25 segments need.
constexpr std::size_t max_model_file_size = 65536;

struct Token {
    std::string_view text;
    int line = 0;
};

// Splits the file into blank-separated tokens line by line, so every fault can
// name the line it stands on.
class Tokens {
public:
    explicit Tokens(std::string_view text) : rest_(text) {}

    std::optional<Token> next() {
        while (field_ == fields_.size()) {
            if (!rest_) return std::nullopt;
            const std::size_t end = rest_->find('\n');
            ++line_;
            fields_ = split_fields(rest_->substr(0, end));
            field_ = 0;
            if (end == std::string_view::npos) {
                rest_.reset();
            } else {
                rest_->remove_prefix(end + 1);
            }
        }
        last_line_ = line_;
        return Token{fields_[field_++], line_};
    }

    // The line of the last token read: where the file ran out.
    int last_line() const { return last_line_; }

private:
    std::optional<std::string_view> rest_;  // the lines not split yet
    std::vector<std::string_view> fields_;  // the tokens of line line_
    std::size_t field_ = 0;
    int line_ = 0;
    int last_line_ = 1;
};

// "%d" syntax: an optional sign and at least one decimal digit, within int32.
std::optional<int32_t> to_int32(std::string_view text) {
    // from_chars takes a minus but no plus; after the sign a digit must follow.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    int32_t value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

class ModelReader {
public:
    ModelReader(std::string_view text, const std::string& file_name) : tokens_(text), file_(file_name) {}

    Model read() {
        while (const std::optional<Token> token = tokens_.next()) {
            if (token->text.size() > max_keyword_length) {
                fail(token->line, quoted_excerpt(token->text) + " is too long for a keyword (at most 7 characters)");
            }
            if (token->text == "size") {
                read_size(*token);
            } else if (token->text == "lines") {
                read_lines(*token);
            } else if (token->text == "points") {
                read_points(*token);
            } else if (token->text == "p") {
                read_point(*token);
            } else if (token->text == "v") {
                read_segment(*token);
            }
            // Anything else, stray numbers included, is a comment word and skipped.
        }
        return finish();
    }

private:
    [[noreturn]] void fail(int line, const std::string& reason) const { throw DataError(file_, line, reason); }

    struct Number {
        int32_t value;
        int line;
    };

    Number read_int(const Token& keyword, const char* what) {
        const std::optional<Token> token = tokens_.next();
        if (!token) {
            fail(tokens_.last_line(), quoted_excerpt(keyword.text) + " is missing its " + what);
        }
        const std::optional<int32_t> value = to_int32(token->text);
        if (!value) {
            fail(token->line, quoted_excerpt(token->text) + " is not a whole number within 32 bits (" +
                                  std::string(keyword.text) + " " + what + ")");
        }
        return Number{*value, token->line};
    }

    void reject_repeat(const Token& keyword, bool seen) const {
        if (seen) fail(keyword.line, quoted_excerpt(keyword.text) + " is given twice");
    }

    void read_size(const Token& keyword) {
        reject_repeat(keyword, size_seen_);
        size_seen_ = true;
        model_.size = read_int(keyword, "hit radius").value;
    }

    void read_lines(const Token& keyword) {
        reject_repeat(keyword, lines_seen_);
        lines_seen_ = true;
        const Number count = read_int(keyword, "segment count");
        if (count.value < 1 || count.value > max_model_lines) {
            fail(count.line, "segment count " + std::to_string(count.value) + " is outside 1 to 25");
        }
        model_.line_count = count.value;
        model_.lines.assign(static_cast<std::size_t>(count.value), ModelLine{});
    }

    void read_points(const Token& keyword) {
        reject_repeat(keyword, points_seen_);
        points_seen_ = true;
        const Number count = read_int(keyword, "point count");
        if (count.value < 0) fail(count.line, "point count " + std::to_string(count.value) + " is negative");
        // The list grows with each point rather than up front, so an absurd
        // count costs nothing until points actually arrive.
        point_limit_ = count.value;
    }

    void read_point(const Token& keyword) {
        if (!points_seen_) fail(keyword.line, "point given before \"points\"");
        if (static_cast<int64_t>(points_.size()) >= point_limit_) {
            fail(keyword.line, "more points than the " + std::to_string(point_limit_) + " declared");
        }
        const int32_t x = read_int(keyword, "x").value;
        const int32_t y = read_int(keyword, "y").value;
        points_.push_back(Point{x, y});
    }

    const Point& point_at(const Number& index) const {
        if (index.value < 0 || static_cast<std::size_t>(index.value) >= points_.size()) {
            fail(index.line, "point " + std::to_string(index.value) + " has not been given (" +
                                 std::to_string(points_.size()) + " so far)");
        }
        return points_[static_cast<std::size_t>(index.value)];
    }

    void read_segment(const Token& keyword) {
        if (!lines_seen_) fail(keyword.line, "segment given before \"lines\"");
        if (next_line_ >= model_.line_count) {
            fail(keyword.line, "more segments than the " + std::to_string(model_.line_count) + " declared");
        }
        const Point a = point_at(read_int(keyword, "first point"));
        const Point b = point_at(read_int(keyword, "second point"));
        const Number k = read_int(keyword, "colour");
        ModelLine& line = model_.lines[static_cast<std::size_t>(next_line_)];
        line.x1 = a.x;
        line.y1 = a.y;
        line.x2 = b.x;
        line.y2 = b.y;
        line.colour = static_cast<uint8_t>(k.value);
        ++next_line_;
    }

    Model finish() {
        if (!size_seen_) fail(0, "\"size\" is missing");
        if (!lines_seen_) fail(0, "\"lines\" is missing");
        if (!points_seen_) fail(0, "\"points\" is missing");
        if (next_line_ < model_.line_count) {
            fail(0, "only " + std::to_string(next_line_) + " of the " + std::to_string(model_.line_count) +
                        " declared segments are given");
        }
        model_.longest_run = longest_run(model_.lines);
        return std::move(model_);
    }

    Tokens tokens_;
    const std::string& file_;
    Model model_;
    std::vector<Point> points_;
    int64_t point_limit_ = 0;
    int32_t next_line_ = 0;
    bool size_seen_ = false;
    bool lines_seen_ = false;
    bool points_seen_ = false;
};

}  // namespace

int64_t longest_run(const std::vector<ModelLine>& lines) {
    // Coordinates this small keep every scaled point exact in 32 bits at the
    // nearest depth (scale 1024), which the renderer's reading of the run needs.
    constexpr int64_t exact_limit = int64_t{1} << 20;
    int64_t longest = 0;
    for (const ModelLine& line : lines) {
        for (const int64_t v : {line.x1, line.y1, line.x2, line.y2}) {
            if (v <= -exact_limit || v >= exact_limit) return unknown_run;
        }
        longest = std::max({longest, std::abs(int64_t{line.x2} - line.x1), std::abs(int64_t{line.y2} - line.y1)});
    }
    return longest;
}

Model parse_model(std::string_view text, const std::string& file_name) {
    if (text.size() > max_model_file_size) {
        throw DataError(
            file_name, 0,
            "is larger than " + std::to_string(max_model_file_size) + " bytes, the most a model file may have");
    }
    return ModelReader(text, file_name).read();
}

Model load_model(const std::string& file_name) {
    // One byte past the limit is enough to tell that the file is too large.
    const BoundedText file = read_at_most(file_name, max_model_file_size, "a model file");
    if (file.fault) throw DataError(file_name, 0, *file.fault);
    return parse_model(file.text, file_name);
}

void load_models(Models& models, const std::string& folder) {
    models.tie = load_model(file_in(folder, "tie.obj"));
    models.bolt = load_model(file_in(folder, "bolt.obj"));
    models.heal = load_model(file_in(folder, "heal.obj"));
    models.bomb = load_model(file_in(folder, "bomb.obj"));
    models.shield = load_model(file_in(folder, "shield.obj"));
}

}  // namespace qv
