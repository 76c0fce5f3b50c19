// The words of the menu and the message box: the font, and where the box's
// parts go for any text and window.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "platform/port/text_font.h"
#include "platform/sdl/message_panel.h"
#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

// About 2 KB of words and line feeds.
std::string long_text() {
    std::string text;
    for (int i = 0; text.size() < 2048; ++i) text += (i % 9 == 8) ? "paragraph\n" : "lorem ipsum ";
    return text;
}

bool inside(const PanelRect& inner, const PanelRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

TEST(TextFont, EveryPrintableLetterHasAGlyphTailsHangBelowAndRunsOfARowMerge) {
    for (char letter = '!'; letter <= '~'; ++letter) {
        EXPECT_FALSE(text_cells(std::string(1, letter), 0, 0, 1).empty()) << letter;
    }
    EXPECT_TRUE(text_cells(" ", 0, 0, 1).empty());
    const auto lowest = [](const char* text) {
        int32_t bottom = 0;
        for (const TextCell& cell : text_cells(text, 0, 0, 1)) bottom = std::max(bottom, cell.y + cell.height);
        return bottom;
    };
    for (const char* tail : {"g", "j", "p", "q", "y", ","}) EXPECT_GT(lowest(tail), text_glyph_height) << tail;
    for (const char* flat : {"a", "Q", "0", "."}) EXPECT_EQ(lowest(flat), text_glyph_height) << flat;

    EXPECT_EQ(text_width("PAUSED"), 35);
    EXPECT_EQ(text_width(""), 0);
    // 'L': one cell in each of the six upper rows, a full bottom row as one run.
    const std::vector<TextCell> l = text_cells("L", 10, 20, 2);
    ASSERT_EQ(l.size(), 7u);
    for (size_t row = 0; row < 6; ++row) {
        EXPECT_EQ((std::array{l[row].x, l[row].y, l[row].width, l[row].height}),
                  (std::array{10, 20 + 2 * int32_t(row), 2, 2}));
    }
    EXPECT_EQ((std::array{l[6].x, l[6].y, l[6].width}), (std::array{10, 32, 10}));
    // A letter the font lacks is a gap of one advance.
    EXPECT_EQ(text_cells("\x7FL", 0, 0, 1).at(0).x, text_advance);
}

TEST(MessageText, WrapsBetweenWordsKeepsLineFeedsBreaksOverlongWordsAndCutsWhatCannotFit) {
    EXPECT_EQ(
        wrap_text(credits, 30, 20),
        (std::vector<std::string>{"Lead Developer (Game Logic,", "Graphics, etc.): Arno Velt",
                                  "Sound Programmer: Pim Oskar", "", "And a very special thanks to:", "Ida Marrow"}));
    EXPECT_EQ(wrap_text("abcdefghij kl", 4, 9), (std::vector<std::string>{"abcd", "efgh", "ij", "kl"}));
    EXPECT_EQ(wrap_text("one\r\ntwo\tthree\n", 20, 9), (std::vector<std::string>{"one", "two three", ""}));
    EXPECT_EQ(wrap_text("", 5, 3), std::vector<std::string>{""});
    // Exactly a line's worth: no empty line after it.
    EXPECT_EQ(wrap_text("abcd efgh", 4, 9), (std::vector<std::string>{"abcd", "efgh"}));
    // What cannot fit is cut with an ellipsis.
    const std::vector<std::string> lines = wrap_text(long_text(), 30, 6);
    ASSERT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) EXPECT_LE(line.size(), 30u) << line;
    EXPECT_EQ(lines.back().substr(lines.back().size() - 3), "...");
    EXPECT_EQ(wrap_text("a b c d", 1, 2), (std::vector<std::string>{"a", "."}));
    EXPECT_EQ(wrap_text("one two three", 9, 1), std::vector<std::string>{"one tw..."});
    // A huge single word does not make a line per letter before it is cut.
    EXPECT_EQ(wrap_text(std::string(1'000'000, 'x'), 10, 2).size(), 2u);
}

TEST(MessageLayout, CreditsSitInACentredPanelAtAReadableScaleAndAnyTextStaysInsideAnyWindow) {
    const MessagePanel shown = lay_out_message("Quorvaner", credits, 960, 600);
    EXPECT_EQ(shown.unit, 2);
    EXPECT_EQ(shown.lines.size(), 4u) << "the credits need no wrapping at this size";
    EXPECT_EQ(shown.lines[0], "Lead Developer (Game Logic, Graphics, etc.): Arno Velt");
    EXPECT_LE(std::abs(2 * shown.frame.x + shown.frame.width - 960), 1);
    EXPECT_LE(std::abs(2 * shown.frame.y + shown.frame.height - 600), 1);
    EXPECT_EQ(lay_out_message("GAME OVER", "", 1920, 1080).unit, 4);

    const std::string caption(500, 'C');
    for (const auto& [width, height] : {std::pair{960, 600}, {320, 200}, {1920, 1080}, {333, 600}, {2000, 210}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const MessagePanel panel = lay_out_message(caption, long_text(), width, height);
        EXPECT_TRUE(inside(panel.frame, PanelRect{0, 0, width, height}));
        EXPECT_TRUE(inside(panel.caption_bar, panel.frame));
        EXPECT_TRUE(inside(panel.button, panel.frame));
        EXPECT_GE(panel.text_y, panel.caption_bar.y + panel.caption_bar.height);
        const auto last_line = static_cast<int32_t>(panel.lines.size()) - 1;
        EXPECT_LE(panel.text_y + last_line * panel.line_height + (text_glyph_height + text_descent) * panel.unit,
                  panel.button.y);
        for (const std::string& line : panel.lines) {
            EXPECT_LE(panel.text_x + text_width(line) * panel.unit, panel.frame.x + panel.frame.width) << line;
        }
        EXPECT_LE(panel.caption_x + text_width(panel.caption) * panel.unit, panel.frame.x + panel.frame.width);
        EXPECT_EQ(panel.lines.back().substr(panel.lines.back().size() - 3), "...");
        EXPECT_EQ(panel.caption.substr(panel.caption.size() - 3), "...");
    }
}

}  // namespace
}  // namespace qv::sdl_test
