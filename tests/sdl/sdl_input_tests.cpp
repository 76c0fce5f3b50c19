// The SDL window with every player's hands: a game controller (an SDL virtual
// joystick, plugged in and out while the window is open), the keyboard and a
// touch screen through injected events. Each starts, aims, fires, steers and
// pauses; a game played with the pad and recorded replays frame for frame on
// the headless back end.
#include <algorithm>
#include <utility>

#include "front/program.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/headless/picture_files.h"
#include "platform/mouse_script.h"
#include "platform/port/port_backend.h"
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

class SdlHands : public SdlWindow {
protected:
    void SetUp() override {
        SdlWindow::SetUp();
        // SDL hears pads only while one of the program's windows has the
        // keyboard focus, which no window on the dummy driver ever gets.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    }
    // One pump as the game's: the crosshair, then the events.
    std::pair<CursorPosition, Events> pump() {
        const CursorPosition at = backend->cursor_position();
        Events events;
        WindowEvent event{};
        while (backend->next_event(event)) events.push_back(event);
        return {at, events};
    }
    Events events() { return pump().second; }
    CursorPosition aim() { return pump().first; }

    // Where the system pointer is, in picture pixels.
    CursorPosition system_pointer() {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        Extent points{};
        Extent pixels{};
        SDL_GetWindowSize(backend->window(), &points.width, &points.height);
        SDL_GetRendererOutputSize(backend->renderer(), &pixels.width, &pixels.height);
        const PicturePoint p = pointer_to_picture(x, y, points, pixels, Aspect::SquarePixels);
        return {p.x, p.y};
    }

    void key(SDL_Scancode code, bool down, bool repeat = false, uint16_t mod = KMOD_NONE) {
        SDL_Event event{.type = down ? uint32_t{SDL_KEYDOWN} : uint32_t{SDL_KEYUP}};
        event.key.keysym.scancode = code;
        event.key.keysym.sym = SDL_GetKeyFromScancode(code);
        event.key.keysym.mod = mod;
        event.key.repeat = repeat ? 1 : 0;
        push(event);
    }
    // A finger at a point of the window, as SDL gives it: 0 to 1 across.
    void finger(uint32_t type, int64_t id, float x, float y, uint32_t time) {
        SDL_Event event{.type = type};
        event.tfinger.fingerId = id;
        event.tfinger.x = x;
        event.tfinger.y = y;
        event.tfinger.timestamp = time;
        event.tfinger.windowID = backend->window_id();
        SDL_PushEvent(&event);
    }
};

TEST_F(SdlHands, APadPluggedInStartsAimsFiresSteersPausesAndUnpluggedPausesTheGame) {
    open();
    VirtualPad pad;
    events();
    ASSERT_EQ(backend->pads_open(), 1u) << "plugged in while the window is open";
    // The title: A starts, B shows the credits.
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    pad.button(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(events(), (Events{LeftButtonDown, RightButtonDown}));
    pad.button(SDL_CONTROLLER_BUTTON_A, false);
    pad.button(SDL_CONTROLLER_BUTTON_B, false);
    EXPECT_EQ(events(), (Events{LeftButtonUp, RightButtonUp}));

    play();
    SDL_WarpMouseInWindow(backend->window(), 480, 300);
    EXPECT_EQ(aim().x, 160);
    // Full left: the crosshair sweeps to the left edge and stays there,
    // steering; the system pointer goes along.
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    int pumps = 0;
    CursorPosition at{160, 100};
    while (at.x >= 20 && ++pumps < 100) at = aim();
    EXPECT_LT(pumps, 60);
    for (int i = 0; i < 20; ++i) at = aim();
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(0, 100));
    EXPECT_EQ(system_pointer().x, 0);
    // Inside the dead zone nothing moves; the mouse still does.
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 3000);
    EXPECT_EQ(aim().x, 0);
    SDL_WarpMouseInWindow(backend->window(), 300, 30);
    EXPECT_EQ(std::pair(aim().x, aim().y), std::pair(100, 10));

    // The trigger fires while pulled.
    pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    EXPECT_EQ(events(), Events{LeftButtonDown});
    pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    EXPECT_EQ(events(), Events{LeftButtonUp});

