// The cost of one frame from drawing to the replay tool's CRC, each figure
// also given as a multiple of copying the surface's 128000 bytes in the same
// run, so results from different machines and loads can be compared.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "against_copy.h"
#include "front/startup.h"
#include "game/game.h"
#include "game/loop.h"
#include "platform/frame.h"
#include "platform/frame_convert.h"
#include "platform/headless/headless.h"
#include "platform/headless/picture_files.h"
#include "platform/headless/surface_crc.h"
#include "world/entity.h"
#include "world/model.h"

namespace {

constexpr std::size_t surface_bytes = sizeof(qv::DisplaySurface::pixels);
static_assert(surface_bytes == bench::copy_bytes);

// A game in progress at level 1 on the headless back end, window open and the
// pointer resting in the middle: the real models, the three starting fighters
// and, up to `fighters`, more of them spread over the approach, each extra one
// with a bolt on its way. All world building is here, in one place.
struct World {
    std::unique_ptr<qv::HeadlessBackEnd> backend = std::make_unique<qv::HeadlessBackEnd>();
    std::unique_ptr<qv::Game> game = std::make_unique<qv::Game>();

    explicit World(int32_t fighters) {
        qv::Game& g = *game;
        g.window.backend = backend.get();
        backend->script = {{1, 160, 100, 0, 0}};
        const std::string data = QV_DATA_DIR;
        g.models.tie = qv::load_model(data + "/tie.obj");
        g.models.bolt = qv::load_model(data + "/bolt.obj");
        g.models.heal = qv::load_model(data + "/heal.obj");
        g.models.bomb = qv::load_model(data + "/bomb.obj");
        g.models.shield = qv::load_model(data + "/shield.obj");
        qv::build_starting_list(g.entity_list, &g.models.tie);
        for (int32_t i = 3; i < fighters; ++i) {
            const qv::Vec3 at = qv::make_vec3(i % 40 - 20, (i * 7) % 40 - 20, 24 + (i * 37) % 215);
            qv::Entity& head = *g.entity_list;
            qv::insert_after(
                head, qv::new_entity(qv::make_instance(&g.models.bolt, qv::make_vec3(at.x, at.y, at.z - 8)), qv::Bolt,
                                     qv::make_vec3(0, 0, -1), nullptr));
            qv::insert_after(head, qv::new_entity(qv::make_instance(&g.models.tie, at), qv::Fighter,
                                                  qv::make_vec3(0, 0, 0), nullptr));
        }
        qv::init_video(g.video, g.window);
        // Protected, as for the 490 frames after a shield pickup: the bolts
        // and rams still meet the player but take no shield, so no life is
        // lost inside the measured stretch. A lost life is a 105-frame
        // sequence of its own and leaves the board reset, without bolts.
        g.state.invulnerable_timer = 490;
        g.loop.running = true;
    }
};

struct Pictures {
    qv::FrameBuffer frame{};
    qv::Palette palette{};
    qv::DisplaySurface surface{};

    Pictures() {
        std::mt19937 random(7);
        for (auto& index : frame) index = static_cast<uint8_t>(random());
        for (auto& colour : palette) colour = static_cast<uint16_t>(random());
    }

    // Random indices defeat any cache; a picture of play (cockpit, fighters,
    // bolts, instruments on black) is what the game converts.
    void use_game_frame() {
        World world(100);
        qv::Game& game = *world.game;
        world.backend->on_present = [this](const qv::PresentedFrame& picture) {
            frame = picture.frame;
            palette = picture.palette;
        };
        for (int32_t i = 0; i < 20; ++i) qv::run_frame(game);
    }
};

void BM_Memcpy128000(benchmark::State& state) {
    std::vector<uint8_t> from(surface_bytes, 3);
    std::vector<uint8_t> to(surface_bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), surface_bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * surface_bytes));
}
BENCHMARK(BM_Memcpy128000);

template <void (*Convert)(uint16_t*, const uint8_t*, const qv::Palette&)>
void convert_bench(benchmark::State& state) {
    Pictures p;
    if (state.range(0) == 0) p.use_game_frame();
    bench::run_against_copy(state, 64, [&] {
        Convert(p.surface.pixels.data(), p.frame.data(), p.palette);
        benchmark::DoNotOptimize(p.surface.pixels.data());
        benchmark::ClobberMemory();
    });
}

void BM_ConvertPlain(benchmark::State& state) { convert_bench<qv::convert_pixels_plain>(state); }
BENCHMARK(BM_ConvertPlain)->Arg(0)->Arg(1);

