// The pause menu's rules, the same in every window: what each input does on
// each page, the pointer and taps over its rows, and how the player's side
// applies and hands on a change, quits, and shows the table after a game.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "platform/port/pause_menu.h"
#include "platform/port/player_side.h"
#include "platform/port/settings.h"
#include "platform/port/shown_picture.h"
#include "platform/port/text_font.h"

namespace qv {
namespace {

using enum MenuInput;

std::string selected_label(const PauseMenu& menu, const PortSettings& settings) {
    const MenuLayout layout = menu.layout(settings);
    return layout.selected ? layout.rows[*layout.selected].label : "";
}

const MenuRow* row_named(const MenuLayout& layout, std::string_view label) {
    for (const MenuRow& row : layout.rows) {
        if (row.label == label) return &row;
    }
    return nullptr;
}

TEST(PauseMenu, KeysWalkTheMainPageWrapAroundAndBackResumesOnlyFromIt) {
    PauseMenu menu;
    PortSettings settings;
    menu.open();
    EXPECT_EQ(selected_label(menu, settings), "Resume");
    menu.input(Up, settings);
    EXPECT_EQ(selected_label(menu, settings), "Quit") << "up from the top wraps to the bottom";
    EXPECT_TRUE(menu.input(Select, settings).quit);
    menu.input(Down, settings);
    menu.input(Down, settings);
    EXPECT_EQ(selected_label(menu, settings), "Options");
    EXPECT_FALSE(menu.input(Left, settings).resume) << "left and right do nothing on an item";
    menu.input(Select, settings);
    EXPECT_EQ(menu.page(), MenuPage::Options);
    EXPECT_EQ(selected_label(menu, settings), "Scale");
    EXPECT_FALSE(menu.input(Back, settings).resume);
    EXPECT_EQ(menu.page(), MenuPage::Main);
    EXPECT_EQ(selected_label(menu, settings), "Options") << "back where the player came from";
    EXPECT_TRUE(menu.input(Back, settings).resume);

    // The text pages only have their way back to choose.
    for (const auto& [steps, page] : {std::pair{2, MenuPage::Scores}, std::pair{3, MenuPage::Controls}}) {
        menu.open();
        for (int i = 0; i < steps; ++i) menu.input(Down, settings);
        menu.input(Select, settings);
        EXPECT_EQ(menu.page(), page);
        EXPECT_EQ(selected_label(menu, settings), "Back");
        menu.input(Down, settings);
        EXPECT_EQ(selected_label(menu, settings), "Back");
        EXPECT_FALSE(menu.input(Select, settings).resume);
        EXPECT_EQ(menu.page(), MenuPage::Main);
    }
}

TEST(PauseMenu, EveryOptionStepsThroughItsRangeBothWaysAndSaysWhichKeyChanged) {
    PauseMenu menu;
    PortSettings settings;
    menu.open(MenuPage::Options);
    const std::vector<std::string> keys = {"scale", "fullscreen", "aspect",    "volume",   "mute",
                                           "again", "pad_speed",  "key_speed", "dead_zone"};
    for (const std::string& key : keys) {
        const PortSettings before = settings;
        EXPECT_EQ(menu.input(Right, settings).setting, key);
        EXPECT_EQ(menu.input(Left, settings).setting, key);
        EXPECT_EQ(setting_text(settings, key), setting_text(before, key)) << key << ": right then left is no change";
        menu.input(Down, settings);
    }
    EXPECT_EQ(selected_label(menu, settings), "Back");

    // Scale: fit, 1x ... 8x, and round again; the volume in tens; the dead zone in fives.
    menu.open(MenuPage::Options);
    menu.input(Left, settings);
    EXPECT_EQ(settings.scale, menu_max_scale);
    menu.input(Right, settings);
    menu.input(Right, settings);
    menu.input(Right, settings);
    EXPECT_EQ(settings.scale, 2);
    EXPECT_EQ(menu.layout(settings).rows[0].value, "2x");
    for (int i = 0; i < 3; ++i) menu.input(Down, settings);
    menu.input(Right, settings);
    EXPECT_EQ(settings.volume, 0) << "100 wraps to 0";
    menu.input(Left, settings);
    menu.input(Left, settings);
    EXPECT_EQ(settings.volume, 90);
    EXPECT_EQ(row_named(menu.layout(settings), "Volume")->value, "90%");
    menu.input(Down, settings);
    EXPECT_EQ(menu.input(Select, settings).setting, "mute");
    EXPECT_TRUE(settings.mute);
    EXPECT_EQ(row_named(menu.layout(settings), "Mute")->value, "On");
    settings.dead_zone = 23;  // from the file: the menu goes on from the step below it
    for (int i = 0; i < 4; ++i) menu.input(Down, settings);
    menu.input(Right, settings);
    EXPECT_EQ(settings.dead_zone, 25);
}

TEST(PauseMenu, EveryPageFitsInsideItsPanel) {
    PauseMenu menu;
    PortSettings settings;
    for (const MenuPage page : {MenuPage::Main, MenuPage::Options, MenuPage::Scores, MenuPage::Controls}) {
        menu.open(page);
        const MenuLayout layout = menu.layout(settings);
        SCOPED_TRACE(layout.title);
        EXPECT_LE(text_width(layout.title) * 2, layout.panel.width - 4);
        EXPECT_LE(text_width(layout.hint), layout.panel.width - 4) << layout.hint;
        for (const MenuRow& row : layout.rows) {
            EXPECT_GE(row.box.x, layout.panel.x);
            EXPECT_LE(row.box.x + row.box.width, layout.panel.x + layout.panel.width);
            EXPECT_LE(row.box.y + row.box.height, layout.panel.y + layout.panel.height);
        }
    }
}

TEST(PauseMenu, APageWithoutAWindowOffersOnlyWhatItHas) {
    PauseMenu menu;
    menu.offer = {false, false};
    PortSettings settings;
    menu.open(MenuPage::Options);
    std::vector<std::string> labels;
    for (const MenuRow& row : menu.layout(settings).rows) labels.push_back(row.label);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"Volume", "Mute", "Pad speed", "Arrow keys speed", "Stick dead zone", "Back"}));
}