    // Start opens the menu; the d-pad and A go to Options, Start goes back and
    // Start again resumes. Nothing of it fires.
    int turns = 0;
    backend->player().while_paused = [&] {
        ++turns;
        if (turns == 1) pad.button(SDL_CONTROLLER_BUTTON_START, false);
        if (turns == 2) pad.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
        if (turns == 3) pad.button(SDL_CONTROLLER_BUTTON_A, true);
        if (turns == 4) {
            EXPECT_EQ(backend->player().menu_page(), MenuPage::Options);
            pad.button(SDL_CONTROLLER_BUTTON_START, true);
        }
        if (turns == 5) {
            EXPECT_EQ(backend->player().menu_page(), MenuPage::Main);
            EXPECT_TRUE(backend->paused()) << "Start went back from Options only";
            pad.button(SDL_CONTROLLER_BUTTON_START, false);
        }
        if (turns == 6) pad.button(SDL_CONTROLLER_BUTTON_START, true);
        ASSERT_LT(turns, 20);
    };
    pad.button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(events().empty()) << "A while paused does not fire";
    EXPECT_GE(turns, 6);
    EXPECT_FALSE(backend->paused());
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    pad.button(SDL_CONTROLLER_BUTTON_START, false);
    pad.button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_TRUE(events().empty());

    // Fire, then pull the plug: the game pauses and hears the fire let go.
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(events(), Events{LeftButtonDown});
    pad.unplug();
    bool resumed = false;
    backend->player().while_paused = [&] {
        EXPECT_EQ(backend->pads_open(), 0u);
        if (!std::exchange(resumed, true)) push_key(SDLK_ESCAPE);
    };
    EXPECT_EQ(events(), Events{LeftButtonUp});
    EXPECT_FALSE(backend->paused()) << "Esc resumed";
}

TEST_F(SdlHands, APadAnswersAMessageBoxWithoutTheGameHearingIt) {
    open();
    VirtualPad pad;
    events();
    pad.button(SDL_CONTROLLER_BUTTON_A, true);  // held when the box comes: no answer yet
    int turns = 0;
    backend->while_box_up = [&] {
        ++turns;
        if (turns == 2) pad.button(SDL_CONTROLLER_BUTTON_A, false);
        if (turns == 3) pad.button(SDL_CONTROLLER_BUTTON_B, true);
        ASSERT_LT(turns, 20);
    };
    backend->message_box("Quorvaner", credits);
    EXPECT_GE(turns, 3);
    EXPECT_FALSE(backend->box_up());
    pad.button(SDL_CONTROLLER_BUTTON_B, false);
    EXPECT_TRUE(events().empty()) << "the box's presses are the player's";
}

TEST_F(SdlHands, KeysStartOnTheTitleAimWithARampFireAndNeverRepeat) {
    open();
    key(SDL_SCANCODE_RETURN, true);
    key(SDL_SCANCODE_RETURN, true, true);
    EXPECT_EQ(events(), Events{LeftButtonDown});
    key(SDL_SCANCODE_RETURN, false);
    EXPECT_EQ(events(), Events{LeftButtonUp});
    key(SDL_SCANCODE_RETURN, true, false, KMOD_LALT);
    EXPECT_TRUE(events().empty()) << "Alt+Enter is fullscreen, not a start";
    EXPECT_TRUE(fullscreen());
    key(SDL_SCANCODE_RETURN, false);
    key(SDL_SCANCODE_C, true);
    key(SDL_SCANCODE_C, false);
    EXPECT_EQ(events(), Events{RightButtonDown});
    EXPECT_EQ(events(), Events{RightButtonUp});

    play();
    SDL_WarpMouseInWindow(backend->window(), 480, 300);
    aim();
    // D (the key right of S on any layout) and the right arrow together: one
    // move, slow at first, faster while held; the system pointer follows.
    key(SDL_SCANCODE_D, true);
    key(SDL_SCANCODE_RIGHT, true);
    events();
    const int32_t first = aim().x;
    CursorPosition at{};
    for (int i = 0; i < 45; ++i) at = aim();
    const int32_t late = aim().x - at.x;
    EXPECT_LE(first - 160, 2);
    EXPECT_GE(late, 3);
    for (int i = 0; i < 40; ++i) at = aim();
    EXPECT_EQ(at.x, 319) << "held, it reaches the right edge and steers";
    EXPECT_EQ(system_pointer().x, 319);
    key(SDL_SCANCODE_D, false);
    key(SDL_SCANCODE_RIGHT, false);
    key(SDL_SCANCODE_W, true);
    events();
    EXPECT_LT(aim().y, 100);
    key(SDL_SCANCODE_W, false);

    // Space and Ctrl fire; Enter in play does not.
    key(SDL_SCANCODE_RETURN, true);
    key(SDL_SCANCODE_SPACE, true);
    key(SDL_SCANCODE_LCTRL, true);
    EXPECT_EQ(events(), Events{LeftButtonDown});
    key(SDL_SCANCODE_SPACE, false);
    key(SDL_SCANCODE_RETURN, false);
    EXPECT_TRUE(events().empty());
    key(SDL_SCANCODE_LCTRL, false);
    EXPECT_EQ(events(), Events{LeftButtonUp});
    // Losing the focus lets a held key go.
    key(SDL_SCANCODE_SPACE, true);
    EXPECT_EQ(events(), Events{LeftButtonDown});
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    bool back = false;
    backend->player().while_paused = [&] {
        if (std::exchange(back, true)) return;
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
        push_key(SDLK_ESCAPE);
    };
    EXPECT_EQ(events(), Events{LeftButtonUp});
}

