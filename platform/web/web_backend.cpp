#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/view_layout.h"

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
EM_JS(void, qv_page_frame_work, (double milliseconds), {
    Module.page.frameWork(milliseconds);
});
EM_JS(void, qv_page_test_frame, (uint32_t crc), {
    Module.page.testFrame(crc >>> 0);
});
// clang-format on

namespace qv {

namespace {

constexpr const char* canvas_selector = "#screen";

// RGBA bytes in memory order (red first) from RGB555, each channel widened as
// in every picture of the game.
uint32_t to_rgba(uint16_t colour) {
    return 0xFF000000u | (uint32_t{widen_channel(colour)} << 16) | (uint32_t{widen_channel(colour >> 5)} << 8) |
           widen_channel(colour >> 10);
}

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
    if (event->button == 0) {
        backend.button(down ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp);
    } else if (event->button == 2) {
        backend.button(down ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp);
    }
    // A press on the canvas neither selects text nor moves the focus.
    return down ? EM_TRUE : EM_FALSE;
}

}  // namespace

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

WebBackEnd::WebBackEnd() {
    // Presses start on the canvas; releases count anywhere, so a button let go
    // over the dialog or beside the canvas is not left held down.
    emscripten_set_mousemove_callback(canvas_selector, this, EM_TRUE, on_move);
    emscripten_set_mouseleave_callback(canvas_selector, this, EM_TRUE, on_leave);
    emscripten_set_mousedown_callback(canvas_selector, this, EM_TRUE, on_button);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, on_button);
    woke_at_ = emscripten_get_now();
}

WebBackEnd::~WebBackEnd() {
    emscripten_set_mousemove_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mouseleave_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mousedown_callback(canvas_selector, nullptr, EM_TRUE, nullptr);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    stop_sound();
}

void WebBackEnd::follow_script(uint32_t seed, std::vector<MouseScriptEntry> script) {
    script_ = std::make_unique<HeadlessBackEnd>();
    script_->start_ticks = seed;
    script_->script = std::move(script);
    script_->max_pumps = UINT64_MAX;  // a page is never closed by its script
    script_->trace = [](const std::string&) {};
    pending_.clear();
}

void WebBackEnd::pointer_at(int32_t x, int32_t y) { cursor_ = {x, y}; }

void WebBackEnd::button(WindowEvent event) {
    if (window_open_ && !script_) pending_.push_back(event);
}

void WebBackEnd::create_window(const char* title) {
    if (window_open_) return;
    window_open_ = true;
    pixels_.assign(static_cast<size_t>(screen_pixels), 0xFF000000u);
    qv_page_open(title);
    qv_page_draw(pixels_.data());
    if (script_) script_->create_window(title);
}

void WebBackEnd::destroy_window() {
    window_open_ = false;
    pending_.clear();
    if (script_) script_->destroy_window();
}

CursorPosition WebBackEnd::cursor_position() {
    // Some loops pump without sleeping (the credits wait for the right button to
    // be let go); between two such pumps the browser must get its turn, or the
    // release would never arrive.
    if (pumped_since_sleep_) emscripten_sleep(0);
    pumped_since_sleep_ = true;
    if (script_) return script_->cursor_position();
    return cursor_;
}

bool WebBackEnd::next_event(WindowEvent& event) {
    if (script_) return script_->next_event(event);
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void WebBackEnd::show_frame(const PresentedFrame& picture) {
    if (!window_open_) return;
    if (script_) {
        qv_page_test_frame(crc32_of(reinterpret_cast<const uint8_t*>(picture.surface.pixels.data()),
                                    picture.surface.pixels.size() * sizeof(uint16_t)));
    }
    // The table follows the palette; a flash changes one entry, most frames none.
    if (!colours_valid_ || colours_from_ != picture.palette) {
        for (size_t i = 0; i < colours_.size(); ++i) colours_[i] = to_rgba(picture.palette[i]);
        colours_from_ = picture.palette;
        colours_valid_ = true;
    }
    const uint8_t* from = picture.frame.data();
    uint32_t* to = pixels_.data();
    for (int32_t i = 0; i < screen_pixels; ++i) to[i] = colours_[from[i]];
    qv_page_draw(pixels_.data());
}

void WebBackEnd::sleep(uint32_t milliseconds) {
    // What the game did since it last woke up is one frame's work.
    qv_page_frame_work(emscripten_get_now() - woke_at_);
    if (script_) script_->sleep(milliseconds);
    emscripten_sleep(milliseconds);
    pumped_since_sleep_ = false;
    woke_at_ = emscripten_get_now();
}

uint32_t WebBackEnd::ticks() {
    if (script_) return script_->ticks();
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void WebBackEnd::message_box(const char* caption, const char* text) {
    qv_page_show_message(caption, text);
    // The game waits for OK as behind a native box; the page stays alive.
    while (qv_page_message_open() != 0) emscripten_sleep(20);
    pumped_since_sleep_ = false;
    woke_at_ = emscripten_get_now();
}

void WebBackEnd::play_sound(const char* file_name, bool loop) { qv_page_play(file_name, loop ? 1 : 0); }

void WebBackEnd::stop_sound() { qv_page_stop(); }

void WebBackEnd::set_playing(bool playing) { qv_page_playing(playing ? 1 : 0); }

}  // namespace qv
