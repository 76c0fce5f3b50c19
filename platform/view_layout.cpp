#include "platform/view_layout.h"

#include <algorithm>

#include "platform/frame.h"

namespace qv {

namespace {

// 200 rows shown as 240: each row a fifth taller.
constexpr int32_t four_three_height = screen_height * 6 / 5;
constexpr int32_t largest_default_scale = 3;

int64_t floor_div(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int32_t ceil_div(int32_t a, int32_t b) { return (a + b - 1) / b; }

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

Extent window_client_size(int32_t scale, Extent desktop, Aspect aspect) {
    int32_t wanted = scale > 0 ? scale : largest_default_scale;
    if (desktop.width > 0 && desktop.height > 0) wanted = fitting_scale(desktop.width, desktop.height, aspect, wanted);
    const ViewRect unit = unscaled_view(aspect);
    return {unit.width * wanted, unit.height * wanted};
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

PicturePoint pointer_to_picture(int32_t x, int32_t y, Extent points, Extent pixels, Aspect aspect) {
    // Points to output pixels first, by floor division like the picture itself:
    // the view is laid out in pixels.
    if (points.width > 0 && points.height > 0 && pixels.width > 0 && pixels.height > 0) {
        x = static_cast<int32_t>(floor_div(int64_t{x} * pixels.width, points.width));
        y = static_cast<int32_t>(floor_div(int64_t{y} * pixels.height, points.height));
    }
    const ViewRect view = centred_view(pixels.width, pixels.height, aspect);
    return {window_to_picture(x, view.x, view.width, screen_width),
            window_to_picture(y, view.y, view.height, screen_height)};
}

PicturePoint picture_to_pointer(int32_t x, int32_t y, Extent points, Extent pixels, Aspect aspect) {
    const ViewRect view = centred_view(pixels.width, pixels.height, aspect);
    int64_t across = view.x + (int64_t{2} * x + 1) * view.width / (2 * screen_width);
    int64_t down = view.y + (int64_t{2} * y + 1) * view.height / (2 * screen_height);
    if (points.width > 0 && points.height > 0 && pixels.width > 0 && pixels.height > 0) {
        across = floor_div(across * points.width, pixels.width);
        down = floor_div(down * points.height, pixels.height);
    }
    return {static_cast<int32_t>(across), static_cast<int32_t>(down)};
}

Extent sharp_prescale(const ViewRect& view) {
    const int32_t across = std::max(1, ceil_div(view.width, screen_width));
    const int32_t down = std::max(1, ceil_div(view.height, screen_height));
    return {screen_width * across, screen_height * down};
}

}  // namespace qv
