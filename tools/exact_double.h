// The generators promise the same bytes on every processor, which holds only
// while each operation on doubles is rounded once, to double, as written.
// tools/CMakeLists.txt sets the compiler up for that; this header checks it,
// at compile time where the compiler tells, and at run time where it does not.
#pragma once

#include <cfloat>

// The x87 unit of 32-bit x86 keeps 64-bit mantissas in its registers and
// rounds again when a value is stored: build with -msse2 -mfpmath=sse.
static_assert(FLT_EVAL_METHOD == 0, "doubles must be computed as doubles (on 32-bit x86: -msse2 -mfpmath=sse)");

namespace exact_double {

// False when x * x - y is fused into one multiply-add (rounded once, as
// -ffp-contract=fast lets GCC do on processors that have the instruction) or
// kept wider than a double in between. x * x = 1 + 2^-29 + 2^-60 exactly; as a
// double it is 1 + 2^-29, so only the rounded product leaves nothing over.
inline bool rounded_as_written() {
    volatile double stored = 1.0 + 0x1p-30;
    const double x = stored;
    const double y = 1.0 + 0x1p-29;
    return x * x - y == 0.0;
}

}  // namespace exact_double
