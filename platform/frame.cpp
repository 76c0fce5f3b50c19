#include "platform/frame.h"

#include <algorithm>

#include "game/game.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace qv {

namespace {

constexpr const char* window_title = "Quorvaner for Windows 95/NT";

}  // namespace

void init_video(Game& game, uint8_t /*mode: only 0x13 exists*/) {
    set_default_palette(game.video);
    create_display_window(game, screen_width, screen_height, 16, window_title);
    game.video.frame.fill(0);
    game.video.active_palette = game.video.default_palette;
}

void request_repaint(Game& game) {
    if (!game.window.exists || game.window.backend == nullptr) return;
    platform_request_repaint(*game.window.backend);
}

void present_frame(Game& game) {
    convert_frame(game.video, game.video.frame);
    if (game.present_hook) game.present_hook(game);
    request_repaint(game);
    game.video.frame.fill(0);
}

void paint_handler(Game& game) {
    DisplaySurface& surface = game.video.surface;
    // The size is recorded only after the window has been shown, so the paint
    // made while showing it copies and blanks nothing.
    const int32_t width = std::clamp<int32_t>(surface.width, 0, screen_width);
    const int32_t height = std::clamp<int32_t>(surface.height, 0, screen_height);
    if (game.window.backend != nullptr) {
        platform_show_picture(*game.window.backend, surface.pixels.data(), width, height);
    }
    const int64_t bytes = int64_t{width} * height * std::max<int32_t>(surface.depth, 0) / 8;
    const size_t count = static_cast<size_t>(std::min<int64_t>(bytes / 2, screen_pixels));
    std::fill_n(surface.pixels.begin(), count, uint16_t{0});
}

}  // namespace qv
