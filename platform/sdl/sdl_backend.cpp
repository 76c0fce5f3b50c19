#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/port/text_font.h"
#include "platform/sdl/message_panel.h"

namespace qv {

namespace {

constexpr uint32_t box_wait_milliseconds = 100;

// Set by a hang-up, a terminate or an interrupt; the window then closes as if
// the player had closed it, so the program ends the same way (a recording
// finished, status 0).
volatile std::sig_atomic_t ending_signal = 0;

extern "C" void note_ending_signal(int) { ending_signal = 1; }

std::optional<MouseButton> mouse_button(const SDL_Event& event) {
    if (event.button.button == SDL_BUTTON_LEFT) return MouseButton::Left;
    if (event.button.button == SDL_BUTTON_RIGHT) return MouseButton::Right;
    return std::nullopt;
}

[[noreturn]] void fail_window(const char* what) {
    std::fprintf(stderr, "quorvaner: cannot open the game window (%s): %s\n", what, SDL_GetError());
    SDL_Quit();
    std::exit(1);
}

bool invisible_video_driver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Only these drivers can tell where the cursor is while it is off the window.
bool desktop_cursor_known() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    return std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "windows") == 0 || std::strcmp(driver, "cocoa") == 0;
}

bool is_desktop_fullscreen(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void fill_text_at(SDL_Renderer* renderer, std::string_view text, int32_t left, int32_t top, int32_t unit) {
    const std::vector<TextCell> cells = text_cells(text, left, top, unit);
    std::vector<SDL_Rect> rects;
    rects.reserve(cells.size());
    for (const TextCell& cell : cells) rects.push_back({cell.x, cell.y, cell.width, cell.height});
    SDL_RenderFillRects(renderer, rects.data(), static_cast<int>(rects.size()));
}

void fill_text(SDL_Renderer* renderer, std::string_view text, int32_t centre_x, int32_t top, int32_t unit) {
    fill_text_at(renderer, text, centre_x - text_width(text) * unit / 2, top, unit);
}

void set_colour(SDL_Renderer* renderer, uint32_t rgb, uint8_t alpha = 255) {
    SDL_SetRenderDrawColor(renderer, static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                           static_cast<uint8_t>(rgb), alpha);
}

// A rectangle in one colour with an edge `edge` pixels wide in another.
void fill_framed(SDL_Renderer* renderer, const PanelRect& rect, int32_t edge, uint32_t edge_rgb, uint32_t inside_rgb) {
    const SDL_Rect outer{rect.x, rect.y, rect.width, rect.height};
    const SDL_Rect inner{rect.x + edge, rect.y + edge, rect.width - 2 * edge, rect.height - 2 * edge};
    set_colour(renderer, edge_rgb);
    SDL_RenderFillRect(renderer, &outer);
    set_colour(renderer, inside_rgb);
    SDL_RenderFillRect(renderer, &inner);
}

}  // namespace

SdlBackEnd::SdlBackEnd(const PortSettings& settings)
    : settings_(settings), player_(static_cast<NativeWindow&>(*this), settings), devices_(player_, settings) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A touch is a touch (a trackpad, see input_devices.h), not a click where the finger is.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) std::signal(signal, note_ending_signal);
    settings_.volume = std::clamp(settings_.volume, 0, 100);
    settings_.scale = std::max(0, settings_.scale);
}