TEST(PauseMenu, ThePointerSelectsTheRowUnderItAClickChoosesItAndOutsideThePanelGoesBack) {
    PauseMenu menu;
    PortSettings settings;
    menu.open();
    const MenuLayout layout = menu.layout(settings);
    const MenuRow& options = *row_named(layout, "Options");
    const int32_t x = options.box.x + options.box.width / 2;
    const int32_t y = options.box.y + options.box.height / 2;
    EXPECT_TRUE(menu.hover(x, y, settings));
    EXPECT_FALSE(menu.hover(x, y + 1, settings)) << "the same row: nothing new to draw";
    EXPECT_EQ(selected_label(menu, settings), "Options");
    EXPECT_FALSE(menu.hover(x, layout.panel.y + 2, settings)) << "the title is no row";
    EXPECT_EQ(selected_label(menu, settings), "Options");
    menu.click(x, y, settings);
    EXPECT_EQ(menu.page(), MenuPage::Options);
    const MenuRow scale = menu.layout(settings).rows[0];
    EXPECT_EQ(menu.click(scale.box.x + 1, scale.box.y + 1, settings).setting, "scale");
    EXPECT_EQ(settings.scale, 1);
    EXPECT_FALSE(menu.click(2, 2, settings).resume) << "outside the panel: back to the main page";
    EXPECT_EQ(menu.page(), MenuPage::Main);
    EXPECT_TRUE(menu.click(2, 2, settings).resume);

    // Every row lies inside the panel, and its words fit the row.
    for (MenuPage page : {MenuPage::Main, MenuPage::Options, MenuPage::Scores, MenuPage::Controls}) {
        ScoreTable table;
        for (int i = 0; i < 12; ++i) table.add({99999900, 9999, 999999, "2025-12-31", 4294967295u});
        menu.set_scores(table, 9);
        menu.open(page);
        const MenuLayout shown = menu.layout(settings);
        for (const MenuRow& row : shown.rows) {
            EXPECT_GE(row.box.y, shown.panel.y + 20);
            EXPECT_LE(row.box.y + row.box.height, shown.panel.y + shown.panel.height - 14) << row.label;
            const int32_t words =
                row.style != RowStyle::Item
                    ? (row.value.empty() ? 2 + text_width(row.label) : menu_text_column + text_width(row.value))
                    : text_width(row.label) + text_width(row.value) + 12;
            EXPECT_LE(words, row.box.width) << row.label << row.value;
        }
    }
}

