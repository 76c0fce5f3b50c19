// The two drawing costs of a frame that grow with the scene: long lines that
// run mostly outside the picture (the cockpit frame has several), and the
// wireframe pass over every entity.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/frame.h"
#include "raster/draw.h"
#include "world/entity.h"
#include "world/model.h"
#include "world/render.h"

namespace {

void BM_DrawLineLongClipped(benchmark::State& state) {
    qv::FrameBuffer frame{};
    // Four lines of about a thousand pixels, three quarters of them off screen.
    for (auto _ : state) {
        qv::draw_line(frame, -400, -300, 700, 500, 31);
        qv::draw_line(frame, 720, -300, -380, 500, 31);
        qv::draw_line(frame, -500, 100, 820, 100, 12);
        qv::draw_line(frame, 160, -400, 161, 600, 12);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_DrawLineLongClipped);

void BM_RenderEntitiesFighters(benchmark::State& state) {
    const qv::Model tie = qv::load_model(std::string(QV_DATA_DIR) + "/tie.obj");
    qv::FrameBuffer frame{};
    qv::EntityList list;
    qv::build_starting_list(list, &tie);
    const auto count = static_cast<int32_t>(state.range(0));
    // Spread over the approach, from arrival at depth 16 out to 238.
    for (int32_t i = 3; i < count; ++i) {
        const qv::Vec3 at = qv::make_vec3(i % 40 - 20, (i * 7) % 40 - 20, 16 + (i * 37) % 223);
        qv::insert_after(*list,
                         qv::new_entity(qv::make_instance(&tie, at), qv::Fighter, qv::make_vec3(0, 0, 0), nullptr));
    }
    for (auto _ : state) {
        qv::render_entities(frame, list, qv::camera_position(0, 0, 0));
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RenderEntitiesFighters)->Arg(3)->Arg(36)->Arg(64)->Arg(100);

}  // namespace
