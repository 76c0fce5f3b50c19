#include "front/title.h"

#include <cstring>

#include "platform/file_reading.h"
#include "platform/sound.h"

namespace qv {

namespace {

constexpr int32_t zoom_steps = 40;

// 15-bit colour from one 8-bit-per-channel colour-table entry; the low three
// bits of each channel are dropped.
uint16_t colour_from_table(uint8_t blue, uint8_t green, uint8_t red) {
    const int32_t b = blue >> 3;
    const int32_t g = green >> 3;
    const int32_t r = red >> 3;
    return static_cast<uint16_t>(b | (g << 5) | (r << 10));
}

// One zoom frame: the picture scaled to 8i x 5i around the screen centre.
void zoom_step(Video& video, Window& window, const uint8_t* pixels, uint8_t* zoom_image, int32_t i) {
    const int32_t width = 8 * i;
    const int32_t height = 5 * i;
    scale_image(pixels, zoom_image, screen_width, screen_height, width, height);
    blit_image(video.frame, zoom_image, 160 - 4 * i, 100 - height / 2, width, height);
    end_frame(video, window, FrameEnd::PresentSleepPump);
}

// The right button opens the credits only once it has been let go.
void show_credits(Window& window, InputState& input) {
    while (input.buttons.right_button != 0) {
        pump_messages(window);
        read_input(window.mouse, input);
    }
    stop_cue(window);
    play_cue(window, "CREDITS");
    show_message(window, "Quorvaner", credits_text);
    stop_cue(window);
    play_cue(window, "BADSONG1");
}

// Waits for the left button. The button record tested first is the one last
// read before the title (no button), so there is always at least one pass.
void wait_for_start(Window& window, InputState& input) {
    while (input.buttons.left_button == 0) {
        pump_messages(window);
        read_input(window.mouse, input);
        wait_frame(window);
        if (input.buttons.right_button != 0) show_credits(window, input);
    }
}

}  // namespace

std::vector<uint8_t> load_title_picture(const std::string& file_name) {
    return read_file_prefix(file_name, title_file_size, "the title picture");
}

void title_palette(const std::vector<uint8_t>& picture, Palette& palette) {
    for (int32_t i = 0; i < 256; ++i) {
        const size_t at = static_cast<size_t>(title_colour_table_offset + 4 * i);
        palette[static_cast<size_t>(i)] = colour_from_table(picture[at], picture[at + 1], picture[at + 2]);
    }
}

void scale_image(const uint8_t* src, uint8_t* dst, int32_t src_width, int32_t src_height, int32_t dst_width,
                 int32_t dst_height) {
    // Fixed point with four fraction bits.
    const int32_t x_step = (src_width * 16) / dst_width;
    const int32_t y_step = (src_height * 16) / dst_height;
    for (int32_t r = 0; r < dst_height; ++r) {
        const uint8_t* src_row = src + ((y_step * r) >> 4) * src_width;
        uint8_t* dst_row = dst + r * dst_width;
        for (int32_t j = 0; j < dst_width; ++j) dst_row[j] = src_row[(x_step * j) >> 4];
    }
}

void blit_image(FrameBuffer& frame, const uint8_t* image, int32_t x, int32_t y, int32_t width, int32_t height) {
    for (int32_t r = 0; r < height; ++r) {
        if (y + r >= screen_height) continue;
        std::memcpy(frame.data() + (y + r) * screen_width + x, image + r * width, static_cast<size_t>(width));
    }
}

void show_title(Video& video, Window& window, InputState& input, const std::vector<uint8_t>& title_picture) {
    std::vector<uint8_t> zoom_image(screen_pixels);
    const Palette saved_palette = video.active_palette;
    title_palette(title_picture, video.active_palette);

    const uint8_t* pixels = title_picture.data() + title_pixels_offset;
    for (int32_t i = 1; i <= zoom_steps; ++i) zoom_step(video, window, pixels, zoom_image.data(), i);

    play_cue(window, "BADSONG1");
    wait_for_start(window, input);
    stop_cue(window);
    video.active_palette = saved_palette;
}

}  // namespace qv
