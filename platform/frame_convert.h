// The ways of turning the indexed frame into RGB555 that convert_frame chooses
// from. They all give the same picture; they are declared here so tests can
// hold them against each other and benchmarks can time each one.
#pragma once

#include <cstdint>

#include "platform/frame.h"

namespace qv {

// out[i] = palette[in[i]] for all 64000 pixels, one pixel at a time.
void convert_pixels_plain(uint16_t* out, const uint8_t* in, const Palette& palette);

// The same through a table of both colours of every pair of indices. The table
// belongs to the calling thread and is brought up to date for the palette
// entries that changed since its last use.
void convert_pixels_pairs(uint16_t* out, const uint8_t* in, const Palette& palette);

// True when this processor (and its operating system) runs the byte-permute
// path below.
bool cpu_has_byte_permute();

// The same with AVX-512 VBMI byte permutes, 64 pixels at a time. Only call it
// when cpu_has_byte_permute() is true; elsewhere it falls back to the pair table.
void convert_pixels_permute(uint16_t* out, const uint8_t* in, const Palette& palette);

// True when this processor (and its operating system) runs the word-permute
// path below: AVX-512 with byte and word instructions, VBMI or not.
bool cpu_has_word_permute();

// The same with AVX-512 BW word permutes, 32 pixels at a time, for processors
// with AVX-512 but without VBMI. Only call it when cpu_has_word_permute() is
// true; elsewhere it falls back to the pair table.
void convert_pixels_word_permute(uint16_t* out, const uint8_t* in, const Palette& palette);

}  // namespace qv
