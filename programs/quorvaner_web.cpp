// The game in a web page: the WebAssembly entry point. The page preloads the
// data files into the working directory of the virtual file system.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "front/program.h"
#include "game/game.h"
#include "platform/mouse_script.h"
#include "platform/port/port_backend.h"
#include "platform/web/web_backend.h"

// Test hook: the page's seed and mouse script (see web/page.js), or nothing.
// clang-format off
EM_JS(char*, qv_page_test_script, (), {
    const hook = Module.page.testHook;
    if (!hook) return 0;
    const text = String(hook.script);
    const size = lengthBytesUTF8(text) + 1;
    const copy = _malloc(size);
    stringToUTF8(text, copy, size);
    return copy;
});
EM_JS(uint32_t, qv_page_test_seed, (), {
    return Module.page.testHook.seed >>> 0;
});
EM_JS(void, qv_page_report, (const char* text), {
    Module.page.report(UTF8ToString(text));
});
// clang-format on

namespace {

int run() {
    // Both are large enough to belong on the heap; the back end outlives the game.
    const auto backend = std::make_unique<qv::WebBackEnd>();
    qv::PortBackEnd port(*backend);
    if (char* text = qv_page_test_script()) {
        const std::string script_text = text;
        std::free(text);
        std::string error;
        auto script = qv::parse_mouse_script(script_text, "test script", error);
        if (!script) {
            std::fprintf(stderr, "quorvaner: %s\n", error.c_str());
            qv_page_report(error.c_str());
            return 2;
        }
        // The mouse follows the script, not the player, from this seed.
        port.seed = qv_page_test_seed();
        port.demo = std::move(*script);
        backend->report_pictures = true;
    }
    const auto game = std::make_unique<qv::Game>();
    game->window.backend = &port;
    // A page is never ended by the game: after the score box a new one starts.
    return qv::run_game(*game, true);
}

}  // namespace

int main() {
    // Once main has slept, its return value no longer reaches the page; exit does.
    std::exit(run());
}
