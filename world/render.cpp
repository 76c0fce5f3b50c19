#include "world/render.h"

#include <algorithm>
#include <cstddef>

#include "raster/draw.h"

namespace qv {

namespace {

constexpr uint8_t centre_dot_colour = 44;

// Two's-complement wrapping arithmetic: the projection is plain 32-bit integer
// work, and a wild coordinate in a model file must wrap, not trap.
int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t wrap_mul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

using DrawLine = void (*)(FrameBuffer&, int16_t, int16_t, int16_t, int16_t, uint8_t);

template <DrawLine draw>
void draw_segments(FrameBuffer& frame, const ModelLine* lines, std::size_t count, int32_t cx, int32_t cy,
                   int32_t scale) {
    for (std::size_t i = 0; i < count; ++i) {
        const ModelLine& line = lines[i];
        const int32_t ax = wrap_mul(line.x1, scale) >> 8;
        const int32_t ay = wrap_mul(line.y1, scale) >> 8;
        const int32_t bx = wrap_mul(line.x2, scale) >> 8;
        const int32_t by = wrap_mul(line.y2, scale) >> 8;
        // Model y points up the screen, so it is subtracted.
        draw(frame, static_cast<int16_t>(wrap_add(cx, ax)), static_cast<int16_t>(wrap_sub(cy, ay)),
             static_cast<int16_t>(wrap_add(cx, bx)), static_cast<int16_t>(wrap_sub(cy, by)), line.colour);
    }
}

// A figure so far away that each segment's scaled ends lie at most a step
// apart either way: a run of r model units scales to r * scale / 256 before
// the shifts round each end down, so under one step it differs by at most one.
// Most of a crowded frame is such figures, and telling it once per figure
// saves each of their segments the guess whether it needs a walk.
bool is_far(const Model& model, int32_t scale) {
    if (model.longest_run == unknown_run) return false;
    return scale == 0 || model.longest_run <= 255 / scale;
}

}  // namespace

// floor(1024 * 0.97^depth), worked out exactly as floor(1024 * 97^depth / 100^depth)
// rather than with a floating-point power, so no library's rounding can change a
// picture anywhere.
constexpr DepthScaleTable depth_table = {{
    1024, 993, 963, 934, 906, 879, 852, 827, 802, 778, 755, 732, 710, 689, 668, 648, 628, 610, 591, 574, 556, 540,
    523,  508, 492, 478, 463, 449, 436, 423, 410, 398, 386, 374, 363, 352, 342, 331, 321, 312, 302, 293, 284, 276,
    268,  260, 252, 244, 237, 230, 223, 216, 210, 203, 197, 191, 186, 180, 175, 169, 164, 159, 154, 150, 145, 141,
    137,  133, 129, 125, 121, 117, 114, 110, 107, 104, 101, 98,  95,  92,  89,  86,  84,  81,  79,  76,  74,  72,
    70,   68,  66,  64,  62,  60,  58,  56,  55,  53,  51,  50,  48,  47,  45,  44,  43,  41,  40,  39,  38,  37,
    35,   34,  33,  32,  31,  30,  29,  29,  28,  27,  26,  25,  24,  24,  23,  22,  22,  21,  20,  20,  19,  18,
    18,   17,  17,  16,  16,  15,  15,  14,  14,  13,  13,  13,  12,  12,  11,  11,  11,  10,  10,  10,  9,   9,
    9,    9,   8,   8,   8,   8,   7,   7,   7,   7,   6,   6,   6,   6,   6,   5,   5,   5,   5,   5,   5,   4,
    4,    4,   4,   4,   4,   4,   4,   3,   3,   3,   3,   3,   3,   3,   3,   3,   2,   2,   2,   2,   2,   2,
    2,    2,   2,   2,   2,   2,   2,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,
    1,    1,   1,   1,   1,   1,   1,   1,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
}};

const DepthScaleTable& depth_scale_table() { return depth_table; }

int32_t depth_scale(int32_t depth) {
    const DepthScaleTable& table = depth_scale_table();
    if (depth < 0) return table.front();
    if (depth > 255) return table.back();
    return table[static_cast<std::size_t>(depth)];
}

void render_entity(FrameBuffer& frame, Entity& entity, const Vec3& camera) {
    const int32_t dx = wrap_sub(entity.x, camera.x);
    const int32_t dy = wrap_sub(entity.y, camera.y);
    const int32_t dz = wrap_sub(entity.z, camera.z);
    const int32_t scale = depth_scale(dz);

    // The centre slides toward the screen centre linearly with depth and
    // crosses it at 200; the figure shrinks through the table instead.
    const int32_t w = wrap_sub(200, dz);
    const int32_t cx = wrap_mul(w, dx) / 40 + 160;
    const int32_t cy = wrap_mul(w, dy) / 40 + 100;

    // Read once: a pixel store could alias the model as far as the compiler
    // knows, and would otherwise make it reload the vector after every line.
    const Model& model = *entity.model;
    const ModelLine* const lines = model.lines.data();
    const std::size_t count =
        std::min(static_cast<std::size_t>(model.line_count > 0 ? model.line_count : 0), model.lines.size());
    if (is_far(model, scale)) {
        draw_segments<draw_short_line>(frame, lines, count, cx, cy, scale);
    } else {
        draw_segments<draw_line>(frame, lines, count, cx, cy, scale);
    }

    entity.screen_x = cx;
    entity.screen_y = cy;
    entity.screen_size = wrap_mul(model.size, scale) >> 8;

    put_pixel(frame, static_cast<uint16_t>(cx), static_cast<uint16_t>(cy), centre_dot_colour);
}

Vec3 camera_position(int32_t steer_x, int32_t steer_y, int32_t camera_z) {
    return make_vec3(wrap_sub(0, steer_x), wrap_sub(0, steer_y), camera_z);
}

void render_entities(FrameBuffer& frame, EntityList& list, const Vec3& camera) {
    for (Entity* e = list.get(); e != nullptr; e = e->next.get()) {
        // A figure the game cannot draw stops the whole pass; everything after
        // it keeps the screen position of its last draw.
        if (e->model->line_count < 1 || e->model->line_count > max_model_lines) return;
        render_entity(frame, *e, camera);
    }
}

}  // namespace qv