TEST_F(SdlHands, OnATouchScreenATapClicksADragAimsAndASecondFingerFires) {
    open();
    finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f, 1000);
    finger(SDL_FINGERUP, 1, 0.5f, 0.5f, 1001);
    EXPECT_EQ(events(), Events{LeftButtonDown}) << "a tap starts the game";
    EXPECT_EQ(events(), Events{LeftButtonUp});

    play();
    SDL_WarpMouseInWindow(backend->window(), 480, 300);
    aim();
    // A drag of a fifth of the window to the left: the crosshair moves by that
    // and a half (a fifth of 320 is 64, and a half more is 96).
    finger(SDL_FINGERDOWN, 2, 0.8f, 0.8f, 2000);
    finger(SDL_FINGERMOTION, 2, 0.7f, 0.8f, 2010);
    finger(SDL_FINGERMOTION, 2, 0.6f, 0.8f, 2020);
    events();
    EXPECT_NEAR(aim().x, 160 - 96, 1);
    finger(SDL_FINGERDOWN, 3, 0.2f, 0.2f, 2030);
    EXPECT_EQ(events(), Events{LeftButtonDown}) << "the second finger fires";
    finger(SDL_FINGERUP, 3, 0.2f, 0.2f, 2300);
    EXPECT_EQ(events(), Events{LeftButtonUp});
    finger(SDL_FINGERMOTION, 2, 0.0f, 0.8f, 2400);
    events();
    EXPECT_EQ(aim().x, 0) << "dragged to the edge: it steers";
    finger(SDL_FINGERUP, 2, 0.0f, 0.8f, 2500);
    EXPECT_TRUE(events().empty());
}

// Drives the pad by the pump count while the whole program runs, sleeping
// nothing, and notes the CRC of every picture it shows.
class PadPlayer final : public ForwardingBackEnd {
public:
    PadPlayer(SdlBackEnd& window, VirtualPad& pad) : ForwardingBackEnd(window), window_(window), pad_(pad) {}

    CursorPosition cursor_position() override {
        ++pumps_;
        if (pumps_ == 1) {
            SDL_Event focus{.type = SDL_WINDOWEVENT};
            focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
            focus.window.windowID = window_.window_id();
            SDL_PushEvent(&focus);
        }
        // Start, sweep left steering while firing, up and right, fire with A.
        if (pumps_ == 60) pad_.button(SDL_CONTROLLER_BUTTON_A, true);
        if (pumps_ == 64) pad_.button(SDL_CONTROLLER_BUTTON_A, false);
        if (pumps_ == 100) pad_.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
        if (pumps_ == 120) pad_.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        if (pumps_ == 220) pad_.axis(SDL_CONTROLLER_AXIS_LEFTX, 20000);
        if (pumps_ == 220) pad_.axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
        if (pumps_ == 300) pad_.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
        if (pumps_ == 330) pad_.axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
        if (pumps_ == 360) pad_.button(SDL_CONTROLLER_BUTTON_A, true);
        if (pumps_ == 500) pad_.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
        if (pumps_ == 560) pad_.button(SDL_CONTROLLER_BUTTON_A, false);
        if (pumps_ == 600) {
            SDL_Event quit{.type = SDL_QUIT};
            SDL_PushEvent(&quit);
        }
        return wrapped().cursor_position();
    }
    void show_frame(const PresentedFrame& picture) override {
        crcs.push_back(surface_crc(picture.surface.pixels));
        wrapped().show_frame(picture);
    }
    void sleep(uint32_t) override {}

    std::vector<uint32_t> crcs;

private:
    SdlBackEnd& window_;
    VirtualPad& pad_;
    uint64_t pumps_ = 0;
};