TEST(PauseMenu, TheTableAfterAGameMarksItsPlaceAndItsWayBackResumes) {
    PauseMenu menu;
    PortSettings settings;
    ScoreTable table;
    table.add({500, 2, 5, "2025-01-01", 1});
    table.add({900, 3, 9, "2025-01-02", 2});
    menu.set_scores(table, 1);
    menu.open(MenuPage::Scores, true);
    const MenuLayout layout = menu.layout(settings);
    std::vector<std::string> marked;
    for (const MenuRow& row : layout.rows) {
        if (row.marked) marked.push_back(row.label);
    }
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_NE(marked[0].find("500"), std::string::npos);
    EXPECT_NE(row_named(layout, "Your game made place 2!"), nullptr);
    EXPECT_EQ(selected_label(menu, settings), "Continue");
    EXPECT_TRUE(menu.input(Select, settings).resume);
}

// A window whose system calls are a log; the test says what happens while paused.
struct MenuWindow final : NativeWindow {
    std::vector<std::string> calls;
    std::vector<PortSettings> applied;
    std::function<void()> while_waiting;
    int waits = 0;
    void capture_pointer(bool) override {}
    void pause_sound(bool paused) override { calls.push_back(paused ? "sound off" : "sound on"); }
    void redraw() override { calls.push_back("redraw"); }
    bool toggle_fullscreen() override { return true; }
    void apply_settings(const PortSettings& settings) override { applied.push_back(settings); }
    void wait_for_events(uint32_t) override {
        ++waits;
        if (while_waiting) while_waiting();
        ASSERT_LT(waits, 50) << "the menu never closed";
    }
};

TEST(PlayerMenu, ChangesAreAppliedAndHandedOnAtOnceQuitClosesAndTheGameNeverHearsTheMenu) {
    MenuWindow native;
    PlayerSide player(native, PortSettings{.scale = 3});
    std::vector<std::string> saved;
    player.settings_changed = [&](const PortSettings& s, std::string_view key) {
        saved.push_back(std::string(key) + "=" + setting_text(s, key));
    };
    player.opened(true);
    player.set_playing(true);
    player.request(PlayerRequest::Fullscreen);
    EXPECT_EQ(saved, std::vector<std::string>{"fullscreen=1"}) << "F11 is kept like a menu change";
    EXPECT_TRUE(player.settings().fullscreen);

    player.request(PlayerRequest::Pause);
    const uint64_t serial = player.overlay_serial();
    native.while_waiting = [&] {
        switch (native.waits) {
            case 1:
                player.menu_input(Down);
                player.menu_input(Select);  // Options
                break;
            case 2:
                player.menu_input(Left);  // scale 3 -> 2
                break;
            case 3: {
                // The mouse clicks on Back, the row under the pointer.
                const MenuLayout layout = player.menu_layout();
                const MenuRow& back = layout.rows.back();
                player.pointer_at(back.box.x + 4, back.box.y + 4);
                player.button(MouseButton::Left, true);
                player.button(MouseButton::Left, false);
                break;
            }
            case 4:
                EXPECT_EQ(player.menu_page(), MenuPage::Main);
                player.request(PlayerRequest::Pause);  // Esc on the main page resumes
                break;
            default:
                break;
        }
    };
    player.start_pump();
    WindowEvent event{};
    EXPECT_FALSE(player.next_event(event)) << "no click of the menu reaches the game";
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(native.waits, 4);
    EXPECT_GT(player.overlay_serial(), serial + 3) << "each change redrawn";
    ASSERT_EQ(native.applied.size(), 1u);
    EXPECT_EQ(native.applied[0].scale, 2);
    EXPECT_TRUE(native.applied[0].fullscreen);
    EXPECT_EQ(saved.back(), "scale=2");
    EXPECT_EQ(player.settings().scale, 2);

    // Quit: the program ends as if the window were closed.
    player.request(PlayerRequest::Pause);
    native.waits = 0;
    native.while_waiting = [&] {
        player.menu_input(Up);
        player.menu_input(Select);
    };
    player.start_pump();
    ASSERT_TRUE(player.next_event(event));
    EXPECT_EQ(event, WindowEvent::Close);
    EXPECT_EQ(native.waits, 1);
}

