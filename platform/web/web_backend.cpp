#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/file_reading.h"
#include "platform/port/settings.h"
#include "platform/view_layout.h"
#include "platform/window.h"

// The JavaScript half of each call lives in the page (web/page.js).
// clang-format off
EM_JS(void, qv_page_open, (const char* title), {
    Module.page.open(UTF8ToString(title));
});
EM_JS(void, qv_page_draw, (const uint32_t* rgba), {
    Module.page.draw(HEAPU8.subarray(rgba, rgba + 320 * 200 * 4));
});
EM_JS(void, qv_page_show_message, (const char* caption, const char* text), {
    Module.page.showMessage(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(int, qv_page_message_open, (), {
    return Module.page.messageOpen() ? 1 : 0;
});
EM_JS(void, qv_page_play, (const char* file_name, int loop), {
    Module.page.playSound(UTF8ToString(file_name), loop !== 0);
});
EM_JS(void, qv_page_stop, (), {
    Module.page.stopSound();
});
EM_JS(void, qv_page_playing, (int playing), {
    Module.page.playing(playing !== 0);
});
EM_JS(void, qv_page_in_play, (int playing), {
    Module.page.inPlay(playing !== 0);
});
EM_JS(void, qv_page_pause_sound, (int paused), {
    Module.page.pauseSound(paused !== 0);
});
EM_JS(void, qv_page_toggle_fullscreen, (), {
    Module.page.toggleFullscreen();
});
EM_JS(int, qv_page_hidden, (), {
    return document.hidden ? 1 : 0;
});
EM_JS(void, qv_page_frame_work, (double milliseconds), {
    Module.page.frameWork(milliseconds);
});
EM_JS(void, qv_page_test_frame, (uint32_t crc), {
    Module.page.testFrame(crc >>> 0);
});
// Five numbers: pads connected, buttons (A 1, B 2, Start 4), trigger 0-255,
// stick x and y (-32768 to 32767).
EM_JS(void, qv_page_read_pads, (int32_t* out), {
    const pads = Module.page.readPads();
    for (let i = 0; i < 5; i += 1) HEAP32[(out >> 2) + i] = pads[i];
});
EM_JS(void, qv_page_close_message, (), {
    Module.page.closeMessage();
});
EM_JS(void, qv_page_pointer, (int x, int y), {
    Module.page.pointer(x, y);
});
// The text a method of the page returns, copied into the heap for page_text.
EM_JS(char*, qv_page_text, (const char* method), {
    const text = String(Module.page[UTF8ToString(method)]());
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});
EM_JS(void, qv_page_save_settings, (const char* text), {
    Module.page.saveSettings(UTF8ToString(text));
});
EM_JS(void, qv_page_set_sound, (int volume, int muted), {
    Module.page.setSound(volume, muted !== 0);
});
EM_JS(int, qv_page_fullscreen, (), {
    return document.fullscreenElement ? 1 : 0;
});
// clang-format on

namespace qv {

namespace {

constexpr const char* canvas_selector = "#screen";

// A mouse event's position over the canvas, in picture pixels.
CursorPosition picture_point(const EmscriptenMouseEvent& event) {
    double width = 0;
    double height = 0;
    emscripten_get_element_css_size(canvas_selector, &width, &height);
    return {window_to_picture(static_cast<int32_t>(event.targetX), 0, static_cast<int32_t>(width), screen_width),
            window_to_picture(static_cast<int32_t>(event.targetY), 0, static_cast<int32_t>(height), screen_height)};
}

EM_BOOL on_move(int /*type*/, const EmscriptenMouseEvent* event, void* user) {
    const CursorPosition at = picture_point(*event);
    static_cast<WebBackEnd*>(user)->pointer_at(at.x, at.y);
    return EM_FALSE;
}

// Leaving the canvas, the pointer stays at the edge it crossed, so a player who
// pushes past an edge keeps steering that way.
EM_BOOL on_leave(int /*type*/, const EmscriptenMouseEvent* event, void* user) {
    const CursorPosition at = picture_point(*event);
    static_cast<WebBackEnd*>(user)->pointer_at(std::clamp(at.x, 0, screen_width - 1),
                                               std::clamp(at.y, 0, screen_height - 1));
    return EM_FALSE;
}

EM_BOOL on_button(int type, const EmscriptenMouseEvent* event, void* user) {
    const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
    auto& backend = *static_cast<WebBackEnd*>(user);
    if (down) {
        const CursorPosition at = picture_point(*event);
        backend.pointer_at(at.x, at.y);
    }
    if (event->button == 0) backend.player().button(MouseButton::Left, down);
    if (event->button == 2) backend.player().button(MouseButton::Right, down);
    // A press on the canvas neither selects text nor moves the focus.
    return down ? EM_TRUE : EM_FALSE;
}

// Esc pauses and resumes; the game's keys (by their place) go to the devices,
// without the page scrolling; the browser keeps F11 and its own keys. With a
// box up the keys are the dialog's (Enter, Space and Esc close it).
EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* event, void* user) {
    auto& backend = *static_cast<WebBackEnd*>(user);
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // A key let go counts even then, so none stays held.
    if (backend.player().box_up() && down) return EM_FALSE;
    if (std::strcmp(event->key, "Escape") == 0) {
        if (down && !event->repeat) backend.player().request(PlayerRequest::Pause);
        return EM_TRUE;
    }
    const KeyRole role = key_role_for_code(event->code);
    // The browser's shortcuts (Ctrl+W, Alt+Left...) stay the browser's.
    if (role == KeyRole::None || (event->ctrlKey != 0 && role != KeyRole::Fire) || event->altKey != 0 ||
        event->metaKey != 0) {
        return EM_FALSE;
    }
    if (!event->repeat) {
        // One key from another by its code's text.
        uint32_t code = 2166136261u;
        for (const char* c = event->code; *c != '\0'; ++c) code = (code ^ static_cast<uint8_t>(*c)) * 16777619u;
        backend.devices().key(code, role, down);
    }
    return backend.player().box_up() ? EM_FALSE : EM_TRUE;
}

// A touch's place over the canvas, in subpixels of the picture.
int32_t touch_subpixels(long at, double extent, int32_t picture_extent) {
    if (extent <= 0) return 0;
    return static_cast<int32_t>(static_cast<double>(at) * picture_extent * subpixels / extent);
}

// The canvas is a trackpad (input_devices.h). Handled here, a touch is no
// mouse click, no scroll and no zoom.
EM_BOOL on_touch(int type, const EmscriptenTouchEvent* event, void* user) {
    auto& devices = static_cast<WebBackEnd*>(user)->devices();
    double width = 0;
    double height = 0;
    emscripten_get_element_css_size(canvas_selector, &width, &height);
    const auto time = static_cast<uint32_t>(static_cast<uint64_t>(event->timestamp));
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& touch = event->touches[i];
        if (touch.isChanged == 0) continue;
        const int32_t x = touch_subpixels(touch.targetX, width, screen_width);
        const int32_t y = touch_subpixels(touch.targetY, height, screen_height);
        switch (type) {
            case EMSCRIPTEN_EVENT_TOUCHSTART:
                devices.finger_down(touch.identifier, x, y, time);
                break;
            case EMSCRIPTEN_EVENT_TOUCHMOVE:
                devices.finger_move(touch.identifier, x, y);
                break;
            case EMSCRIPTEN_EVENT_TOUCHEND:
                devices.finger_up(touch.identifier, time);
                break;
            default:
                devices.finger_cancelled(touch.identifier);
                break;
        }
    }
    return EM_TRUE;
}

// The page's fire control, held; its pause control.
EM_BOOL on_fire_control(int type, const EmscriptenTouchEvent* /*event*/, void* user) {
    static_cast<WebBackEnd*>(user)->devices().fire_control(type == EMSCRIPTEN_EVENT_TOUCHSTART);
    return EM_TRUE;
}

EM_BOOL on_pause_control(int type, const EmscriptenTouchEvent* /*event*/, void* user) {
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) static_cast<WebBackEnd*>(user)->player().request(PlayerRequest::Pause);
    return EM_TRUE;
}

constexpr const char* fire_selector = "#touch-fire";
constexpr const char* pause_selector = "#touch-pause";

// A hidden tab or another window in front: the player is not looking.
EM_BOOL on_visibility(int /*type*/, const EmscriptenVisibilityChangeEvent* event, void* user) {
    auto& backend = *static_cast<WebBackEnd*>(user);
    backend.player().focus(!event->hidden);
    if (event->hidden) {
        backend.devices().keys_lost();
        backend.devices().touches_lost();
    }
    return EM_FALSE;
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent* /*event*/, void* user) {
    auto& backend = *static_cast<WebBackEnd*>(user);
    backend.player().focus(type == EMSCRIPTEN_EVENT_FOCUS);
    if (type != EMSCRIPTEN_EVENT_FOCUS) backend.devices().keys_lost();
    return EM_FALSE;
}

}  // namespace

std::string page_text(const char* method) {
    char* text = qv_page_text(method);
    std::string copy = text;
    std::free(text);
    return copy;
}

uint32_t crc32_of(const uint8_t* bytes, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

namespace {

// A page has no window to size and always plays again.
constexpr MenuOffer page_offer{false, false};

}  // namespace

WebBackEnd::WebBackEnd()
    : settings_(parse_settings(page_text("settingsText"), "the page's settings").settings),
      player_(static_cast<NativeWindow&>(*this), settings_, page_offer),
      devices_(player_, settings_) {
    qv_page_set_sound(settings_.volume, settings_.mute ? 1 : 0);
    // Each change goes into the page's storage at once; the fullscreen of a
    // page is the browser's.
    player_.settings_changed = [](const PortSettings& settings, std::string_view key) {
        if (key == "fullscreen") return;
        qv_page_save_settings(rewritten_settings(page_text("settingsText"), settings, {key}).c_str());
    };
    // Presses start on the canvas; releases count anywhere, so a button let go
    // over the dialog or beside the canvas is not left held down.
    emscripten_set_mousemove_callback(canvas_selector, this, EM_TRUE, on_move);
    emscripten_set_mouseleave_callback(canvas_selector, this, EM_TRUE, on_leave);
    emscripten_set_mousedown_callback(canvas_selector, this, EM_TRUE, on_button);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_button);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_key);
    emscripten_set_touchstart_callback(canvas_selector, this, EM_TRUE, on_touch);
    emscripten_set_touchmove_callback(canvas_selector, this, EM_TRUE, on_touch);
    emscripten_set_touchend_callback(canvas_selector, this, EM_TRUE, on_touch);
    emscripten_set_touchcancel_callback(canvas_selector, this, EM_TRUE, on_touch);
    for (const char* control : {fire_selector}) {
        emscripten_set_touchstart_callback(control, this, EM_TRUE, on_fire_control);
        emscripten_set_touchend_callback(control, this, EM_TRUE, on_fire_control);
        emscripten_set_touchcancel_callback(control, this, EM_TRUE, on_fire_control);
    }
    emscripten_set_touchstart_callback(pause_selector, this, EM_TRUE, on_pause_control);
    emscripten_set_visibilitychange_callback(this, EM_TRUE, on_visibility);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_focus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_focus);
    woke_at_ = emscripten_get_now();
}

