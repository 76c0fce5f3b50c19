#include "platform/frame.h"

#include <algorithm>

#include "game/game.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace qv {

namespace {

constexpr const char* window_title = "Quorvaner for Windows 95/NT";

}  // namespace

void set_default_palette(Video& video) {
    Palette& p = video.default_palette;
    p[1] = 0x0010;
    p[12] = 0x5108;
    // Both whites keep bit 15 set; the display ignores it.
    p[15] = 0xFFFF;
    p[31] = 0xFFFF;
    p[32] = 0x001F;
    p[36] = 0x7C1F;
    p[40] = 0x7C00;
    p[44] = 0x7FE0;
    p[48] = 0x03E0;
    p[51] = 0x03FF;
    p[52] = 0x03FF;
}

void init_video(Game& game, uint8_t /*mode: only 0x13 exists*/) {
    set_default_palette(game.video);
    create_display_window(game, screen_width, screen_height, 16, window_title);
    game.video.frame.fill(0);
    game.video.active_palette = game.video.default_palette;
}

void convert_frame(Video& video, const FrameBuffer& frame) {
    // Always the full 64000 pixels, whatever size the surface has recorded.
    for (int32_t i = 0; i < screen_pixels; ++i) {
        video.surface.pixels[static_cast<size_t>(i)] = video.active_palette[frame[static_cast<size_t>(i)]];
    }
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
