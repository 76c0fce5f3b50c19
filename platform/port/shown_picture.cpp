#include "platform/port/shown_picture.h"

#include <algorithm>
#include <string_view>

#include "platform/port/text_font.h"

namespace qv {

namespace {

constexpr uint32_t argb(uint32_t alpha, uint32_t rgb) { return alpha << 24 | rgb; }

// The menu's colours, after the title picture's night blues and its gold.
constexpr uint32_t dim = argb(150, 0x000000);
constexpr uint32_t panel_fill = argb(215, 0x0C1024);
constexpr uint32_t panel_edge = argb(255, 0x5A6690);
constexpr uint32_t title_colour = argb(255, 0xFFD268);
constexpr uint32_t item_colour = argb(255, 0xD8DCEA);
constexpr uint32_t value_colour = argb(255, 0xFFD268);
constexpr uint32_t text_colour = argb(255, 0xB8BED2);
constexpr uint32_t heading_colour = argb(255, 0x8FA8E8);
constexpr uint32_t selected_fill = argb(255, 0x2C3A78);
constexpr uint32_t selected_edge = argb(255, 0xFFD268);
constexpr uint32_t selected_text = argb(255, 0xFFFFFF);
constexpr uint32_t marked_fill = argb(255, 0x4A3A10);
constexpr uint32_t hint_colour = argb(255, 0x8088A0);

void fill(std::vector<uint32_t>& image, const MenuBox& box, uint32_t colour) {
    for (int32_t y = std::max(0, box.y); y < std::min(screen_height, box.y + box.height); ++y) {
        for (int32_t x = std::max(0, box.x); x < std::min(screen_width, box.x + box.width); ++x) {
            image[static_cast<size_t>(y * screen_width + x)] = colour;
        }
    }
}

void frame(std::vector<uint32_t>& image, const MenuBox& box, uint32_t colour) {
    fill(image, {box.x, box.y, box.width, 1}, colour);
    fill(image, {box.x, box.y + box.height - 1, box.width, 1}, colour);
    fill(image, {box.x, box.y, 1, box.height}, colour);
    fill(image, {box.x + box.width - 1, box.y, 1, box.height}, colour);
}

// The words with their top-left corner at (left, top), each font cell a square
// of `unit` picture pixels.
void draw_words(std::vector<uint32_t>& image, std::string_view words, int32_t left, int32_t top, int32_t unit,
                uint32_t colour) {
    for (const TextCell& cell : text_cells(words, left, top, unit)) {
        fill(image, {cell.x, cell.y, cell.width, cell.height}, colour);
    }
}

void draw_centred(std::vector<uint32_t>& image, std::string_view words, int32_t middle, int32_t top, int32_t unit,
                  uint32_t colour) {
    draw_words(image, words, middle - text_width(words) * unit / 2, top, unit, colour);
}

uint32_t mix(uint32_t under, uint32_t over, uint32_t alpha) {
    return (under * (255 - alpha) + over * alpha + 127) / 255;
}

}  // namespace

std::vector<uint32_t> overlay_image(const MenuLayout& layout) {
    std::vector<uint32_t> image(static_cast<size_t>(screen_pixels), dim);
    // The picture dimmed, still recognisable, and the panel over it.
    fill(image, layout.panel, panel_fill);
    frame(image, layout.panel, panel_edge);
    const int32_t middle = layout.panel.x + layout.panel.width / 2;
    draw_centred(image, layout.title, middle, layout.panel.y + 8, 2, title_colour);
    for (size_t i = 0; i < layout.rows.size(); ++i) {
        const MenuRow& row = layout.rows[i];
        const bool selected = layout.selected == i;
        const int32_t text_top = row.box.y + (row.box.height - text_glyph_height) / 2;
        if (row.style == RowStyle::Item) {
            if (selected) {
                fill(image, row.box, selected_fill);
                frame(image, row.box, selected_edge);
            }
            const uint32_t colour = selected ? selected_text : item_colour;
            if (row.value.empty()) {
                draw_centred(image, row.label, middle, text_top, 1, colour);
            } else {
                draw_words(image, row.label, row.box.x + 6, text_top, 1, colour);
                const int32_t value_left = row.box.x + row.box.width - 6 - text_width(row.value);
                draw_words(image, row.value, value_left, text_top, 1, value_colour);
            }
            continue;
        }
        if (row.marked) fill(image, row.box, marked_fill);
        const uint32_t colour = row.style == RowStyle::Heading ? heading_colour
                                : row.marked                   ? selected_text
                                                               : text_colour;
        draw_words(image, row.label, row.box.x + 2, text_top, 1, row.value.empty() ? colour : heading_colour);
        if (!row.value.empty()) draw_words(image, row.value, row.box.x + menu_text_column, text_top, 1, colour);
    }
    draw_centred(image, layout.hint, middle, layout.panel.y + layout.panel.height - 12, 1, hint_colour);
    return image;
}

ShownPicture::ShownPicture(PixelLayout layout) : layout_(layout) { clear(); }

uint32_t ShownPicture::native(uint8_t red, uint8_t green, uint8_t blue) const {
    return layout_.opaque | uint32_t{red} << layout_.red_shift | uint32_t{green} << layout_.green_shift |
           uint32_t{blue} << layout_.blue_shift;
}

void ShownPicture::clear() {
    kept_.assign(static_cast<size_t>(screen_pixels), native(0, 0, 0));
    overlay_.clear();
    overlay_serial_ = 0;
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
    if (!overlay_.empty()) compose();
}

void ShownPicture::set_overlay(const PlayerSide& player) {
    if (player.overlay_serial() == overlay_serial_) return;
    overlay_serial_ = player.overlay_serial();
    if (player.overlay() == Overlay::None) {
        overlay_.clear();
        return;
    }
    overlay_ = overlay_image(player.menu_layout());
    compose();
}

void ShownPicture::compose() {
    const std::vector<uint32_t>& over = overlay_;
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
