// Where the parts of a message box drawn inside the game window go: a panel
// centred in the window with the caption in a bar along its top, the text
// wrapped to the window's width, and an OK button under it. Any text stays on
// the screen: what cannot fit is cut with an ellipsis. All sizes are in the
// window's drawable pixels; the font is the built-in one of platform/port/text_font.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct PanelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool contains(int32_t px, int32_t py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

struct MessagePanel {
    int32_t unit = 1;       // pixels per font cell
    PanelRect frame;        // the whole panel
    PanelRect caption_bar;  // the top of the panel
    PanelRect button;       // OK
    std::string caption;    // as given, or cut to the panel's width
    int32_t caption_x = 0;  // where the caption's first letter starts
    int32_t caption_y = 0;
    std::vector<std::string> lines;  // the text as shown
    int32_t text_x = 0;              // the left edge of every line
    int32_t text_y = 0;              // the top of the first line
    int32_t line_height = 0;
};

inline constexpr std::string_view ellipsis = "...";

// The text's paragraphs (split at line feeds, a carriage return before one
// dropped, tabs shown as a space) broken between words into lines of at most
// `columns` letters; a word longer than a line is broken where the line ends.
// At most `most_lines` lines: when the text needs more, the last one ends with
// an ellipsis. `columns` and `most_lines` are at least 1.
std::vector<std::string> wrap_text(std::string_view text, int32_t columns, int32_t most_lines);

// The panel for a window whose drawable is width x height pixels.
MessagePanel lay_out_message(std::string_view caption, std::string_view text, int32_t width, int32_t height);

}  // namespace qv