SdlBackEnd::~SdlBackEnd() {
    stop_sound();
    if (audio_open_) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    release_window();
    close_pads();
    if (pads_ready_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (video_ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

void SdlBackEnd::release_window() {
    if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) {
        SDL_SetWindowGrab(window_, SDL_FALSE);
        SDL_ShowCursor(SDL_ENABLE);
        SDL_DestroyWindow(window_);
    }
    sharp_ = nullptr;
    sharp_size_ = {};
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    window_id_ = 0;
}

// The 4:3 picture is blown up by whole factors with nearest neighbour into a
// texture at least as large as the view, then smoothed down to the view: the
// pixels stay sharp and the rows even. Without render targets it is stretched
// directly.
bool SdlBackEnd::build_sharp_target() {
    const Extent size = sharp_prescale(view_);
    if (sharp_ != nullptr && size.width == sharp_size_.width && size.height == sharp_size_.height) return true;
    if (sharp_ != nullptr) SDL_DestroyTexture(sharp_);
    sharp_ = nullptr;
    sharp_size_ = {};
    if (SDL_RenderTargetSupported(renderer_) != SDL_TRUE) return false;
    sharp_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, size.width, size.height);
    if (sharp_ == nullptr) return false;
    SDL_SetTextureScaleMode(sharp_, SDL_ScaleModeLinear);
    sharp_size_ = size;
    return true;
}

void SdlBackEnd::upload() {
    if (texture_ == nullptr) return;
    picture_.set_overlay(player_);
    SDL_UpdateTexture(texture_, nullptr, picture_.pixels(), screen_width * 4);
}

// The window is rebuilt from the texture, which keeps the shown picture, so an
// expose or a resize is answered without the game's help.
void SdlBackEnd::redraw() {
    if (renderer_ == nullptr) return;
    if (picture_.overlay_serial() != player_.overlay_serial()) upload();
    const SDL_Rect target{view_.x, view_.y, view_.width, view_.height};
    const bool sharp =
        settings_.aspect == Aspect::FourThree && sharp_ != nullptr && SDL_SetRenderTarget(renderer_, sharp_) == 0;
    if (sharp) {
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_SetRenderTarget(renderer_, nullptr);
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, sharp ? sharp_ : texture_, nullptr, &target);
    if (player_.box_up()) draw_message_box();
    SDL_RenderPresent(renderer_);
}

// Over the whole window, dimmed.
void SdlBackEnd::draw_message_box() {
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    const MessagePanel panel = lay_out_message(box_caption_, box_text_, width, height);
    const int32_t unit = panel.unit;

    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 150);
    SDL_RenderFillRect(renderer_, nullptr);
    const SDL_Rect shadow{panel.frame.x + 3 * unit, panel.frame.y + 3 * unit, panel.frame.width, panel.frame.height};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 140);
    SDL_RenderFillRect(renderer_, &shadow);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);

    fill_framed(renderer_, panel.frame, unit, 0x9AA4C4, 0x181C2C);
    fill_framed(renderer_, panel.caption_bar, unit, 0x9AA4C4, 0x2C3A68);
    set_colour(renderer_, 0xFFFFFF);
    fill_text_at(renderer_, panel.caption, panel.caption_x, panel.caption_y, unit);
    set_colour(renderer_, 0xE1E4EC);
    for (size_t i = 0; i < panel.lines.size(); ++i) {
        fill_text_at(renderer_, panel.lines[i], panel.text_x,
                     panel.text_y + static_cast<int32_t>(i) * panel.line_height, unit);
    }
    fill_framed(renderer_, panel.button, unit, 0xBEC4D6, box_hover_ ? 0x485A8C : 0x344064);
    set_colour(renderer_, 0xFFFFFF);
    fill_text(renderer_, "OK", panel.button.x + panel.button.width / 2,
              panel.button.y + (panel.button.height - text_glyph_height * unit) / 2, unit);
}

void SdlBackEnd::follow_window_size() {
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    view_ = centred_view(width, height, settings_.aspect);
    if (settings_.aspect == Aspect::FourThree) build_sharp_target();
}

void SdlBackEnd::capture_pointer(bool captured) {
    if (window_ == nullptr) return;
    SDL_SetWindowGrab(window_, captured ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
}

void SdlBackEnd::pause_sound(bool paused) {
    if (!audio_open_) return;
    if (paused) {
        Mix_Pause(-1);
    } else {
        Mix_Resume(-1);
    }
}

bool SdlBackEnd::toggle_fullscreen() {
    if (window_ == nullptr) return settings_.fullscreen;
    const bool fullscreen = !is_desktop_fullscreen(window_);
    if (SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        return is_desktop_fullscreen(window_);
    }
    settings_.fullscreen = fullscreen;
    follow_window_size();
    redraw();
    return fullscreen;
}

// The window at its scale, centred on its display; in fullscreen the size it
// gets back when it leaves.
void SdlBackEnd::size_window() {
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    SDL_Rect usable_rect{};
    Extent usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable_rect) == 0) usable = {usable_rect.w, usable_rect.h};
    const Extent size = window_client_size(settings_.scale, usable, settings_.aspect);
    const ViewRect unit = unscaled_view(settings_.aspect);
    SDL_SetWindowMinimumSize(window_, unit.width, unit.height);
    SDL_SetWindowSize(window_, size.width, size.height);
    if (!is_desktop_fullscreen(window_)) {
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
}

