// A fresh world for tests: a headless back end, small square models, the
// starting fighters and the default palette active, as after start-up.
#pragma once

#include <memory>
#include <string>

#include "game/game.h"
#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "world/entity.h"
#include "world/model.h"

namespace qv::testing {

// A square of side 2 * half drawn in one colour, with hit radius `size`.
inline Model square_model(int half, int colour, int size) {
    const std::string h = std::to_string(half);
    const std::string c = std::to_string(colour);
    const std::string text = "size " + std::to_string(size) + "\nlines 4\npoints 4\n" + "p -" + h + " -" + h +
                             "\np " + h + " -" + h + "\np " + h + " " + h + "\np -" + h + " " + h + "\nv 0 1 " + c +
                             "\nv 1 2 " + c + "\nv 2 3 " + c + "\nv 3 0 " + c + "\n";
    return parse_model(text, "square.obj");
}

struct TestWorld {
    BackEnd backend;
    std::unique_ptr<Game> game = std::make_unique<Game>();

    TestWorld() {
        Game& g = *game;
        g.window.backend = &backend;
        g.models.tie = square_model(8, 48, 8);
        g.models.bolt = square_model(2, 40, 2);
        g.models.heal = square_model(4, 32, 4);
        g.models.bomb = square_model(3, 44, 3);
        g.models.shield = square_model(4, 51, 4);
        build_starting_list(g.entity_list, &g.models.tie);
        set_default_palette(g.video);
        g.video.active_palette = g.video.default_palette;
    }

    Game& operator*() { return *game; }
    Game* operator->() { return game.get(); }
};

}  // namespace qv::testing
