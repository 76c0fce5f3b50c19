// Draws the five models through the game's own renderer at the depths where the
// player meets them (16, where they arrive; 50; 100, far out) into one PNG, so
// a figure can be judged as it will really look. Usage: model_sheet DATA_DIR OUT.png
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/data_error.h"
#include "platform/frame.h"
#include "platform/headless/picture_files.h"
#include "raster/draw.h"
#include "world/entity.h"
#include "world/model.h"
#include "world/render.h"

namespace {

// Each cell shows the middle of the screen, enlarged so single pixels can be
// judged; the whole figure fits at every depth shown.
constexpr int crop_w = 120;
constexpr int crop_h = 80;
constexpr int zoom = 3;
constexpr int crop_x = (qv::screen_width - crop_w) / 2;
constexpr int crop_y = (qv::screen_height - crop_h) / 2;
constexpr int cell_w = crop_w * zoom;
constexpr int cell_h = crop_h * zoom;
constexpr int gap = 4;
constexpr int depths[] = {16, 50, 100};
const char* const model_files[] = {"tie.obj", "bolt.obj", "heal.obj", "bomb.obj", "shield.obj"};
constexpr uint8_t grid_colour = 1;

struct Rgb {
    uint8_t r, g, b;
};

Rgb to_rgb(uint16_t c) { return Rgb{qv::widen_channel(c >> 10), qv::widen_channel(c >> 5), qv::widen_channel(c)}; }

// One cell: the model centred on the screen, as the camera would see it
// straight ahead, with a faint square showing its hit area.
qv::FrameBuffer render_cell(const qv::Model& model, int depth) {
    qv::FrameBuffer frame{};
    qv::Entity entity;
    entity.model = &model;
    entity.z = depth;
    qv::render_entity(frame, entity, qv::make_vec3(0, 0, 0));
    const int s = entity.screen_size;
    const auto x0 = static_cast<int16_t>(entity.screen_x - s), x1 = static_cast<int16_t>(entity.screen_x + s);
    const auto y0 = static_cast<int16_t>(entity.screen_y - s), y1 = static_cast<int16_t>(entity.screen_y + s);
    qv::FrameBuffer hit{};
    qv::draw_line(hit, x0, y0, x1, y0, grid_colour);
    qv::draw_line(hit, x1, y0, x1, y1, grid_colour);
    qv::draw_line(hit, x1, y1, x0, y1, grid_colour);
    qv::draw_line(hit, x0, y1, x0, y0, grid_colour);
    for (size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == 0) frame[i] = hit[i];
    }
    return frame;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: model_sheet DATA_DIR OUT.png\n");
        return 2;
    }
    const std::string dir = argv[1];
    // The game's own palette and conversion, as for a presented frame.
    qv::Video video;
    qv::set_default_palette(video);
    video.active_palette = video.default_palette;

    constexpr int columns = sizeof depths / sizeof depths[0];
    constexpr int rows = sizeof model_files / sizeof model_files[0];
    const int width = columns * cell_w + (columns - 1) * gap;
    const int height = rows * cell_h + (rows - 1) * gap;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 40);

    try {
        for (int row = 0; row < rows; ++row) {
            const qv::Model model = qv::load_model(dir + "/" + model_files[row]);
            for (int col = 0; col < columns; ++col) {
                qv::convert_frame(video, render_cell(model, depths[col]));
                const auto& picture = video.surface.pixels;
                for (int y = 0; y < cell_h; ++y) {
                    for (int x = 0; x < cell_w; ++x) {
                        const size_t source =
                            static_cast<size_t>((crop_y + y / zoom) * qv::screen_width + crop_x + x / zoom);
                        const Rgb c = to_rgb(picture[source]);
                        const size_t at = (static_cast<size_t>(row * (cell_h + gap) + y) * static_cast<size_t>(width) +
                                           static_cast<size_t>(col * (cell_w + gap) + x)) *
                                          3;
                        rgb[at] = c.r;
                        rgb[at + 1] = c.g;
                        rgb[at + 2] = c.b;
                    }
                }
            }
        }
    } catch (const qv::DataError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    std::string error;
    if (!qv::write_rgb_png(argv[2], width, height, rgb, error)) {
        std::fprintf(stderr, "model_sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