void SdlBackEnd::apply_settings(const PortSettings& wanted) {
    const PortSettings before = settings_;
    settings_ = wanted;
    settings_.volume = std::clamp(settings_.volume, 0, 100);
    settings_.scale = std::max(0, settings_.scale);
    devices_.set_speeds(settings_);
    if (audio_open_) Mix_Volume(0, mixer_volume());
    if (window_ == nullptr) return;
    if (settings_.fullscreen != is_desktop_fullscreen(window_)) {
        SDL_SetWindowFullscreen(window_, settings_.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        settings_.fullscreen = is_desktop_fullscreen(window_);
    }
    if (before.scale != settings_.scale || before.aspect != settings_.aspect) size_window();
    follow_window_size();
    redraw();
}

PicturePoint SdlBackEnd::picture_point(int32_t x, int32_t y) const {
    Extent points{};
    Extent pixels{};
    SDL_GetWindowSize(window_, &points.width, &points.height);
    SDL_GetRendererOutputSize(renderer_, &pixels.width, &pixels.height);
    return pointer_to_picture(x, y, points, pixels, settings_.aspect);
}

void SdlBackEnd::wait_for_events(uint32_t milliseconds) {
    SDL_Event native;
    if (SDL_WaitEventTimeout(&native, static_cast<int>(milliseconds)) != 0) {
        // Everything that came at once: the menu answers a burst of keys in one turn.
        do {
            translate(native);
        } while (player_.paused() && SDL_PollEvent(&native) != 0);
    }
    notice_signals();
    // Start on a pad resumes.
    poll_pads();
}

void SdlBackEnd::notice_signals() {
    if (ending_signal != 0) player_.close();
}

// The window's own keys on the way down; the game's keys (by their place on
// the keyboard) both ways. The system's repeats are nothing.
void SdlBackEnd::translate_key(const SDL_Event& event) {
    if (event.key.windowID != window_id_ || event.key.repeat != 0) return;
    const bool down = event.type == SDL_KEYDOWN;
    const SDL_Keycode key = event.key.keysym.sym;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    if (down && (key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER)))) {
        player_.request(PlayerRequest::Fullscreen);
    } else if (down && key == SDLK_ESCAPE) {
        player_.request(PlayerRequest::Pause);
    } else if (down && alt && key == SDLK_F4) {
        // What the window manager does on most desktops, also where there is none.
        player_.request(PlayerRequest::Close);
    } else {
        const auto code = static_cast<uint32_t>(event.key.keysym.scancode);
        devices_.key(code, key_role_for_usb_usage(code), down);
    }
}

// A finger's place as a point of the picture, in subpixels (off it too).
void SdlBackEnd::translate_finger(const SDL_Event& event) {
    if (window_ == nullptr || (event.tfinger.windowID != 0 && event.tfinger.windowID != window_id_)) return;
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    if (view_.width <= 0 || view_.height <= 0) return;
    const auto across = static_cast<int64_t>(event.tfinger.x * static_cast<float>(width)) - view_.x;
    const auto down = static_cast<int64_t>(event.tfinger.y * static_cast<float>(height)) - view_.y;
    const auto x = static_cast<int32_t>(across * screen_width * subpixels / view_.width);
    const auto y = static_cast<int32_t>(down * screen_height * subpixels / view_.height);
    const int64_t finger = event.tfinger.fingerId;
    switch (event.type) {
        case SDL_FINGERDOWN:
            devices_.finger_down(finger, x, y, event.tfinger.timestamp);
            return;
        case SDL_FINGERMOTION:
            devices_.finger_move(finger, x, y);
            return;
        default:
            devices_.finger_up(finger, event.tfinger.timestamp);
            return;
    }
}

