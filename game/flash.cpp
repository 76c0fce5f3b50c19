#include "game/flash.h"

namespace qv {

namespace {

constexpr int32_t tint_divisor = 16;

void set_background(Palette& active_palette, uint16_t colour) { active_palette[0] = colour; }

}  // namespace

void request_flash(LoopValues& loop, uint16_t colour) {
    loop.flash_pending = true;
    loop.flash_colour = colour;
    loop.flash_coloured = true;
}

void request_shake(LoopValues& loop) { loop.flash_pending = true; }

void show_requested_flash(Palette& active_palette, LoopValues& loop) {
    if (loop.flash_coloured) set_background(active_palette, loop.flash_colour);
    loop.flash_coloured = false;
}

void flash_step(Palette& active_palette, LoopValues& loop, int32_t invulnerable_timer) {
    if (loop.flash_pending) {
        loop.flash_pending = false;
        set_background(active_palette, 0);
    }
    if (invulnerable_timer != 0)
        set_background(active_palette, static_cast<uint16_t>(invulnerable_timer / tint_divisor));
}

void sequence_flash(Palette& active_palette, int32_t k, uint16_t colour) {
    set_background(active_palette, k % 2 == 0 ? colour : 0);
}

}  // namespace qv
