// The menu the player's side shows over the picture while the game is paused:
// Resume, Options, Best scores, Controls and Quit. Its rules are here once,
// for every back end and every device: what up, down, left, right, select and
// back do, which row the pointer is over and what a click or a tap there does.
// It changes the player's settings and nothing of the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port/best_scores.h"
#include "platform/port_settings.h"

namespace qv {

enum class MenuPage : uint8_t { Main, Options, Scores, Controls };

// What the keys and a pad ask of the menu.
enum class MenuInput : uint8_t { Up, Down, Left, Right, Select, Back };

// Which options a window offers: the web page has no window of its own to
// size and always plays again.
struct MenuOffer {
    bool window = true;  // scale, fullscreen, aspect
    bool again = true;
};

// The largest scale the menu offers (the settings file allows more).
inline constexpr int32_t menu_max_scale = 8;

struct MenuBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool contains(int32_t px, int32_t py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

enum class RowStyle : uint8_t { Item, Text, Heading };

// An item is drawn centred, or with its value at the right; a line of text
// with its label (a device on the controls page) in a column of its own.
struct MenuRow {
    std::string label;
    std::string value;  // an option's value, or a line of text after its label
    MenuBox box;        // in picture pixels
    RowStyle style = RowStyle::Item;
    bool marked = false;  // the last game's place in the table
};

// What is drawn, in picture pixels of the 320 x 200 picture.
struct MenuLayout {
    std::string title;
    MenuBox panel;
    std::vector<MenuRow> rows;
    std::optional<size_t> selected;  // a row of style Item
    std::string hint;
};

// What an input did beyond moving the selection.
struct MenuOutcome {
    bool resume = false;
    bool quit = false;
    std::string_view setting;  // the settings key just changed, or empty
};

class PauseMenu {
public:
    MenuOffer offer;

    // Opens on `page` with its first row selected. With `leave_resumes` the
    // way back from that page resumes instead of going to the main page (the
    // table shown after a game).
    void open(MenuPage page = MenuPage::Main, bool leave_resumes = false);
    MenuPage page() const { return page_; }

    // The table the best scores page shows, and the place to mark in it.
    void set_scores(const ScoreTable& table, std::optional<size_t> marked);

    MenuOutcome input(MenuInput input, PortSettings& settings);
    // The pointer is at (x, y) of the picture: the item under it is selected.
    // Returns whether the selection changed.
    bool hover(int32_t x, int32_t y, const PortSettings& settings);
    // A click or a tap at (x, y): an item is chosen as by select; outside
    // the panel it is the way back.
    MenuOutcome click(int32_t x, int32_t y, PortSettings& settings);

    MenuLayout layout(const PortSettings& settings) const;

private:
    enum class Action : uint8_t { None, Resume, Options, Scores, Controls, Quit, Back, Setting };
    struct Row {
        std::string label;
        std::string value;
        RowStyle style = RowStyle::Item;
        Action action = Action::None;
        std::string_view key;  // Action::Setting
        bool marked = false;
    };
    static Row item(std::string label, Action action) {
        Row row;
        row.label = std::move(label);
        row.action = action;
        return row;
    }
    static Row text(std::string label, std::string value, RowStyle style) {
        Row row;
        row.label = std::move(label);
        row.value = std::move(value);
        row.style = style;
        return row;
    }
    std::vector<Row> rows(const PortSettings& settings) const;
    std::vector<MenuBox> boxes(const std::vector<Row>& rows) const;
    void select_first(const std::vector<Row>& rows);
    void move(int step, const std::vector<Row>& rows);
    MenuOutcome act(const Row& row, int step, PortSettings& settings);
    MenuOutcome back();

    MenuPage page_ = MenuPage::Main;
    size_t selected_ = 0;
    bool leave_resumes_ = false;
    ScoreTable scores_;
    std::optional<size_t> marked_;
};

// The column of a text line's value, from the row's left, in picture pixels.
inline constexpr int32_t menu_text_column = 54;

// `text` broken between words into lines of at most `width` characters.
std::vector<std::string> wrap_words(std::string_view text, size_t width);

}  // namespace qv