void SdlBackEnd::open_pad(int device_index) {
    SDL_GameController* pad = SDL_GameControllerOpen(device_index);
    if (pad == nullptr) return;
    const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
    if (std::find(pads_.begin(), pads_.end(), id) == pads_.end()) pads_.push_back(id);
}

// Unplugged: a game in play pauses, and what the pad held is let go.
void SdlBackEnd::close_pad(int32_t instance_id) {
    const auto found = std::find(pads_.begin(), pads_.end(), instance_id);
    if (found == pads_.end()) return;
    if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(instance_id)) SDL_GameControllerClose(pad);
    pads_.erase(found);
    devices_.pad_removed();
    poll_pads();
}

void SdlBackEnd::close_pads() {
    for (const int32_t id : pads_) {
        if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(id)) SDL_GameControllerClose(pad);
    }
    pads_.clear();
}

// Every open pad, as one.
void SdlBackEnd::poll_pads() {
    PadState all;
    for (const int32_t id : pads_) {
        SDL_GameController* pad = SDL_GameControllerFromInstanceID(id);
        if (pad == nullptr) continue;
        PadState one;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A) != 0) one.buttons |= pad_a;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_B) != 0) one.buttons |= pad_b;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_START) != 0) one.buttons |= pad_start;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP) != 0) one.buttons |= pad_up;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN) != 0) one.buttons |= pad_down;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT) != 0) one.buttons |= pad_left;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) != 0) one.buttons |= pad_right;
        const int trigger = std::max(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT),
                                     SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
        one.trigger = static_cast<uint8_t>(std::clamp(trigger, 0, 32767) >> 7);
        one.stick_x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        one.stick_y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
        all = combine(all, one);
    }
    devices_.pad(all);
}

void SdlBackEnd::translate_window(const SDL_Event& event) {
    if (event.window.windowID != window_id_) return;
    switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            follow_window_size();
            redraw();
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            redraw();
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            player_.focus(true);
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // A loss already undone (a message box came and went) is no reason to stop.
            if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0) return;
            player_.focus(false);
            devices_.keys_lost();
            devices_.touches_lost();
            return;
        case SDL_WINDOWEVENT_CLOSE:
            player_.close();
            return;
        default:
            return;
    }
}

void SdlBackEnd::translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.windowID != window_id_) return;
            if (const auto button = mouse_button(event)) {
                const PicturePoint at = picture_point(event.button.x, event.button.y);
                player_.pointer_at(at.x, at.y);
                player_.button(*button, event.type == SDL_MOUSEBUTTONDOWN);
            }
            return;
        case SDL_MOUSEMOTION:
            // Only the menu follows the motion; the game reads the pointer each pump.
            if (event.motion.windowID == window_id_ && player_.paused()) {
                const PicturePoint at = picture_point(event.motion.x, event.motion.y);
                player_.pointer_at(at.x, at.y);
            }
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            translate_key(event);
            return;
        case SDL_CONTROLLERDEVICEADDED:
            open_pad(event.cdevice.which);
            return;
        case SDL_CONTROLLERDEVICEREMOVED:
            close_pad(event.cdevice.which);
            return;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            translate_finger(event);
            return;
        case SDL_WINDOWEVENT:
            translate_window(event);
            return;
        case SDL_RENDER_DEVICE_RESET:
            // The textures' contents are gone; the shown picture is not.
            upload();
            redraw();
            return;
        case SDL_RENDER_TARGETS_RESET:
            redraw();
            return;
        case SDL_QUIT:
            player_.close();
            return;
        default:
            return;
    }
}

int SdlBackEnd::mixer_volume() const { return settings_.mute ? 0 : settings_.volume * MIX_MAX_VOLUME / 100; }

bool SdlBackEnd::audio_ready() {
    if (audio_tried_) return audio_open_;
    audio_tried_ = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    // The channel's volume only: muted, the music still plays its course unheard.
    Mix_Volume(0, mixer_volume());
    audio_open_ = true;
    return true;
}

