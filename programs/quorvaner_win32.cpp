// The Windows entry point: the instance and the show command go to the back end
// for the window, then the whole program runs.
#include <memory>

#include "front/program.h"
#include "game/game.h"
#include "platform/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    auto backend = std::make_unique<qv::Win32BackEnd>(instance, show_command);
    // The game is large (frame buffer, surface, palettes): it lives on the heap.
    auto game = std::make_unique<qv::Game>();
    game->window.backend = backend.get();
    return qv::run_game(*game);
}
