#include "game/random.h"

namespace qv {

void seed_random(Random& random, uint32_t seed) { random.seed = seed; }

int32_t next_random(Random& random) {
    // Unsigned arithmetic wraps modulo 2^32, exactly as the generator is defined.
    random.seed = random.seed * 1103515245u + 12345u;
    return static_cast<int32_t>((random.seed >> 16) & 0x7FFFu);
}

}  // namespace qv