void SdlBackEnd::create_window(const char* title) {
    if (window_ != nullptr) return;
    if (!video_ready_) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) fail_window("no video");
        video_ready_ = true;
        // Without a display SDL falls back to drivers that draw nowhere; a game
        // waiting for a click on a window nobody can see would hang for good.
        if (!SDL_GetHint(SDL_HINT_VIDEODRIVER) && invisible_video_driver()) {
            SDL_SetError("no display found");
            fail_window("no display");
        }
    }
    // Pads are welcome, not needed; those already plugged in arrive as events.
    if (!pads_ready_) pads_ready_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    SDL_Rect desktop{};
    Extent usable{};
    if (SDL_GetDisplayUsableBounds(0, &desktop) == 0) usable = {desktop.w, desktop.h};
    const Extent size = window_client_size(settings_.scale, usable, settings_.aspect);

    uint32_t flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (settings_.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width, size.height, flags);
    if (window_ == nullptr) fail_window("window");
    window_id_ = SDL_GetWindowID(window_);
    const ViewRect unit = unscaled_view(settings_.aspect);
    SDL_SetWindowMinimumSize(window_, unit.width, unit.height);

    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) fail_window("renderer");
    texture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, screen_width, screen_height);
    if (texture_ == nullptr) fail_window("picture");
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);

    picture_.clear();
    upload();
    player_.opened((SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0);
    follow_window_size();
    redraw();
}

void SdlBackEnd::destroy_window() {
    player_.closed();
    release_window();
}

CursorPosition SdlBackEnd::cursor_position() {
    player_.start_pump();
    if (window_ == nullptr) return {};
    poll_pads();
    int x = 0;
    int y = 0;
    if (SDL_GetMouseFocus() == window_ || !desktop_cursor_known()) {
        SDL_GetMouseState(&x, &y);
    } else {
        // Outside the window (it lost the focus and with it the confinement) the
        // per-window state is stale; the desktop position tells where the cursor
        // really is, possibly left of or above the picture.
        int window_x = 0;
        int window_y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window_, &window_x, &window_y);
        x -= window_x;
        y -= window_y;
    }
    // Asked afresh each time, so a move, a resize or a switch to fullscreen that
    // the events have not told yet is already followed.
    Extent points{};
    Extent pixels{};
    SDL_GetWindowSize(window_, &points.width, &points.height);
    SDL_GetRendererOutputSize(renderer_, &pixels.width, &pixels.height);
    const PicturePoint point = pointer_to_picture(x, y, points, pixels, settings_.aspect);
    const PointerStep step = devices_.pointer({point.x, point.y});
    if (step.moved) {
        // The system pointer follows the crosshair, so the mouse goes on from there.
        const PicturePoint to = picture_to_pointer(step.at.x, step.at.y, points, pixels, settings_.aspect);
        SDL_WarpMouseInWindow(window_, to.x, to.y);
        const PicturePoint reads = pointer_to_picture(to.x, to.y, points, pixels, settings_.aspect);
        devices_.pointer_moved_to({reads.x, reads.y});
    }
    return step.at;
}

bool SdlBackEnd::next_event(WindowEvent& event) {
    notice_signals();
    if (window_ != nullptr) {
        SDL_Event native;
        while (!player_.has_event() && SDL_PollEvent(&native) != 0) translate(native);
    }
    return player_.next_event(event);
}

void SdlBackEnd::show_frame(const PresentedFrame& picture) {
    if (window_ == nullptr) return;
    picture_.set_frame(picture.frame, picture.palette);
    upload();
    redraw();
}

void SdlBackEnd::sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

uint32_t SdlBackEnd::ticks() { return SDL_GetTicks(); }

uint64_t SdlBackEnd::steady_microseconds() {
    const uint64_t count = SDL_GetPerformanceCounter();
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    return count / frequency * 1000000 + count % frequency * 1000000 / frequency;
}

