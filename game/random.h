// The game's own random generator, so a seed gives the same game everywhere.
#pragma once

#include <cstdint>

namespace qv {

struct Random {
    uint32_t seed = 0;
};

void seed_random(Random& random, uint32_t seed);

// seed = seed * 1103515245 + 12345 (mod 2^32); yields (seed >> 16) & 0x7FFF.
int32_t next_random(Random& random);

}  // namespace qv
