#include "world/model.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/data_error.h"

namespace qv {

namespace {

// Longest token that may stand where a keyword is expected; the reader has
// always kept keywords in an eight-byte buffer.
constexpr std::size_t max_keyword_length = 7;

struct Token {
    std::string_view text;
    int line = 0;
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Splits the file into whitespace-separated tokens, counting line breaks so
// every fault can name the line it stands on.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}

    std::optional<Token> next() {
        while (pos_ < text_.size() && is_blank(text_[pos_])) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
        if (pos_ == text_.size()) return std::nullopt;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
        last_line_ = line_;
        return Token{text_.substr(start, pos_ - start), line_};
    }

    // The line of the last token read: where the file ran out.
    int last_line() const { return last_line_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int last_line_ = 1;
};

// "%d" syntax: an optional sign and at least one decimal digit, within int32.
std::optional<int32_t> to_int32(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    int64_t value = 0;
    const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                   : int64_t{std::numeric_limits<int32_t>::max()};
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// A word of the file as the messages show it.
std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
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
                fail(token->line, quoted(token->text) + " is too long for a keyword (at most 7 characters)");
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
            fail(tokens_.last_line(), quoted(keyword.text) + " is missing its " + what);
        }
        const std::optional<int32_t> value = to_int32(token->text);
        if (!value) {
            fail(token->line, quoted(token->text) + " is not a whole number within 32 bits (" +
                                  std::string(keyword.text) + " " + what + ")");
        }
        return Number{*value, token->line};
    }

    void reject_repeat(const Token& keyword, bool seen) const {
        if (seen) fail(keyword.line, quoted(keyword.text) + " is given twice");
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

Model parse_model(std::string_view text, const std::string& file_name) {
    return ModelReader(text, file_name).read();
}

Model load_model(const std::string& file_name) {
    std::error_code ec;
    if (std::filesystem::is_directory(file_name, ec)) {
        throw DataError(file_name, 0, "is a folder, not a model file");
    }
    std::ifstream in(file_name, std::ios::binary);
    if (!in) throw DataError(file_name, 0, "cannot be opened");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw DataError(file_name, 0, "cannot be read");
    return parse_model(text, file_name);
}

void load_models(Models& models) {
    models.tie = load_model("tie.obj");
    models.bolt = load_model("bolt.obj");
    models.heal = load_model("heal.obj");
    models.bomb = load_model("bomb.obj");
    models.shield = load_model("shield.obj");
}

}  // namespace qv