// Whether a point of the window, in window points as the events give them,
// lies on the box's OK button.
bool SdlBackEnd::over_box_button(int32_t x, int32_t y) const {
    Extent points{};
    Extent pixels{};
    SDL_GetWindowSize(window_, &points.width, &points.height);
    SDL_GetRendererOutputSize(renderer_, &pixels.width, &pixels.height);
    if (points.width <= 0 || points.height <= 0) return false;
    const MessagePanel panel = lay_out_message(box_caption_, box_text_, pixels.width, pixels.height);
    return panel.button.contains(x * pixels.width / points.width, y * pixels.height / points.height);
}

// The box's clicks are the player's, not the game's (the player's side keeps
// them and still releases a button the game holds); the left one answers it
// when it goes down and comes up on OK.
void SdlBackEnd::box_button(const SDL_Event& event) {
    if (event.button.windowID != window_id_) return;
    const auto button = mouse_button(event);
    if (!button) return;
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    player_.button(*button, down);
    if (*button != MouseButton::Left) return;
    const bool over = over_box_button(event.button.x, event.button.y);
    if (down) {
        box_pressed_ = over;
    } else {
        box_answered_ = box_pressed_ && over;
        box_pressed_ = false;
    }
}

void SdlBackEnd::box_event(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            box_button(event);
            return;
        case SDL_MOUSEMOTION:
            if (event.motion.windowID == window_id_) {
                const bool over = over_box_button(event.motion.x, event.motion.y);
                if (over != box_hover_) {
                    box_hover_ = over;
                    redraw();
                }
            }
            return;
        case SDL_KEYDOWN:
            if (event.key.windowID == window_id_ && event.key.repeat == 0) {
                const SDL_Keycode key = event.key.keysym.sym;
                const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
                if (key == SDLK_SPACE || key == SDLK_ESCAPE || (!alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER))) {
                    box_answered_ = true;
                    return;
                }
            }
            break;
        default:
            break;
    }
    // Fullscreen, Alt+F4, resizes, exposes, the focus, closes and lost textures as ever.
    translate(event);
}

// With the window open the box is drawn inside it over the dimmed picture and
// waits on the window's events, so that closing the window takes it down at
// once: the close then waits for the next pump, which ends the program.
void SdlBackEnd::message_box(const char* caption, const char* text) {
    if (window_ == nullptr) {
        // Without a display no box can be shown; the only box that can come then
        // is a data error's, which the program has written to standard error.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr);
        return;
    }
    if (player_.closing()) return;
    box_caption_ = caption != nullptr ? caption : "";
    box_text_ = text != nullptr ? text : "";
    box_answered_ = false;
    box_pressed_ = false;
    int x = 0;
    int y = 0;
    const bool pointer_here = SDL_GetMouseFocus() == window_;
    SDL_GetMouseState(&x, &y);
    box_hover_ = pointer_here && over_box_button(x, y);
    // A hidden or confined cursor could not reach the box's button.
    player_.box_shown(true);
    poll_pads();  // a pad's button held as the box comes is no answer
    redraw();
    while (!box_answered_ && !player_.closing()) {
        SDL_Event native;
        if (SDL_WaitEventTimeout(&native, box_wait_milliseconds) != 0) box_event(native);
        notice_signals();
        // A, B or Start on a pad answer it too.
        const uint8_t before = devices_.pad_state().buttons;
        poll_pads();
        if ((devices_.pad_state().buttons & ~before & (pad_a | pad_b | pad_start)) != 0) box_answered_ = true;
        if (while_box_up) while_box_up();
    }
    player_.box_shown(false);
    box_caption_.clear();
    box_text_.clear();
    redraw();
}

void SdlBackEnd::play_sound(const char* file_name, bool loop) {
    stop_sound();
    if (!audio_ready()) return;
    chunk_ = Mix_LoadWAV(file_name);
    if (chunk_ == nullptr) return;
    if (Mix_PlayChannel(0, chunk_, loop ? -1 : 0) < 0) stop_sound();
}

void SdlBackEnd::stop_sound() {
    if (chunk_ == nullptr) return;
    Mix_HaltChannel(0);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
}

}  // namespace qv
