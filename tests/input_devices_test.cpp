// Every player's hands: the stick's dead zone and curve, the keys' ramp, the
// XInput and key mappings, the crosshair that the mouse places and the other
// devices move, the buttons of several devices combined into the game's two,
// and the touch gestures.
#include "platform/port/input_devices.h"

#include <tuple>
#include <utility>

#include "fake_window.h"

namespace qv {
namespace {

using enum WindowEvent;
using testing::Events;

TEST(Speeds, TheStickHasADeadZoneThenAFineCurveUpToTheTopSpeedAndAKeyRampsUpToIt) {
    // 20 % of the travel, in any direction, moves nothing.
    for (const auto& [x, y] : {std::pair{0, 0}, {6553, 0}, {0, -6553}, {4600, 4600}}) {
        const Motion m = stick_motion(x, y, 20, 5);
        EXPECT_EQ(std::pair(m.dx, m.dy), std::pair(0, 0)) << x << "," << y;
    }
    const int32_t top = stick_motion(32767, 0, 20, 5).dx;
    EXPECT_EQ(stick_motion(-32768, 0, 20, 5).dx, -top) << "full left is as fast as full right";
    EXPECT_EQ(stick_motion(0, 32767, 20, 5).dy, top);
    // Past the rim (a square gate's corner) the speed stays the top one, split
    // between the axes.
    const Motion corner = stick_motion(32767, 32767, 20, 5);
    EXPECT_NEAR(corner.dx, top * 707 / 1000, 2);
    EXPECT_EQ(corner.dx, corner.dy);
    // Rising with the deflection, and slow near the dead zone: a tenth of the
    // way past it moves less than a twentieth of the top speed.
    int32_t before = 0;
    for (int32_t x = 6600; x <= 32767; x += 1300) {
        const int32_t speed = stick_motion(x, 0, 20, 5).dx;
        EXPECT_GE(speed, before) << x;
        before = speed;
    }
    const int32_t fine = stick_motion(6553 + 2621, 0, 20, 5).dx;
    EXPECT_GT(fine, 0);
    EXPECT_LT(fine, top / 20);
    // The settings scale the top speed and move the dead zone.
    EXPECT_EQ(stick_motion(32767, 0, 20, 10).dx, 2 * top);
    EXPECT_EQ(stick_motion(32767, 0, 20, 1).dx, top / 5);
    EXPECT_GT(stick_motion(3000, 0, 0, 5).dx, 0);
    EXPECT_EQ(stick_motion(16000, 0, 50, 5).dx, 0);

    // A held key starts at a quarter of its speed and ramps to it in half a second.
    const int32_t key_top = key_step(40, 5);
    EXPECT_EQ(key_step(0, 5), key_top / 4);
    EXPECT_LT(key_step(39, 5), key_top) << "not before half a second";
    EXPECT_EQ(key_step(4000, 5), key_top);
    EXPECT_EQ(key_step(40, 10), 2 * key_top);
    for (int32_t n = 1; n < 45; ++n) EXPECT_GE(key_step(n, 3), key_step(n - 1, 3));
}

TEST(Keys, ArrowsWasdSpaceCtrlEnterAndCMeanTheSameOnEverySystem) {
    struct Key {
        uint32_t usb;
        uint32_t virtual_key;
        const char* code;
        KeyRole role;
    };
    const Key keys[] = {
        {0x50, 0x25, "ArrowLeft", KeyRole::Left},    {0x04, 'A', "KeyA", KeyRole::Left},
        {0x4F, 0x27, "ArrowRight", KeyRole::Right},  {0x07, 'D', "KeyD", KeyRole::Right},
        {0x52, 0x26, "ArrowUp", KeyRole::Up},        {0x1A, 'W', "KeyW", KeyRole::Up},
        {0x51, 0x28, "ArrowDown", KeyRole::Down},    {0x16, 'S', "KeyS", KeyRole::Down},
        {0x2C, 0x20, "Space", KeyRole::Fire},        {0xE0, 0xA2, "ControlLeft", KeyRole::Fire},
        {0xE4, 0xA3, "ControlRight", KeyRole::Fire}, {0x28, 0x0D, "Enter", KeyRole::Start},
        {0x06, 'C', "KeyC", KeyRole::Credits},       {0x29, 0x1B, "Escape", KeyRole::None},
        {0x14, 'Q', "KeyQ", KeyRole::None},          {0x44, 0x7A, "F11", KeyRole::None},
    };
    for (const Key& key : keys) {
        EXPECT_EQ(key_role_for_usb_usage(key.usb), key.role) << key.code;
        EXPECT_EQ(key_role_for_virtual_key(key.virtual_key), key.role) << key.code;
        EXPECT_EQ(key_role_for_code(key.code), key.role) << key.code;
    }
    EXPECT_EQ(key_role_for_virtual_key(0x11), KeyRole::Fire) << "VK_CONTROL, either side";
    EXPECT_EQ(key_role_for_usb_usage(0x58), KeyRole::Start) << "keypad Enter";
}

std::tuple<int, int, int, int> fields(const PadState& pad) {
    return {pad.buttons, pad.trigger, pad.stick_x, pad.stick_y};
}

TEST(Pads, XInputButtonsTriggersAndStickMapAndSeveralPadsPlayAsOne) {
    EXPECT_EQ(fields(pad_from_xinput({xinput_a | xinput_up, 10, 200, -1234, 32767})),
              std::tuple(pad_a | pad_up, 200, -1234, -32767))
        << "the further trigger; up is up";
    EXPECT_EQ(
        fields(pad_from_xinput({xinput_b | xinput_start | xinput_down | xinput_left | xinput_right, 90, 0, 0, -32768})),
        std::tuple(pad_b | pad_start | pad_down | pad_left | pad_right, 90, 0, 32767))
        << "full down saturates";
    EXPECT_EQ(fields(combine({pad_a, 40, 30000, -100}, {pad_start, 20, 10000, 100})),
              std::tuple(pad_a | pad_start, 40, 32767, 0));
}

TEST(CrosshairTest, TheMousePlacesItOtherDevicesMoveItOnThePictureAndLateWarpsAreNoMouseMoves) {
    Crosshair crosshair;
    PointerStep step = crosshair.follow({-30, 250}, {});
    EXPECT_EQ(std::pair(step.at.x, step.at.y), std::pair(-30, 250)) << "the mouse off the picture, as before";
    EXPECT_FALSE(step.moved);
    step = crosshair.follow({100, 50}, {3 * subpixels + 100, 0});
    EXPECT_EQ(std::pair(step.at.x, step.at.y), std::pair(103, 50));
    EXPECT_TRUE(step.moved);
    crosshair.expect(step.at);
    // Moves smaller than a pixel add up.
    step = crosshair.follow({100, 50}, {100, 0});
    EXPECT_EQ(step.at.x, 104);
    crosshair.expect(step.at);
    // The system pointer catches up a pump late, then with the latest: neither
    // is the mouse moving.
    step = crosshair.follow({103, 50}, {});
    EXPECT_EQ(step.at.x, 104);
    step = crosshair.follow({104, 50}, {});
    EXPECT_EQ(step.at.x, 104);
    // Kept on the picture: full deflection ends at the edges, where it steers.
    step = crosshair.follow({104, 50}, {-400 * subpixels, 400 * subpixels});
    EXPECT_EQ(std::pair(step.at.x, step.at.y), std::pair(0, 199));
    step = crosshair.follow({104, 50}, {9999 * subpixels, -9999 * subpixels});
    EXPECT_EQ(std::pair(step.at.x, step.at.y), std::pair(319, 0));
    // A real move of the mouse takes it back.
    step = crosshair.follow({60, 70}, {});
    EXPECT_EQ(std::pair(step.at.x, step.at.y), std::pair(60, 70));
    EXPECT_FALSE(step.moved);
}

struct Hands : testing::PlayerTest {
    PortSettings settings;
    InputDevices devices{player, settings};

