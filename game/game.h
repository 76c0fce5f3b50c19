// The whole world in one record, so that a test builds a fresh one in one line
// and two games never share anything. Functions take the parts they use; only
// the sequences that touch everything (a frame, a life lost, a level cleared)
// take the whole record.
#pragma once

#include "game/random.h"
#include "game/state.h"
#include "hud/glyphs.h"
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
    GlyphFont glyphs{};
    Random random;

    Game() = default;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
};

}  // namespace qv
