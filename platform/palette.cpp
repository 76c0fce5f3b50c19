// The default palette needs no window, so tools that only draw into a frame
// buffer can use it (and the conversion in frame_convert.cpp) without linking a
// back end.
#include "platform/frame.h"

namespace qv {

void set_default_palette(Video& video) {
    Palette& p = video.default_palette;
    p[1] = 0x0010;
    p[12] = 0x5108;
    // Both whites keep bit 15 set; the display ignores it.
    p[15] = 0xFFFF;
    p[31] = 0xFFFF;
    p[32] = 0x001F;
    p[36] = 0x7C1F;
    p[40] = 0x7C00;
    p[44] = 0x7FE0;
    p[48] = 0x03E0;
    p[51] = 0x03FF;
    p[52] = 0x03FF;
}

}  // namespace qv
