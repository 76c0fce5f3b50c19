// The game on a real window: SDL for the picture, the mouse and the sound.
#include <memory>

#include "front/program.h"
#include "game/game.h"
#include "platform/sdl/sdl_backend.h"

int main(int /*argc*/, char** /*argv*/) {
    // Both are large enough to belong on the heap; the back end outlives the game.
    const auto backend = std::make_unique<qv::SdlBackEnd>();
    const auto game = std::make_unique<qv::Game>();
    game->window.backend = backend.get();
    return qv::run_game(*game);
}