void BM_ConvertPairs(benchmark::State& state) { convert_bench<qv::convert_pixels_pairs>(state); }
BENCHMARK(BM_ConvertPairs)->Arg(0)->Arg(1);

void BM_ConvertPermute(benchmark::State& state) {
    if (!qv::cpu_has_byte_permute()) {
        state.SkipWithError("no AVX-512 VBMI on this processor");
        return;
    }
    convert_bench<qv::convert_pixels_permute>(state);
}
BENCHMARK(BM_ConvertPermute)->Arg(0)->Arg(1);

void BM_ConvertWordPermute(benchmark::State& state) {
    if (!qv::cpu_has_word_permute()) {
        state.SkipWithError("no AVX-512 BW on this processor");
        return;
    }
    convert_bench<qv::convert_pixels_word_permute>(state);
}
BENCHMARK(BM_ConvertWordPermute)->Arg(0)->Arg(1);

// What present_frame calls: whichever path this processor gets.
void BM_ConvertFrame(benchmark::State& state) {
    Pictures p;
    if (state.range(0) == 0) p.use_game_frame();
    qv::Video video;
    video.active_palette = p.palette;
    bench::run_against_copy(state, 64, [&] {
        qv::convert_frame(video, p.frame);
        benchmark::DoNotOptimize(video.surface.pixels.data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(BM_ConvertFrame)->Arg(0)->Arg(1);

template <uint32_t (*Crc)(const std::array<uint16_t, qv::screen_pixels>&)>
void crc_bench(benchmark::State& state) {
    Pictures p;
    qv::convert_pixels_plain(p.surface.pixels.data(), p.frame.data(), p.palette);
    bench::run_against_copy(state, 64, [&] { benchmark::DoNotOptimize(Crc(p.surface.pixels)); });
}

void BM_SurfaceCrcZlib(benchmark::State& state) { crc_bench<qv::surface_crc_zlib>(state); }
BENCHMARK(BM_SurfaceCrcZlib);

void BM_SurfaceCrcIsal(benchmark::State& state) {
    if (!qv::surface_crc_has_isal()) {
        state.SkipWithError("built without ISA-L");
        return;
    }
    crc_bench<qv::surface_crc_isal>(state);
}
BENCHMARK(BM_SurfaceCrcIsal);

// The world is built afresh every 64 frames (outside the timing), so every
// run measures the same stretch of play.
void run_frames(benchmark::State& state, int32_t fighters) {
    constexpr int32_t frames_per_world = 64;
    auto world = std::make_unique<World>(fighters);
    const int32_t lives = world->game->state.lives;
    bool life_lost = false;
    bench::run_against_copy(
        state, frames_per_world, [&] { qv::run_frame(*world->game); },
        [&] {
            life_lost = life_lost || world->game->state.lives != lives;
            world = std::make_unique<World>(fighters);
        });
    if (life_lost) state.SkipWithError("a life was lost inside the measured stretch");
}

void BM_RunFrameLevel1(benchmark::State& state) { run_frames(state, 3); }
BENCHMARK(BM_RunFrameLevel1);

void BM_RunFrame100Fighters(benchmark::State& state) { run_frames(state, 100); }
BENCHMARK(BM_RunFrame100Fighters);

// The console output, then every benchmark's CPU time as a multiple of the
// 128000-byte copy (the median when repetitions are asked for).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            const double ns = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            const std::string name = run.run_name.str();
            if (median || medians_.count(name) == 0) {
                if (!times_.count(name)) order_.push_back(name);
                times_[name] = ns;
                const auto paired = run.counters.find("x_memcpy");
                if (paired != run.counters.end()) paired_[name] = paired->second.value;
                if (median) medians_[name] = true;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto copy = times_.find("BM_Memcpy128000");
        if (copy == times_.end() || copy->second <= 0) return;
        // "paired" is the ratio to copies timed between the benchmark's own
        // batches (bench/against_copy.h), where it has one.
        std::printf("\n%-28s %12s %10s %8s\n", "benchmark", "CPU ns", "x memcpy", "paired");
        for (const std::string& name : order_) {
            std::printf("%-28s %12.0f %10.2f", name.c_str(), times_[name], times_[name] / copy->second);
            const auto paired = paired_.find(name);
            if (paired != paired_.end()) std::printf(" %8.2f", paired->second);
            std::printf("\n");
        }
    }

private:
    std::vector<std::string> order_;
    std::map<std::string, double> times_;
    std::map<std::string, bool> medians_;
    std::map<std::string, double> paired_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
