#include "platform/sdl/message_panel.h"

#include <algorithm>

#include "platform/port/text_font.h"

namespace qv {

namespace {

// In font cells.
constexpr int32_t margin_cells = 4;   // between the panel and the window's edges
constexpr int32_t padding_cells = 8;  // inside the panel, around its parts
constexpr int32_t bar_cells = 17;     // the caption bar's height
constexpr int32_t line_cells = 12;    // from one line of text to the next
constexpr int32_t button_width_cells = 44;
constexpr int32_t button_height_cells = 15;
constexpr int32_t least_width_cells = 160;
constexpr int32_t letter_cells = text_glyph_height + text_descent;

void trim_right(std::string& line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
}

// `line` shortened so that it and the ellipsis fit into `columns` letters.
std::string with_ellipsis(std::string line, int32_t columns) {
    const auto room = static_cast<size_t>(std::max(0, columns - static_cast<int32_t>(ellipsis.size())));
    if (line.size() > room) line.resize(room);
    trim_right(line);
    line += ellipsis;
    if (line.size() > static_cast<size_t>(columns)) line.resize(static_cast<size_t>(columns));
    return line;
}

std::string shown_letters(std::string_view paragraph) {
    std::string shown(paragraph);
    if (!shown.empty() && shown.back() == '\r') shown.pop_back();
    std::replace(shown.begin(), shown.end(), '\t', ' ');
    return shown;
}

}  // namespace

std::vector<std::string> wrap_text(std::string_view text, int32_t columns, int32_t most_lines) {
    const auto width = static_cast<size_t>(std::max(1, columns));
    const auto most = static_cast<size_t>(std::max(1, most_lines));
    std::vector<std::string> lines;
    // One line more than fits is enough to know that the text is cut.
    const auto full = [&] { return lines.size() > most; };
    size_t start = 0;
    while (!full()) {
        const size_t feed = text.find('\n', start);
        const std::string paragraph =
            shown_letters(text.substr(start, feed == std::string_view::npos ? std::string_view::npos : feed - start));
        std::string_view rest = paragraph;
        while (rest.size() > width && !full()) {
            const size_t space = rest.substr(0, width + 1).rfind(' ');
            const size_t cut = space == std::string_view::npos || space == 0 ? width : space;
            std::string line(rest.substr(0, cut));
            trim_right(line);
            lines.push_back(line);
            rest.remove_prefix(cut);
            while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        }
        if (!full() && (!rest.empty() || rest.size() == paragraph.size())) lines.emplace_back(rest);
        if (feed == std::string_view::npos) break;
        start = feed + 1;
    }
    if (lines.size() > most) {
        lines.resize(most);
        lines.back() = with_ellipsis(lines.back(), static_cast<int32_t>(width));
    }
    return lines;
}

MessagePanel lay_out_message(std::string_view caption, std::string_view text, int32_t width, int32_t height) {
    MessagePanel panel;
    const int32_t unit = std::max(1, std::min(width / 420, height / 260));
    panel.unit = unit;
    const int32_t margin = margin_cells * unit;
    const int32_t padding = padding_cells * unit;
    const int32_t advance = text_advance * unit;
    const int32_t bar = bar_cells * unit;
    panel.line_height = line_cells * unit;
    const int32_t button_width = button_width_cells * unit;
    const int32_t button_height = button_height_cells * unit;

    const int32_t widest = width - 2 * margin;
    const int32_t columns = std::max(1, (widest - 2 * padding + unit) / advance);
    const int32_t text_room = height - 2 * margin - bar - 3 * padding - button_height;
    const int32_t most_lines = std::max(1, (text_room - letter_cells * unit) / panel.line_height + 1);
    panel.lines = wrap_text(text, columns, most_lines);

    int32_t content = std::max(button_width, text_width(caption) * unit);
    for (const std::string& line : panel.lines) content = std::max(content, text_width(line) * unit);
    const int32_t panel_width = std::min(std::max(content + 2 * padding, least_width_cells * unit), widest);
    const auto line_count = static_cast<int32_t>(panel.lines.size());
    const int32_t text_height = (line_count - 1) * panel.line_height + letter_cells * unit;
    const int32_t panel_height = bar + padding + text_height + padding + button_height + padding;

    panel.frame = {(width - panel_width) / 2, (height - panel_height) / 2, panel_width, panel_height};
    panel.caption_bar = {panel.frame.x, panel.frame.y, panel_width, bar};
    const int32_t caption_columns = std::max(1, (panel_width - 2 * padding + unit) / advance);
    panel.caption = static_cast<int32_t>(caption.size()) > caption_columns
                        ? with_ellipsis(std::string(caption), caption_columns)
                        : std::string(caption);
    panel.caption_x = panel.frame.x + padding;
    panel.caption_y = panel.frame.y + (bar - text_glyph_height * unit) / 2;
    panel.text_x = panel.frame.x + padding;
    panel.text_y = panel.frame.y + bar + padding;
    panel.button = {panel.frame.x + (panel_width - button_width) / 2,
                    panel.frame.y + panel_height - padding - button_height, button_width, button_height};
    return panel;
}

}  // namespace qv
