#include <benchmark/benchmark.h>

#include "hud/cockpit.h"
#include "hud/hud.h"

namespace {

// One frame's cockpit and instruments in their busiest state: steering hard,
// firing, cracked canopy, a full row of spare lives and a font with every byte lit.
void BM_CockpitAndHud(benchmark::State& bench) {
    qv::FrameBuffer frame{};
    qv::CockpitView view{.level = 1, .steer_x = 20, .steer_y = -20, .camera_z = 0};
    const qv::HudReadings readings{.pointer_x = 200,
                                   .pointer_y = 60,
                                   .firing = true,
                                   .laser_energy = 240,
                                   .shield = 40,
                                   .kills = 9999,
                                   .lives = 5};
    qv::GlyphFont glyphs;
    glyphs.fill(1);
    for (auto _ : bench) {
        ++view.camera_z;
        qv::draw_cockpit(frame, view);
        qv::draw_hud(frame, readings, glyphs);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CockpitAndHud);

}  // namespace
