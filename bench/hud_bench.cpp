#include <benchmark/benchmark.h>

#include "game/game.h"
#include "hud/cockpit.h"
#include "hud/hud.h"

namespace {

// One frame's cockpit and instruments in their busiest state: steering hard,
// firing, cracked canopy, a full row of spare lives and a font with every byte lit.
void BM_CockpitAndHud(benchmark::State& bench) {
    qv::Game game;
    game.state.steer_x = 20;
    game.state.steer_y = -20;
    game.state.shield = 40;
    game.state.lives = 5;
    game.state.kills = 9999;
    game.loop.firing = true;
    game.input.pointer.pointer_x = 200;
    game.input.pointer.pointer_y = 60;
    game.glyphs.fill(1);
    for (auto _ : bench) {
        ++game.state.camera_z;
        qv::draw_cockpit(game);
        qv::draw_hud(game);
        benchmark::DoNotOptimize(game.video.frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CockpitAndHud);

}  // namespace
