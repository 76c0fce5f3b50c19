// What a window shows: the last picture the game presented, in the back end's
// own 32-bit pixel format, with the player's overlay (the pause menu) laid over it.
// Every back end keeps its picture here, so the colour table and the overlay
// are made once for all of them; the game's frame and surface are never touched.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/frame.h"
#include "platform/port/player_side.h"

namespace qv {

// Where each 8-bit channel sits in a 32-bit pixel, and the bits every pixel has set.
struct PixelLayout {
    uint8_t red_shift = 16;
    uint8_t green_shift = 8;
    uint8_t blue_shift = 0;
    uint32_t opaque = 0;
};

// 0x00RRGGBB: SDL's RGB888 textures and 32-bit Windows bitmaps.
inline constexpr PixelLayout xrgb_pixels{16, 8, 0, 0};
// Red, green, blue, alpha in memory order on a little-endian machine: a canvas's ImageData.
inline constexpr PixelLayout rgba_bytes{0, 8, 16, 0xFF000000u};

class ShownPicture {
public:
    explicit ShownPicture(PixelLayout layout);

    // Black, with no overlay.
    void clear();
    // The new picture: each index through the palette it was converted with.
    void set_frame(const FrameBuffer& frame, const Palette& palette);
    // What the player's side now lays over the picture; drawn again only when
    // it changed.
    void set_overlay(const PlayerSide& player);

    // 320 x 200 pixels, row by row: the picture with the overlay over it.
    const uint32_t* pixels() const { return overlay_.empty() ? kept_.data() : shown_.data(); }
    bool overlaid() const { return !overlay_.empty(); }
    // The player's overlay_serial() the overlay was drawn from.
    uint64_t overlay_serial() const { return overlay_serial_; }

private:
    uint32_t native(uint8_t red, uint8_t green, uint8_t blue) const;
    void compose();

    PixelLayout layout_;
    // The table follows the palette; a flash changes one entry, most frames none.
    std::array<uint32_t, 256> colours_{};
    Palette colours_from_{};
    bool colours_valid_ = false;
    std::vector<uint32_t> kept_;
    std::vector<uint32_t> shown_;
    std::vector<uint32_t> overlay_;  // empty with none
    uint64_t overlay_serial_ = 0;
};

// The menu as 320 x 200 pixels of 0xAARRGGBB over the dimmed picture, drawn
// in the built-in font: sharp at every whole scale, the same in every window.
std::vector<uint32_t> overlay_image(const MenuLayout& layout);

}  // namespace qv