WebBackEnd::~WebBackEnd() {
    emscripten_set_mousemove_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mouseleave_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mousedown_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    for (const char* target : {canvas_selector, fire_selector, pause_selector}) {
        emscripten_set_touchstart_callback(target, nullptr, EM_TRUE, nullptr);
        emscripten_set_touchmove_callback(target, nullptr, EM_TRUE, nullptr);
        emscripten_set_touchend_callback(target, nullptr, EM_TRUE, nullptr);
        emscripten_set_touchcancel_callback(target, nullptr, EM_TRUE, nullptr);
    }
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, nullptr);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    stop_sound();
}

void WebBackEnd::capture_pointer(bool captured) { qv_page_playing(captured ? 1 : 0); }

void WebBackEnd::set_playing(bool playing) {
    player_.set_playing(playing);
    qv_page_in_play(playing ? 1 : 0);
}

void WebBackEnd::pause_sound(bool paused) { qv_page_pause_sound(paused ? 1 : 0); }

void WebBackEnd::redraw() {
    if (!player_.is_open()) return;
    picture_.set_overlay(player_);
    qv_page_draw(picture_.pixels());
}

// The page's fullscreen follows the browser (it asks the player first), so it
// is told, not kept.
bool WebBackEnd::toggle_fullscreen() {
    const bool now = qv_page_fullscreen() != 0;
    qv_page_toggle_fullscreen();
    return !now;
}