TEST(PlayerMenu, TheTableAfterTheScoreBoxHoldsUntilLeftKeepsTheMusicAndMarksOnlyThatGame) {
    MenuWindow native;
    PlayerSide player(native);
    player.opened(true);
    ScoreTable table;
    table.add({300, 1, 3, "2025-02-03", 9});
    native.while_waiting = [&] {
        EXPECT_EQ(player.overlay(), Overlay::Menu);
        EXPECT_EQ(player.menu_page(), MenuPage::Scores);
        player.menu_input(Select);  // Continue
    };
    player.show_scores(table, 0);
    EXPECT_EQ(native.waits, 1);
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(std::count(native.calls.begin(), native.calls.end(), "sound off"), 0) << "the score's music plays on";

    // Opened later from the menu, the same table marks nothing.
    player.request(PlayerRequest::Pause);
    player.menu_input(Down);
    player.menu_input(Down);
    player.menu_input(Select);
    for (const MenuRow& row : player.menu_layout().rows) EXPECT_FALSE(row.marked);
    EXPECT_EQ(player.menu_layout().title, "BEST SCORES");
}

TEST(MenuPicture, TheMenuIsDrawnOverTheDimmedPictureAndGoneWhenItCloses) {
    MenuWindow native;
    PlayerSide player(native);
    player.opened(true);
    ShownPicture picture(xrgb_pixels);
    FrameBuffer frame{};
    frame.fill(1);
    Palette palette{};
    palette[1] = 0x7FFF;  // white
    picture.set_frame(frame, palette);
    player.request(PlayerRequest::Pause);
    picture.set_overlay(player);
    ASSERT_TRUE(picture.overlaid());
    const uint32_t corner = picture.pixels()[0];
    EXPECT_GT(corner & 0xFF, 0x40u);  // dimmed, still there
    EXPECT_LT(corner & 0xFF, 0xC0u);
    // The selected row is framed in gold: Resume, first, at the panel's middle.
    const MenuRow resume = player.menu_layout().rows[0];
    const uint32_t edge = picture.pixels()[resume.box.y * screen_width + resume.box.x + resume.box.width / 2];
    EXPECT_EQ(edge, 0xFFD268u);
    const std::vector<uint32_t> before(picture.pixels(), picture.pixels() + screen_pixels);
    player.menu_input(Down);
    picture.set_overlay(player);
    EXPECT_NE(std::vector<uint32_t>(picture.pixels(), picture.pixels() + screen_pixels), before);
    player.menu_input(Up);
    player.menu_input(Select);
    picture.set_overlay(player);
    EXPECT_FALSE(picture.overlaid());
    EXPECT_EQ(picture.pixels()[0], 0xFFFFFFu);
}

}  // namespace
}  // namespace qv
