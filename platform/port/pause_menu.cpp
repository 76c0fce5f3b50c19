#include "platform/port/pause_menu.h"

#include <algorithm>

#include "platform/excerpt.h"
#include "platform/frame.h"
#include "platform/port/options.h"

namespace qv {

namespace {

// The picture is 320 x 200; the panel leaves a margin of the game around it.
constexpr MenuBox panel_box{8, 6, screen_width - 16, screen_height - 12};
constexpr int32_t rows_top = 34;
constexpr int32_t item_height = 12;  // a row that can be chosen
constexpr int32_t text_height = 9;   // a line of text
constexpr int32_t row_inset = 8;     // from the panel's sides
// Characters of a controls line after its device's column.
constexpr size_t controls_text_width =
    static_cast<size_t>((panel_box.width - 2 * row_inset - menu_text_column - 4) / 6);

MenuOutcome resumed() {
    MenuOutcome outcome;
    outcome.resume = true;
    return outcome;
}

MenuOutcome quitting() {
    MenuOutcome outcome;
    outcome.quit = true;
    return outcome;
}

MenuOutcome changed(std::string_view key) {
    MenuOutcome outcome;
    outcome.setting = key;
    return outcome;
}

std::string on_off(bool on) { return on ? "On" : "Off"; }

// One option: its value as shown and a step through its values (wrapping, so
// that select alone reaches every value).
struct OptionKind {
    std::string_view key;
    std::string_view label;
    bool window;  // offered only where the window is the program's
    bool again;
};

constexpr OptionKind option_kinds[] = {
    {"scale", "Scale", true, false},
    {"fullscreen", "Fullscreen", true, false},
    {"aspect", "Aspect", true, false},
    {"volume", "Volume", false, false},
    {"mute", "Mute", false, false},
    {"again", "Play again after a game", false, true},
    {"pad_speed", "Pad speed", false, false},
    {"key_speed", "Arrow keys speed", false, false},
    {"dead_zone", "Stick dead zone", false, false},
};

int32_t wrapped_step(int32_t value, int32_t step, int32_t low, int32_t high, int32_t by) {
    const int32_t count = (high - low) / by + 1;
    const int32_t index = ((value - low) / by + step % count + count) % count;
    return low + index * by;
}

std::string option_value(std::string_view key, const PortSettings& s) {
    if (key == "scale") return s.scale == 0 ? "Fit" : std::to_string(s.scale) + "x";
    if (key == "fullscreen") return on_off(s.fullscreen);
    if (key == "aspect") return s.aspect == Aspect::FourThree ? "4:3" : "1:1";
    if (key == "volume") return std::to_string(s.volume) + "%";
    if (key == "mute") return on_off(s.mute);
    if (key == "again") return on_off(s.again);
    if (key == "pad_speed") return std::to_string(s.pad_speed);
    if (key == "key_speed") return std::to_string(s.key_speed);
    if (key == "dead_zone") return std::to_string(s.dead_zone) + "%";
    return {};
}

void step_option(std::string_view key, int step, PortSettings& s) {
    if (key == "scale") s.scale = wrapped_step(std::clamp(s.scale, 0, menu_max_scale), step, 0, menu_max_scale, 1);
    if (key == "fullscreen") s.fullscreen = !s.fullscreen;
    if (key == "aspect") s.aspect = s.aspect == Aspect::FourThree ? Aspect::SquarePixels : Aspect::FourThree;
    if (key == "volume") s.volume = wrapped_step(std::clamp(s.volume / 10 * 10, 0, 100), step, 0, 100, 10);
    if (key == "mute") s.mute = !s.mute;
    if (key == "again") s.again = !s.again;
    if (key == "pad_speed") s.pad_speed = wrapped_step(std::clamp(s.pad_speed, 1, 10), step, 1, 10, 1);
    if (key == "key_speed") s.key_speed = wrapped_step(std::clamp(s.key_speed, 1, 10), step, 1, 10, 1);
    if (key == "dead_zone") s.dead_zone = wrapped_step(std::clamp(s.dead_zone / 5 * 5, 0, 50), step, 0, 50, 5);
}

std::string_view page_title(MenuPage page) {
    switch (page) {
        case MenuPage::Main:
            return "PAUSED";
        case MenuPage::Options:
            return "OPTIONS";
        case MenuPage::Scores:
            return "BEST SCORES";
        case MenuPage::Controls:
            return "CONTROLS";
    }
    return {};
}

}  // namespace

std::vector<std::string> wrap_words(std::string_view text, size_t width) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::string_view word : split_fields(text)) {
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

void PauseMenu::open(MenuPage page, bool leave_resumes) {
    page_ = page;
    leave_resumes_ = leave_resumes;
    select_first(rows(PortSettings{}));
}

void PauseMenu::set_scores(const ScoreTable& table, std::optional<size_t> marked) {
    scores_ = table;
    marked_ = marked;
}

std::vector<PauseMenu::Row> PauseMenu::rows(const PortSettings& settings) const {
    std::vector<Row> list;
    switch (page_) {
        case MenuPage::Main:
            list = {item("Resume", Action::Resume), item("Options", Action::Options),
                    item("Best scores", Action::Scores), item("Controls", Action::Controls),
                    item("Quit", Action::Quit)};
            return list;
        case MenuPage::Options:
            for (const OptionKind& kind : option_kinds) {
                if ((kind.window && !offer.window) || (kind.again && !offer.again)) continue;
                Row row = item(std::string(kind.label), Action::Setting);
                row.value = option_value(kind.key, settings);
                row.key = kind.key;
                list.push_back(std::move(row));
            }
            break;
        case MenuPage::Scores: {
            const std::vector<std::string> lines = score_lines(scores_);
            for (size_t i = 0; i < lines.size(); ++i) {
                const bool heading = i == 0 && !scores_.entries().empty();
                const bool marked = marked_ && !heading && i == *marked_ + 1;
                Row row = text(lines[i], {}, heading ? RowStyle::Heading : RowStyle::Text);
                row.marked = marked;
                list.push_back(std::move(row));
            }
            if (marked_) {
                list.push_back(text({}, {}, RowStyle::Text));
                list.push_back(
                    text("Your game made place " + std::to_string(*marked_ + 1) + "!", {}, RowStyle::Heading));
            }
            break;
        }
        case MenuPage::Controls:
            for (const ControlHelp& help : controls_help()) {
                std::string device(help.device);
                for (std::string& line : wrap_words(help.use, controls_text_width)) {
                    list.push_back(text(std::move(device), std::move(line), RowStyle::Text));
                    device.clear();
                }
            }
            break;
    }
    list.push_back(item(leave_resumes_ ? "Continue" : "Back", Action::Back));
    return list;
}

std::vector<MenuBox> PauseMenu::boxes(const std::vector<Row>& list) const {
    std::vector<MenuBox> out;
    int32_t y = rows_top;
    for (const Row& row : list) {
        const int32_t height = row.style == RowStyle::Item ? item_height : text_height;
        // The way back sits a little apart from a page of text.
        if (row.action == Action::Back && page_ != MenuPage::Main && page_ != MenuPage::Options) y += 3;
        out.push_back({panel_box.x + row_inset, y, panel_box.width - 2 * row_inset, height});
        y += height;
    }
    return out;
}

void PauseMenu::select_first(const std::vector<Row>& list) {
    const auto first = std::find_if(list.begin(), list.end(), [](const Row& r) { return r.style == RowStyle::Item; });
    selected_ = static_cast<size_t>(first - list.begin());
}

void PauseMenu::move(int step, const std::vector<Row>& list) {
    const auto count = static_cast<int>(list.size());
    int at = static_cast<int>(selected_);
    for (int tries = 0; tries < count; ++tries) {
        at = (at + step + count) % count;
        if (list[static_cast<size_t>(at)].style == RowStyle::Item) break;
    }
    selected_ = static_cast<size_t>(at);
}

MenuOutcome PauseMenu::back() {
    if (page_ == MenuPage::Main || leave_resumes_) return resumed();
    const MenuPage from = page_;
    page_ = MenuPage::Main;
    // The item that led to the page is selected again.
    selected_ = from == MenuPage::Options ? 1 : from == MenuPage::Scores ? 2 : 3;
    return {};
}

MenuOutcome PauseMenu::act(const Row& row, int step, PortSettings& settings) {
    switch (row.action) {
        case Action::Resume:
            return resumed();
        case Action::Options:
        case Action::Scores:
        case Action::Controls:
            page_ = row.action == Action::Options  ? MenuPage::Options
                    : row.action == Action::Scores ? MenuPage::Scores
                                                   : MenuPage::Controls;
            select_first(rows(settings));
            return {};
        case Action::Quit:
            return quitting();
        case Action::Back:
            return back();
        case Action::Setting:
            step_option(row.key, step, settings);
            return changed(row.key);
        case Action::None:
            return {};
    }
    return {};
}

MenuOutcome PauseMenu::input(MenuInput in, PortSettings& settings) {
    const std::vector<Row> list = rows(settings);
    if (selected_ >= list.size() || list[selected_].style != RowStyle::Item) select_first(list);
    const Row& row = list[selected_];
    switch (in) {
        case MenuInput::Up:
            move(-1, list);
            return {};
        case MenuInput::Down:
            move(1, list);
            return {};
        case MenuInput::Left:
        case MenuInput::Right:
            // Only an option has values to go through.
            if (row.action != Action::Setting) return {};
            return act(row, in == MenuInput::Left ? -1 : 1, settings);
        case MenuInput::Select:
            return act(row, 1, settings);
        case MenuInput::Back:
            return back();
    }
    return {};
}

bool PauseMenu::hover(int32_t x, int32_t y, const PortSettings& settings) {
    const std::vector<Row> list = rows(settings);
    const std::vector<MenuBox> at = boxes(list);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].style == RowStyle::Item && at[i].contains(x, y) && selected_ != i) {
            selected_ = i;
            return true;
        }
    }
    return false;
}

MenuOutcome PauseMenu::click(int32_t x, int32_t y, PortSettings& settings) {
    if (!panel_box.contains(x, y)) return back();
    const std::vector<Row> list = rows(settings);
    const std::vector<MenuBox> at = boxes(list);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].style == RowStyle::Item && at[i].contains(x, y)) {
            selected_ = i;
            return act(list[i], 1, settings);
        }
    }
    return {};
}

MenuLayout PauseMenu::layout(const PortSettings& settings) const {
    MenuLayout layout;
    layout.title = page_title(page_);
    layout.panel = panel_box;
    const std::vector<Row> list = rows(settings);
    const std::vector<MenuBox> at = boxes(list);
    for (size_t i = 0; i < list.size(); ++i) {
        layout.rows.push_back({list[i].label, list[i].value, at[i], list[i].style, list[i].marked});
    }
    if (selected_ < list.size() && list[selected_].style == RowStyle::Item) layout.selected = selected_;
    layout.hint = page_ == MenuPage::Options ? "Left/right or click: change, Esc/B: back"
                                             : "Arrows/stick move, Enter/A choose, Esc/B back";
    return layout;
}

}  // namespace qv
