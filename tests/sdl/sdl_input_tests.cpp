// The SDL window's translation of every player's hands: a game controller (an
// SDL virtual joystick, plugged in and out while the window is open), the keys
// by their place and a touch screen through injected events. What each device
// does in the game and the menu is the shared input's (input_devices_test).
#include <algorithm>
#include <utility>

#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

using enum WindowEvent;

// A pad as SDL sees a plugged-in game controller: buttons and axes in SDL's
// order (A, B, X, Y, Back, Guide, Start...; left stick, right stick, triggers).
class VirtualPad {
public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.name = "Test pad";
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = SDL_JoystickOpen(index_);
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
        // A trigger at rest is the bottom of its axis.
        axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    ~VirtualPad() { unplug(); }
    void button(SDL_GameControllerButton which, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, which, down ? 1 : 0);
        SDL_PumpEvents();
    }
    void axis(SDL_GameControllerAxis which, int16_t value) {
        SDL_JoystickSetVirtualAxis(joystick_, which, value);
        SDL_PumpEvents();
    }
    void unplug() {
        if (joystick_ == nullptr) return;
        SDL_JoystickClose(joystick_);
        SDL_JoystickDetachVirtual(index_);
        joystick_ = nullptr;
    }

private:
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

TEST_F(SdlWindow, APadPluggedInAnswersABoxAimsFiresOpensTheMenuAndUnpluggedPausesTheGame) {
    open();
    VirtualPad pad;
    drain();
    ASSERT_EQ(backend->pads_open(), 1u) << "plugged in while the window is open";
    // A box: A held as it comes is no answer, B is; the game hears neither.
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    int turns = 0;
    backend->while_box_up = [&] {
        if (++turns == 2) pad.button(SDL_CONTROLLER_BUTTON_A, false);
        if (turns == 3) pad.button(SDL_CONTROLLER_BUTTON_B, true);
        ASSERT_LT(turns, 20);
    };
    backend->message_box("Quorvaner", credits);
    EXPECT_GE(turns, 3);
    pad.button(SDL_CONTROLLER_BUTTON_B, false);
    EXPECT_TRUE(drain().empty());

    // Full left: the crosshair sweeps to the left edge, the system pointer along.
    play();
    SDL_WarpMouseInWindow(backend->window(), 480, 300);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    for (int i = 0; i < 80; ++i) aim();
    EXPECT_EQ(std::pair(crosshair.x, crosshair.y), std::pair(0, 100));
    int pointer_x = 0;
    SDL_GetMouseState(&pointer_x, nullptr);
    EXPECT_LT(pointer_x, 3);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    // The trigger fires while pulled.
    pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    EXPECT_EQ(drain(), Events{LeftButtonDown});
    pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    EXPECT_EQ(drain(), Events{LeftButtonUp});

    // Start opens the menu, where the d-pad moves; Esc plays on.
    turns = 0;
    backend->player().while_paused = [&] {
        if (++turns == 1) pad.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        if (turns == 2) {
            const MenuLayout menu = backend->player().menu_layout();
            EXPECT_EQ(menu.rows[menu.selected.value_or(0)].label, "Options");
            key(SDL_SCANCODE_ESCAPE);
        }
        ASSERT_LT(turns, 20);
    };
    pad.button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(drain().empty());
    EXPECT_GE(turns, 2);
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    pad.button(SDL_CONTROLLER_BUTTON_START, false);

    // Fire, then pull the plug: the game pauses and hears the fire let go.
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(drain(), Events{LeftButtonDown});
    pad.unplug();
    bool paused = false;
    backend->player().while_paused = [&] {
        EXPECT_EQ(backend->pads_open(), 0u);
        if (!std::exchange(paused, true)) key(SDL_SCANCODE_ESCAPE);
    };
    EXPECT_EQ(drain(), Events{LeftButtonUp});
    EXPECT_TRUE(paused);
}

TEST_F(SdlWindow, FingersAndKeysByTheirPlaceClickAimAndFireAndLeavingTheWindowPausesAndLetsThemGo) {
    open();
    // A finger at a point of the window, as SDL gives it: 0 to 1 across.
    const auto finger = [&](uint32_t type, int64_t id, float x, float y, uint32_t time) {
        SDL_Event event{.type = type};
        event.tfinger.fingerId = id;
        event.tfinger.x = x;
        event.tfinger.y = y;
        event.tfinger.timestamp = time;
        event.tfinger.windowID = backend->window_id();
        SDL_PushEvent(&event);
    };
    finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f, 1000);
    finger(SDL_FINGERUP, 1, 0.5f, 0.5f, 1001);
    EXPECT_EQ(drain(), Events{LeftButtonDown}) << "a tap starts the game";
    EXPECT_EQ(drain(), Events{LeftButtonUp});

    play();
    SDL_WarpMouseInWindow(backend->window(), 480, 300);
    // A drag of a fifth of the window to the left: the crosshair moves by that
    // and a half (a fifth of 320 is 64, and a half more is 96).
    finger(SDL_FINGERDOWN, 2, 0.8f, 0.8f, 2000);
    finger(SDL_FINGERMOTION, 2, 0.7f, 0.8f, 2010);
    finger(SDL_FINGERMOTION, 2, 0.6f, 0.8f, 2020);
    drain();
    EXPECT_NEAR(aim().x, 160 - 96, 1);
    key(SDL_SCANCODE_D);  // the key right of S on any layout
    for (int i = 0; i < 90; ++i) aim();
    EXPECT_EQ(aim().x, 319) << "held, it reaches the right edge and steers";

    // Space and a second finger fire. Leaving the window pauses and lets them
    // go; a close ends the pause, and with the window gone nothing waits.
    key(SDL_SCANCODE_SPACE);
    finger(SDL_FINGERDOWN, 3, 0.2f, 0.2f, 2030);
    EXPECT_EQ(drain(), Events{LeftButtonDown});
    backend->player().while_paused = [&] { push_window(SDL_WINDOWEVENT_CLOSE); };
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(drain(), (Events{LeftButtonUp, Close}));
    EXPECT_TRUE(backend->paused());
    backend->destroy_window();
    EXPECT_FALSE(backend->paused());
    EXPECT_EQ(backend->cursor_position().x, 0);  // no window: nothing to wait on
}

// In the menu a click chooses the row under it, in a window twice the
// picture's size: Options, then the scale, which resizes the window at once.
TEST_F(SdlWindow, TheMenuTakesClicksWhereItsRowsAreAndResizesTheWindowAtOnce) {
    open(PortSettings{.scale = 2});
    play();
    const auto click_row = [&](size_t row) {
        const MenuBox box = backend->player().menu_layout().rows.at(row).box;
        click((box.x + 10) * 2, (box.y + 5) * 2);
    };
    int turns = 0;
    backend->player().while_paused = [&] {
        if (++turns == 1) click_row(1);  // Options
        if (turns == 2) {
            EXPECT_EQ(backend->player().menu_page(), MenuPage::Options);
            click_row(0);  // the scale, from 2 to 3
        }
        if (turns == 3) {
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(backend->window(), &width, &height);
            EXPECT_EQ(std::pair(width, height), std::pair(960, 600)) << "at once, still paused";
            key(SDL_SCANCODE_ESCAPE);
            key(SDL_SCANCODE_ESCAPE);
        }
        ASSERT_LT(turns, 20);
    };
    key(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(drain().empty()) << "nothing of the menu reaches the game";
    EXPECT_FALSE(backend->paused());
}

}  // namespace
}  // namespace qv::sdl_test