    CursorPosition aim(CursorPosition mouse = {160, 100}) { return devices.pointer(mouse).at; }
    void on_title() { player.opened(true); }
    // Each role's key, or another key of the same role.
    void press(KeyRole role, uint32_t key = 0) { devices.key(key * 16 + static_cast<uint32_t>(role), role, true); }
    void release(KeyRole role, uint32_t key = 0) { devices.key(key * 16 + static_cast<uint32_t>(role), role, false); }
};

TEST_F(Hands, EnterStartsOnTheTitleOnlySpaceAndCtrlFireTogetherCShowsTheCreditsAndRepeatsAreNothing) {
    on_title();
    devices.pad_removed();
    EXPECT_FALSE(player.paused()) << "an unplugged pad pauses a game in play only";
    press(KeyRole::Start);
    press(KeyRole::Start);  // a repeat
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    player.set_playing(true);
    release(KeyRole::Start);
    EXPECT_EQ(pump(), Events{LeftButtonUp}) << "held into the game, still let go";
    press(KeyRole::Start);
    EXPECT_TRUE(pump().empty()) << "Enter does not fire";
    press(KeyRole::Fire);
    press(KeyRole::Fire);  // a repeat
    press(KeyRole::Fire, 1);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    release(KeyRole::Start);
    release(KeyRole::Fire);
    EXPECT_TRUE(pump().empty()) << "Ctrl still held after Space";
    release(KeyRole::Fire, 1);
    EXPECT_EQ(pump(), Events{LeftButtonUp});
    press(KeyRole::Credits);
    release(KeyRole::Credits);
    EXPECT_EQ(pump(), Events{RightButtonDown});
    EXPECT_EQ(pump(), Events{RightButtonUp}) << "a short press still reaches the game";
    press(KeyRole::Fire);
    devices.keys_lost();
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    EXPECT_EQ(pump(), Events{LeftButtonUp}) << "losing the focus lets every key go";
}

TEST_F(Hands, TheMouseThePadTheKeysAndTouchHoldOneLeftButtonUntilTheLastLetsGo) {
    in_play();
    player.button(MouseButton::Left, true);
    devices.pad({pad_a, 0, 0, 0});
    devices.pad({pad_a, 255, 0, 0});  // the trigger too: still the pad
    press(KeyRole::Fire);
    devices.fire_control(true);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    player.button(MouseButton::Left, false);
    devices.pad({0, 0, 0, 0});
    release(KeyRole::Fire);
    EXPECT_TRUE(pump().empty());
    devices.fire_control(false);
    EXPECT_EQ(pump(), Events{LeftButtonUp});
    // A trigger alone fires past its threshold; B is the right button.
    devices.pad({0, trigger_threshold, 0, 0});
    EXPECT_TRUE(pump().empty());
    devices.pad({pad_b, trigger_threshold + 1, 0, 0});
    EXPECT_EQ(pump(), (Events{LeftButtonDown, RightButtonDown}));
}

TEST_F(Hands, StartOpensTheMenuThePadAndKeysMoveInItAndNeverFireButTheGameHearsWhatItHeldLetGo) {
    in_play();
    devices.pad({pad_a, 0, 0, 0});
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    devices.pad({pad_a | pad_start, 0, 0, 0});
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(player.menu_page(), MenuPage::Main);
    native.while_waiting = [&] {
        const int waits = native.waits;
        if (waits == 1) devices.pad({pad_start, 0, 0, 0});                     // A let go while paused
        if (waits == 2) devices.pad({pad_start | pad_down, 0, 0, 0});          // to Options
        if (waits == 3) devices.pad({pad_start | pad_down | pad_a, 0, 0, 0});  // held down: no second move
        if (waits == 4) {
            EXPECT_EQ(player.menu_page(), MenuPage::Options) << "A chose the row the d-pad moved to";
            devices.pad({pad_b, 0, 0, 0});  // back
        }
        if (waits == 5) {
            EXPECT_EQ(player.menu_page(), MenuPage::Main);
            EXPECT_TRUE(player.paused()) << "B went back from Options only";
            press(KeyRole::Down);  // Best scores
            press(KeyRole::Fire);  // chosen by Space
        }
        if (waits == 6) {
            EXPECT_EQ(player.menu_page(), MenuPage::Scores);
            devices.pad({pad_b | pad_start, 0, 0, 0});  // Start is the way back too
        }
        if (waits == 7) {
            EXPECT_EQ(player.menu_page(), MenuPage::Main);
            devices.pad({0, 0, 0, -30000});  // the stick up, twice, to Resume
            devices.pad({0, 0, 0, 0});
            devices.pad({0, 0, 0, -30000});
        }
        if (waits == 8) devices.pad({pad_a, 0, 0, 0});
    };
    EXPECT_EQ(pump(), Events{LeftButtonUp}) << "the game still hears A let go";
    EXPECT_EQ(native.waits, 8);
    EXPECT_FALSE(player.paused());
    release(KeyRole::Fire);
    release(KeyRole::Down);
    devices.pad({0, 0, 0, 0});
    EXPECT_TRUE(pump().empty()) << "the presses made while paused never reach the game";
}

TEST_F(Hands, KeysAndTheStickMoveTheCrosshairOnlyInPlayAndReachTheEdgeToSteer) {
    on_title();
    devices.pad({0, 0, -32768, 0});
    press(KeyRole::Up);
    EXPECT_EQ(aim().x, 160) << "the title has no crosshair to move";
    player.set_playing(true);
    player.focus(true);
    // The stick at full deflection: from the centre to the left edge zone in
    // well under a second of 77 pumps.
    int pumps = 0;
    CursorPosition at{160, 100};
    while (at.x >= 20 && pumps < 200) {
        at = aim();
        ++pumps;
    }
    EXPECT_LT(pumps, 60);
    EXPECT_LT(at.y, 100) << "Up moved it meanwhile";
    for (int i = 0; i < 60; ++i) at = aim();
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(0, 0)) << "held there: it stays in the corner, steering";
    // The ramp: the first pumps of a key move slowly, later ones fast.
    devices.pad({});
    release(KeyRole::Up);
    press(KeyRole::Right);
    aim();
    const int32_t second = aim().x;
    for (int i = 0; i < 40; ++i) at = aim();
    const int32_t late = aim().x - at.x;
    EXPECT_LE(second, 2) << "two pumps from the left edge: about two pixels";
    EXPECT_GE(late, 3);
}

TEST_F(Hands, ATapClicksALongPressClicksRightADragAimsLikeATrackpadAndASecondFingerFires) {
    in_play();
    const auto px = [](int32_t p) { return p * subpixels; };
    // A drag: the crosshair moves by the drag and a half, wherever the finger is.
    aim({100, 100});
    devices.finger_down(7, px(250), px(150), 1000);
    devices.finger_move(7, px(230), px(140));
    devices.finger_move(7, px(210), px(130));
    CursorPosition at = aim({100, 100});
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(40, 70));
    // A second finger fires while held; the first still aims.
    devices.finger_down(8, px(20), px(20), 1100);
    devices.finger_move(7, px(200), px(130));
    at = aim({100, 100});
    EXPECT_EQ(at.x, 25);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    devices.finger_up(8, 1300);
    EXPECT_EQ(pump(), Events{LeftButtonUp});
    devices.finger_up(7, 1400);
    EXPECT_TRUE(pump().empty()) << "a drag is no click";
    // A tap, shaking a little: a click, even as short as a millisecond.
    devices.finger_down(9, px(50), px(50), 2000);
    devices.finger_move(9, px(53), px(48));
    devices.finger_up(9, 2001);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    EXPECT_EQ(pump(), Events{LeftButtonUp});
    // A long press: the right button (the credits on the title).
    devices.finger_down(10, px(50), px(50), 3000);
    devices.finger_up(10, 3700);
    EXPECT_EQ(pump(), Events{RightButtonDown});
    EXPECT_EQ(pump(), Events{RightButtonUp});
    // A touch the system took over is no click.
    devices.finger_down(14, px(50), px(50), 3800);
    devices.finger_cancelled(14);
    EXPECT_TRUE(pump().empty());
    // In the menu a tap chooses what it touches: nothing between the rows,
    // then Resume, where the finger is and not where the crosshair is.
    player.request(PlayerRequest::Pause);
    native.while_waiting = [&] {
        const int32_t y = native.waits == 1 ? 20 : 40;
        devices.finger_down(11, px(160), px(y), 4000);
        devices.finger_up(11, 4100);
    };
    EXPECT_TRUE(pump().empty());
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(native.waits, 2) << "the tap between the rows chose nothing";
    // Taken away mid-fire, the fire is let go.
    devices.finger_down(12, px(50), px(50), 5000);
    devices.finger_down(13, px(60), px(50), 5000);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    devices.touches_lost();
    EXPECT_EQ(pump(), Events{LeftButtonUp});
}

}  // namespace
}  // namespace qv