TEST_F(SdlHands, AGamePlayedWithThePadAndRecordedReplaysFrameForFrame) {
    backend = std::make_unique<SdlBackEnd>();
    backend->create_window("Recorded");
    VirtualPad pad;
    PadPlayer player(*backend, pad);
    PortBackEnd port(player);
    port.seed = 3;
    std::string recording;
    port.start_recording([&recording](const std::string& text) { recording += text; });
    auto game = std::make_unique<Game>();
    game->window.backend = &port;
    EXPECT_EQ(run_game(*game), 0);
    port.finish_recording();
    ASSERT_EQ(backend->pads_open(), 1u);

    std::string error;
    const auto script = parse_mouse_script(recording, "recording", error);
    ASSERT_TRUE(script) << error;
    const ScriptArgs args = script_args(recording);
    // What the pad did is in the recording as the game saw it: the button held
    // and the crosshair at the left edge.
    EXPECT_TRUE(std::any_of(script->begin(), script->end(), [](const MouseScriptEntry& e) { return e.left == 1; }));
    EXPECT_TRUE(std::any_of(script->begin(), script->end(), [](const MouseScriptEntry& e) { return e.x == 0; }));

    HeadlessBackEnd replay;
    replay.script = *script;
    replay.start_ticks = args.seed.value_or(0);
    replay.max_pumps = args.max_pumps.value_or(0);
    std::vector<uint32_t> replayed;
    replay.on_present = [&replayed](const PresentedFrame& picture) {
        replayed.push_back(surface_crc(picture.surface.pixels));
    };
    auto again = std::make_unique<Game>();
    again->window.backend = &replay;
    run_program(*again);
    EXPECT_GT(player.crcs.size(), 500u);
    EXPECT_EQ(replayed, player.crcs);
}

}  // namespace
}  // namespace qv::sdl_test

namespace qv::sdl_test {

// Esc opens the menu; the keys go to Options and turn the scale to 2: the
// window is 640 x 400 at once and the change is handed on to be saved; F11 and
// a click on the mute row are kept the same way; Esc twice plays on.
TEST_F(SdlHands, TheMenuOnEscResizesTheWindowAtOnceAndHandsEveryChangeOnToBeSaved) {
    open(PortSettings{.scale = 1});
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(backend->window(), &width, &height);
    ASSERT_EQ(std::pair(width, height), std::pair(320, 200));
    std::vector<std::string> saved;
    backend->player().settings_changed = [&](const PortSettings& s, std::string_view key) {
        saved.push_back(std::string(key) + "=" + (key == "scale" ? std::to_string(s.scale) : s.mute ? "1" : "0"));
    };
    play();
    int turns = 0;
    backend->player().while_paused = [&] {
        switch (++turns) {
            case 1:
                EXPECT_EQ(backend->player().overlay(), Overlay::Menu);
                key(SDL_SCANCODE_DOWN, true);
                key(SDL_SCANCODE_DOWN, false);
                key(SDL_SCANCODE_RETURN, true);
                key(SDL_SCANCODE_RETURN, false);
                break;
            case 2:
                EXPECT_EQ(backend->player().menu_page(), MenuPage::Options);
                key(SDL_SCANCODE_RIGHT, true);
                key(SDL_SCANCODE_RIGHT, false);
                break;
            case 3: {
                SDL_GetWindowSize(backend->window(), &width, &height);
                EXPECT_EQ(std::pair(width, height), std::pair(640, 400)) << "at once, still paused";
                EXPECT_EQ(backend->settings().scale, 2);
                // A click on Mute, at its place in the picture (twice as large now).
                const MenuLayout layout = backend->player().menu_layout();
                const auto mute = std::find_if(layout.rows.begin(), layout.rows.end(),
                                               [](const MenuRow& row) { return row.label == "Mute"; });
                ASSERT_NE(mute, layout.rows.end());
                push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, (mute->box.x + 10) * 2, (mute->box.y + 5) * 2);
                push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, (mute->box.x + 10) * 2, (mute->box.y + 5) * 2);
                break;
            }
            case 4:
                EXPECT_TRUE(backend->settings().mute);
                push_key(SDLK_ESCAPE);
                break;
            case 5:
                EXPECT_EQ(backend->player().menu_page(), MenuPage::Main);
                push_key(SDLK_ESCAPE);
                break;
            default:
                ASSERT_LT(turns, 20);
        }
    };
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(pump().second.empty()) << "nothing of the menu reaches the game";
    EXPECT_FALSE(backend->paused());
    EXPECT_EQ(saved, (std::vector<std::string>{"scale=2", "mute=1"}));
}

}  // namespace qv::sdl_test
