// The pause menu's rules, the same in every window: what each input does on
// each page, the pointer and taps over its rows, and how the player's side
// applies and hands on a change, quits, and shows the table after a game.
#include <algorithm>
#include <string>
#include <vector>

#include "fake_window.h"
#include "platform/port/pause_menu.h"
#include "platform/port/settings.h"
#include "platform/port/shown_picture.h"
#include "platform/port/text_font.h"

namespace qv {
namespace {

using enum MenuInput;

std::string selected_label(const MenuLayout& layout) {
    return layout.selected ? layout.rows[*layout.selected].label : "";
}
std::string selected_label(const PauseMenu& menu, const PortSettings& settings) {
    return selected_label(menu.layout(settings));
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

// Every row lies inside the panel below its title, and its words fit the row,
// even with the widest scores.
TEST(PauseMenu, EveryPageFitsInsideItsPanel) {
    PauseMenu menu;
    PortSettings settings;
    ScoreTable table;
    for (int i = 0; i < 12; ++i) table.add({99999900, 9999, 999999, "2025-12-31", 4294967295u});
    menu.set_scores(table, 9);
    for (const MenuPage page : {MenuPage::Main, MenuPage::Options, MenuPage::Scores, MenuPage::Controls}) {
        menu.open(page);
        const MenuLayout layout = menu.layout(settings);
        SCOPED_TRACE(layout.title);
        EXPECT_LE(text_width(layout.title) * 2, layout.panel.width - 4);
        EXPECT_LE(text_width(layout.hint), layout.panel.width - 4) << layout.hint;
        for (const MenuRow& row : layout.rows) {
            EXPECT_GE(row.box.x, layout.panel.x);
            EXPECT_LE(row.box.x + row.box.width, layout.panel.x + layout.panel.width);
            EXPECT_GE(row.box.y, layout.panel.y + 20);
            EXPECT_LE(row.box.y + row.box.height, layout.panel.y + layout.panel.height - 14) << row.label;
            const int32_t words =
                row.style != RowStyle::Item
                    ? (row.value.empty() ? 2 + text_width(row.label) : menu_text_column + text_width(row.value))
                    : text_width(row.label) + text_width(row.value) + 12;
            EXPECT_LE(words, row.box.width) << row.label << row.value;
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
}

using PlayerMenu = testing::PlayerTest;

TEST_F(PlayerMenu, ChangesAreAppliedAndHandedOnAtOnceQuitClosesAndTheGameNeverHearsTheMenu) {
    std::vector<std::string> saved;
    player.settings_changed = [&](const PortSettings& s, std::string_view key) {
        saved.push_back(std::string(key) + "=" + setting_text(s, key));
    };
    in_play();
    player.request(PlayerRequest::Fullscreen);
    EXPECT_EQ(saved, std::vector<std::string>{"fullscreen=1"}) << "F11 is kept like a menu change";

    player.request(PlayerRequest::Pause);
    const uint64_t serial = player.overlay_serial();
    native.while_waiting = [&] {
        switch (native.waits) {
            case 1:
                player.menu_input(Down);
                player.menu_input(Select);  // Options
                break;
            case 2:
                player.menu_input(Right);  // scale: fit -> 1x
                break;
            case 3: {
                // The mouse clicks on Back, the row under the pointer.
                const MenuRow back = player.menu_layout().rows.back();
                player.pointer_at(back.box.x + 4, back.box.y + 4);
                click(MouseButton::Left);
                break;
            }
            case 4:
                EXPECT_EQ(player.menu_page(), MenuPage::Main);
                player.request(PlayerRequest::Pause);  // Esc on the main page resumes
                break;
        }
    };
    EXPECT_TRUE(pump().empty()) << "no click of the menu reaches the game";
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(native.waits, 4);
    EXPECT_GT(player.overlay_serial(), serial + 3) << "each change redrawn";
    ASSERT_EQ(native.applied.size(), 1u);
    EXPECT_EQ(native.applied[0].scale, 1);
    EXPECT_TRUE(native.applied[0].fullscreen);
    EXPECT_EQ(saved.back(), "scale=1");

    // Quit: the program ends as if the window were closed.
    player.request(PlayerRequest::Pause);
    native.waits = 0;
    native.while_waiting = [&] {
        player.menu_input(Up);
        player.menu_input(Select);
    };
    EXPECT_EQ(pump(), testing::Events{WindowEvent::Close});
    EXPECT_EQ(native.waits, 1);
}

TEST_F(PlayerMenu, TheTableAfterTheScoreBoxMarksThatGameHoldsUntilLeftAndKeepsTheMusic) {
    player.opened(true);
    ScoreTable table;
    table.add({500, 2, 5, "2025-01-01", 1});
    table.add({900, 3, 9, "2025-01-02", 2});
    native.while_waiting = [&] {
        const MenuLayout layout = player.menu_layout();
        std::vector<std::string> marked;
        for (const MenuRow& row : layout.rows) {
            if (row.marked) marked.push_back(row.label);
        }
        ASSERT_EQ(marked.size(), 1u);
        EXPECT_NE(marked[0].find("500"), std::string::npos);
        EXPECT_NE(row_named(layout, "Your game made place 2!"), nullptr);
        EXPECT_EQ(selected_label(layout), "Continue");
        player.menu_input(Select);  // and the way back resumes
    };
    player.show_scores(table, 1);
    EXPECT_EQ(native.waits, 1);
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(std::count(native.calls.begin(), native.calls.end(), "sound off"), 0) << "the score's music plays on";

    // Opened later from the menu, the same table marks nothing.
    player.request(PlayerRequest::Pause);
    player.menu_input(Down);
    player.menu_input(Down);
    player.menu_input(Select);
    EXPECT_EQ(player.menu_layout().title, "BEST SCORES");
    for (const MenuRow& row : player.menu_layout().rows) EXPECT_FALSE(row.marked);
}

TEST_F(PlayerMenu, TheMenuIsDrawnOverThePictureWithTheSelectedRowFramedAndGoneWhenItCloses) {
    player.opened(true);
    ShownPicture picture(xrgb_pixels);
    picture.set_frame(FrameBuffer{}, Palette{});
    player.request(PlayerRequest::Pause);
    picture.set_overlay(player);
    ASSERT_TRUE(picture.overlaid());
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
}

}  // namespace
}  // namespace qv