void WebBackEnd::apply_settings(const PortSettings& settings) {
    settings_ = settings;
    devices_.set_speeds(settings_);
    qv_page_set_sound(settings_.volume, settings_.mute ? 1 : 0);
}

void WebBackEnd::set_mute(bool mute) {
    PortSettings settings = player_.settings();
    settings.mute = mute;
    player_.change_setting(settings, "mute");
}

// The browser delivers the page's events while the game sleeps.
void WebBackEnd::wait_for_events(uint32_t milliseconds) {
    emscripten_sleep(milliseconds);
    pumped_since_sleep_ = false;
    woke_at_ = yielded_at_ = emscripten_get_now();
    if (player_.paused()) poll_pads();  // Start resumes
}

void WebBackEnd::poll_pads() {
    std::array<int32_t, 5> pads{};
    qv_page_read_pads(pads.data());
    if (pads[0] < pads_seen_) devices_.pad_removed();
    pads_seen_ = pads[0];
    devices_.pad({static_cast<uint8_t>(pads[1]), static_cast<uint8_t>(pads[2]), static_cast<int16_t>(pads[3]),
                  static_cast<int16_t>(pads[4])});
}

void WebBackEnd::create_window(const char* title) {
    if (player_.is_open()) return;
    picture_.clear();
    qv_page_open(title);
    player_.opened(qv_page_hidden() == 0);
    redraw();
}

