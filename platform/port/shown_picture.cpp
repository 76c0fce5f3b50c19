#include "platform/port/shown_picture.h"

#include <algorithm>
#include <string_view>

#include "platform/port/text_font.h"

namespace qv {

namespace {

constexpr uint32_t argb(uint32_t alpha, uint32_t rgb) { return alpha << 24 | rgb; }

// The words centred on the picture with their top at `top`, each font cell a
// square of `unit` picture pixels.
void draw_words(std::vector<uint32_t>& image, std::string_view words, int32_t top, int32_t unit, uint32_t colour) {
    const int32_t left = (screen_width - text_width(words) * unit) / 2;
    for (const TextCell& cell : text_cells(words, left, top, unit)) {
        for (int32_t y = std::max(0, cell.y); y < std::min(screen_height, cell.y + cell.height); ++y) {
            for (int32_t x = std::max(0, cell.x); x < std::min(screen_width, cell.x + cell.width); ++x) {
                image[static_cast<size_t>(y * screen_width + x)] = colour;
            }
        }
    }
}

uint32_t mix(uint32_t under, uint32_t over, uint32_t alpha) {
    return (under * (255 - alpha) + over * alpha + 127) / 255;
}

}  // namespace

std::vector<uint32_t> overlay_image(Overlay overlay) {
    std::vector<uint32_t> image(static_cast<size_t>(screen_pixels), 0);
    if (overlay == Overlay::None) return image;
    // The picture dimmed, still recognisable, and the words over it.
    std::fill(image.begin(), image.end(), argb(160, 0x000000));
    const int32_t middle = screen_height / 2;
    draw_words(image, "PAUSED", middle - text_glyph_height * 4, 4, argb(255, 0xFFFFFF));
    draw_words(image, "CLICK, TAP, ESC OR START TO RESUME", middle + text_glyph_height * 2, 1, argb(255, 0xAAAAAA));
    return image;
}

ShownPicture::ShownPicture(PixelLayout layout) : layout_(layout) { clear(); }

uint32_t ShownPicture::native(uint8_t red, uint8_t green, uint8_t blue) const {
    return layout_.opaque | uint32_t{red} << layout_.red_shift | uint32_t{green} << layout_.green_shift |
           uint32_t{blue} << layout_.blue_shift;
}

void ShownPicture::clear() {
    kept_.assign(static_cast<size_t>(screen_pixels), native(0, 0, 0));
    overlay_ = Overlay::None;
}

void ShownPicture::set_frame(const FrameBuffer& frame, const Palette& palette) {
    if (!colours_valid_ || colours_from_ != palette) {
        for (size_t i = 0; i < colours_.size(); ++i) {
            const uint16_t c = palette[i];
            colours_[i] = native(widen_channel(c >> 10), widen_channel(c >> 5), widen_channel(c));
        }
        colours_from_ = palette;
        colours_valid_ = true;
    }
    const uint8_t* __restrict from = frame.data();
    uint32_t* __restrict to = kept_.data();
    for (int32_t i = 0; i < screen_pixels; ++i) to[i] = colours_[from[i]];
    if (overlay_ != Overlay::None) compose();
}

void ShownPicture::set_overlay(Overlay overlay) {
    if (overlay == overlay_) return;
    overlay_ = overlay;
    if (overlay_ != Overlay::None) compose();
}

void ShownPicture::compose() {
    const std::vector<uint32_t> over = overlay_image(overlay_);
    shown_.resize(kept_.size());
    for (size_t i = 0; i < kept_.size(); ++i) {
        const uint32_t alpha = over[i] >> 24;
        const uint32_t pixel = kept_[i];
        const auto channel = [&](uint8_t shift, uint32_t over_value) {
            return mix((pixel >> shift) & 0xFF, over_value, alpha);
        };
        shown_[i] = native(static_cast<uint8_t>(channel(layout_.red_shift, (over[i] >> 16) & 0xFF)),
                           static_cast<uint8_t>(channel(layout_.green_shift, (over[i] >> 8) & 0xFF)),
                           static_cast<uint8_t>(channel(layout_.blue_shift, over[i] & 0xFF)));
    }
}

}  // namespace qv
