#include "platform/view_layout.h"

#include <algorithm>

#include "platform/frame.h"

namespace qv {

namespace {

// 200 rows shown as 240: each row a fifth taller.
constexpr int32_t four_three_height = screen_height * 6 / 5;

int64_t floor_div(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

ViewRect unscaled_view(Aspect aspect) {
    return {0, 0, screen_width, aspect == Aspect::FourThree ? four_three_height : screen_height};
}

int32_t fitting_scale(int32_t width, int32_t height, Aspect aspect, int32_t most) {
    const ViewRect unit = unscaled_view(aspect);
    int32_t fit = std::min(width / unit.width, height / unit.height);
    if (most > 0) fit = std::min(fit, most);
    return std::max(1, fit);
}

ViewRect centred_view(int32_t client_width, int32_t client_height, Aspect aspect) {
    const int32_t scale = fitting_scale(client_width, client_height, aspect, 0);
    const ViewRect unit = unscaled_view(aspect);
    const int32_t width = unit.width * scale;
    const int32_t height = unit.height * scale;
    return {(client_width - width) / 2, (client_height - height) / 2, width, height};
}

int32_t window_to_picture(int32_t client, int32_t view_origin, int32_t view_extent, int32_t picture_extent) {
    if (view_extent <= 0) return client;
    return static_cast<int32_t>(floor_div((int64_t{client} - view_origin) * picture_extent, view_extent));
}

}  // namespace qv