void WebBackEnd::destroy_window() { player_.closed(); }

CursorPosition WebBackEnd::cursor_position() {
    // Some loops pump without sleeping (the credits wait for the right button to
    // be let go); between two such pumps the browser must get its turn, or the
    // release would never arrive.
    if (pumped_since_sleep_) {
        emscripten_sleep(0);
        yielded_at_ = emscripten_get_now();
    }
    pumped_since_sleep_ = true;
    player_.start_pump();
    poll_pads();
    const CursorPosition at = devices_.pointer(cursor_).at;
    qv_page_pointer(at.x, at.y);
    return at;
}

bool WebBackEnd::next_event(WindowEvent& event) { return player_.next_event(event); }

void WebBackEnd::show_frame(const PresentedFrame& picture) {
    if (!player_.is_open()) return;
    if (report_pictures) {
        qv_page_test_frame(crc32_of(reinterpret_cast<const uint8_t*>(picture.surface.pixels.data()),
                                    picture.surface.pixels.size() * sizeof(uint16_t)));
    }
    picture_.set_frame(picture.frame, picture.palette);
    redraw();
}

void WebBackEnd::sleep(uint32_t milliseconds) {
    // What the game did since it last woke up is one frame's work.
    const double now = emscripten_get_now();
    qv_page_frame_work(now - woke_at_);
    if (speed_ <= 1) {
        wait_for_events(milliseconds);
        return;
    }
    // Faster, the frames keep their own schedule (every sleep ends one), a
    // frame behind by more than a tenth of a second is not caught up, and
    // frames run back to back until the time owed is worth a browser timer
    // (they wait about 4 ms at the least); the page gets its turn all the same.
    constexpr double shortest_timer = 4;
    constexpr double longest_without_a_turn = 20;
    due_at_ = std::max(due_at_ + static_cast<double>(frame_microseconds) / 1000.0 / speed_, now - 100.0);
    const double rest = due_at_ - now;
    if (rest >= shortest_timer || now - yielded_at_ >= longest_without_a_turn) {
        wait_for_events(rest > 0 ? static_cast<uint32_t>(rest + 0.5) : 0);
        return;
    }
    pumped_since_sleep_ = false;
    woke_at_ = now;
}

void WebBackEnd::set_speed(uint32_t speed) {
    speed_ = std::max(speed, 1u);
    due_at_ = emscripten_get_now();
}

uint32_t WebBackEnd::ticks() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

uint64_t WebBackEnd::steady_microseconds() { return static_cast<uint64_t>(emscripten_get_now() * 1000.0); }

void WebBackEnd::message_box(const char* caption, const char* text) {
    player_.box_shown(true);
    poll_pads();  // a pad's button held as the box comes is no answer
    qv_page_show_message(caption, text);
    // The game waits for OK as behind a native box; the page stays alive. A,
    // B or Start on a pad answer it too.
    while (qv_page_message_open() != 0 && !player_.closing()) {
        wait_for_events(20);
        const uint8_t before = devices_.pad_state().buttons;
        poll_pads();
        if ((devices_.pad_state().buttons & ~before & (pad_a | pad_b | pad_start)) != 0) qv_page_close_message();
    }
    player_.box_shown(false);
}

// The page fetches the cues by their names from its own folder of sounds.
void WebBackEnd::play_sound(const char* file_name, bool loop) {
    qv_page_play(text_of(path_of(file_name).filename()).c_str(), loop ? 1 : 0);
}

void WebBackEnd::stop_sound() { qv_page_stop(); }

}  // namespace qv
