// Plays the game on the headless layer with a simple aiming pilot and writes the
// mouse script it used, so a long aimed game can be recorded as a golden replay.
//
//   autopilot SEED MAX_PUMPS OUT_SCRIPT [--steer]
//
// Run from the data folder. The pilot leaves the title with a click, then before
// every pump points at the nearest fighter it can hit and holds the left button
// while one is in reach. With --steer it also sweeps the pointer along the
// window edges now and then, so the run exercises steering.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "front/program.h"
#include "game/game.h"
#include "platform/data_error.h"
#include "platform/headless/headless.h"

namespace {

struct Pilot {
    qv::HeadlessBackEnd* backend = nullptr;
    bool steer = false;
    uint64_t presents = 0;
};

// Appends an entry for the next pump when the wanted mouse differs from the last one.
void want(qv::HeadlessBackEnd& backend, int32_t x, int32_t y, uint8_t left) {
    const uint64_t pump = backend.pumps + 1;
    if (!backend.script.empty()) {
        const qv::MouseScriptEntry& last = backend.script.back();
        if (last.x == x && last.y == y && last.left == left && last.right == 0) return;
        if (last.pump >= pump) return;
    }
    backend.script.push_back({pump, x, y, left, 0});
}

// Every 600 frames, spends 40 along one edge or corner in turn.
bool steer_now(Pilot& pilot, const qv::Game& game) {
    qv::HeadlessBackEnd& backend = *pilot.backend;
    const uint64_t phase = pilot.presents % 600;
    if (phase >= 40) return false;
    static constexpr int32_t edges[4][2] = {{5, 100}, {315, 100}, {160, 5}, {315, 195}};
    const auto& edge = edges[(pilot.presents / 600) % 4];
    want(backend, edge[0], edge[1], game.loop.firing ? 1 : 0);
    return true;
}

void aim(Pilot& pilot, const qv::Game& game) {
    qv::HeadlessBackEnd& backend = *pilot.backend;
    const qv::Entity* best = nullptr;
    int32_t best_depth = 1 << 30;
    for (const qv::Entity* e = game.entity_list.get(); e != nullptr; e = e->next.get()) {
        if (e->kind != qv::Fighter || e->screen_size < 2) continue;
        const int32_t depth = e->z - game.state.camera_z;
        if (depth < 20 || e->screen_x < 25 || e->screen_x > 295 || e->screen_y < 25 || e->screen_y > 175) continue;
        if (depth < best_depth) {
            best_depth = depth;
            best = e;
        }
    }
    if (best == nullptr) {
        want(backend, 160, 100, 0);
        return;
    }
    want(backend, best->screen_x, best->screen_y, 1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: autopilot SEED MAX_PUMPS OUT_SCRIPT [--steer]\n";
        return 2;
    }
    auto backend = std::make_unique<qv::HeadlessBackEnd>();
    backend->start_ticks = static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10));
    backend->max_pumps = std::strtoull(argv[2], nullptr, 10);
    backend->trace = [](const std::string&) {};
    auto game = std::make_unique<qv::Game>();
    game->window.backend = backend.get();

    Pilot pilot;
    pilot.backend = backend.get();
    pilot.steer = argc > 4 && std::string(argv[4]) == "--steer";
    // The title zoom takes 40 presents; click a little after it.
    backend->script.push_back({60, 160, 100, 1, 0});
    backend->script.push_back({64, 160, 100, 0, 0});
    backend->on_present = [&pilot, &g = *game](const qv::PresentedFrame&) {
        ++pilot.presents;
        if (pilot.presents <= 40) return;
        if (pilot.steer && steer_now(pilot, g)) return;
        aim(pilot, g);
    };
    try {
        qv::run_program(*game);
    } catch (const qv::DataError& error) {
        std::cerr << "autopilot: " << error.what() << "\n";
        return 1;
    }
    std::ofstream out(argv[3]);
    for (const qv::MouseScriptEntry& e : backend->script) {
        out << e.pump << ' ' << e.x << ' ' << e.y << ' ' << int(e.left) << ' ' << int(e.right) << '\n';
    }
    std::cout << "pumps " << backend->pumps << ", kills " << game->state.kills << ", level " << game->state.level
              << "\n";
    return 0;
}
