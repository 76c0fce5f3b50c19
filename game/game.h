// The whole world in one record, so that a test builds a fresh one in one line
// and two games never share anything.
#pragma once

#include <functional>

#include "game/random.h"
#include "game/state.h"
#include "hud/hud.h"
#include "platform/frame.h"
#include "platform/window.h"
#include "world/entity.h"
#include "world/model.h"

namespace qv {

struct Game {
    Video video;
    Window window;
    InputState input;
    Models models;
    EntityList entity_list;
    GameState state;
    LoopValues loop;
    HudState hud;
    GlyphFont glyphs{};
    Random random;
    // Called by present_frame right after the conversion, with the surface
    // holding the new picture. The replay tool traces through it.
    std::function<void(const Game&)> present_hook;

    Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

}  // namespace qv
