// Where the 320 x 200 picture sits in a window of any size, and which picture
// pixel a point of the window shows. Shared by every back end with a real
// window, so the picture and the pointer agree in every mode.
#pragma once

#include <cstdint>

namespace qv {

struct ViewRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct Extent {
    int32_t width = 0;
    int32_t height = 0;
};

enum class Aspect {
    SquarePixels,  // 320 x 200 shown as 320 x 200
    FourThree,     // 320 x 200 shown as 320 x 240, the shape of the screens it was drawn for
};

// The picture's size at scale 1: 320 x 200, or 320 x 240 with the 4:3 correction.
ViewRect unscaled_view(Aspect aspect);

// The largest whole scale at which the picture fits into width x height, at most
// `most` (0: no limit), never below 1.
int32_t fitting_scale(int32_t width, int32_t height, Aspect aspect, int32_t most);

// The client size of a new window: the picture at `scale` (0: the largest that
// fits, at most 3), lowered until it fits into the desktop's usable area.
// A desktop of unknown size (0 x 0) takes the scale as asked, 3 for 0.
Extent window_client_size(int32_t scale, Extent desktop, Aspect aspect);

// The picture at the largest whole scale that fits, centred, with bands around it.
ViewRect centred_view(int32_t client_width, int32_t client_height, Aspect aspect);

// The picture pixel under a window point: floor division, so the bands left of
// and above the picture map to negative pixels and those right of and below it
// to 320 / 200 and more, as a cursor off the picture should.
int32_t window_to_picture(int32_t client, int32_t view_origin, int32_t view_extent, int32_t picture_extent);

struct PicturePoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The picture pixel under a pointer at (x, y) in window points, for a window of
// `points` whose drawable has `pixels` (larger on high-density screens), with the
// picture centred in the drawable as centred_view places it.
PicturePoint pointer_to_picture(int32_t x, int32_t y, Extent points, Extent pixels, Aspect aspect);

// The other way: the window point, in points, at the centre of picture pixel
// (x, y), where the system pointer goes when another device moves the
// crosshair; pointer_to_picture gives the pixel back.
PicturePoint picture_to_pointer(int32_t x, int32_t y, Extent points, Extent pixels, Aspect aspect);

// The size of the sharp intermediate picture for a view: the 320 x 200 picture
// blown up by whole factors with nearest neighbour, at least as large as the view
// on each axis, so that the smooth last step only ever shrinks it a little.
Extent sharp_prescale(const ViewRect& view);

}  // namespace qv
