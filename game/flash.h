// The screen flash. A flash is colour 0 of the active palette, the background
// of every frame; these functions are the only ones that write it.
#pragma once

#include <cstdint>

#include "game/state.h"
#include "platform/frame.h"

namespace qv {

// Asked for by the update pass: shown by this frame's present, gone at the next
// flash step. Without a colour (a ram) the screen keeps its colour.
void request_flash(LoopValues& loop, uint16_t colour);
void request_shake(LoopValues& loop);

// Right after the update pass: the colour it asked for goes into the palette.
void show_requested_flash(Palette& active_palette, LoopValues& loop);

// Frame step 5: a pending flash goes back to black, and the blue protection
// tint, fading with its timer, overrides any other colour.
void flash_step(Palette& active_palette, LoopValues& loop, int32_t invulnerable_timer);

// Frame k (from 1) of a flashing sequence: the colour on even k, black on odd k.
void sequence_flash(Palette& active_palette, int32_t k, uint16_t colour);

}  // namespace qv
