// The game in a web page: the WebAssembly entry point. The page preloads the
// data files into the working directory of the virtual file system.
//
// The page runs one session after another, as it asks (web/page.js, "Sharing"):
// - play: the link's seed or a fresh one, the game played again after every
//   score box, each game recorded on its own for "Save recording";
// - watching a recording: its seed, the mouse from the file, until its score
//   box or the pump its player closed it at; then play again.
// The page ends a session early through qv_end_session (a recording to
// watch, or the player stops watching).
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "front/program.h"
#include "game/game.h"
#include "platform/mouse_script.h"
#include "platform/port/best_scores.h"
#include "platform/port/port_backend.h"
#include "platform/web/web_backend.h"

// clang-format off
EM_JS(int, qv_page_next_session, (), {
    return Module.page.nextSession() === 'watch' ? 1 : 0;
});
// The seed the test hook gives the watched recording (or -1 for its own).
EM_JS(double, qv_page_watch_seed, (), {
    const seed = Module.page.session().seed;
    return seed === undefined || seed === null ? -1 : seed;
});
EM_JS(int, qv_page_watch_speed, (), {
    return Module.page.session().speed || 1;
});
// The seed in the page's address, or -1.
EM_JS(double, qv_page_link_seed, (), {
    const seed = Module.page.linkSeed();
    return seed === null ? -1 : seed;
});
EM_JS(int, qv_page_report_pictures, (), {
    return Module.page.reportPictures ? 1 : 0;
});
EM_JS(void, qv_page_game_started, (uint32_t seed, int recorded), {
    Module.page.gameStarted(seed >>> 0, recorded !== 0);
});
EM_JS(void, qv_page_record, (const char* text), {
    Module.page.record(UTF8ToString(text));
});
EM_JS(void, qv_page_session_ended, (int lost), {
    Module.page.sessionEnded(lost !== 0);
});
EM_JS(void, qv_page_recording_checked, (const char* problem), {
    Module.page.recordingChecked(UTF8ToString(problem));
});
EM_JS(void, qv_page_recording_cut, (const char* text), {
    Module.page.recordingCut(UTF8ToString(text));
});
EM_JS(void, qv_page_report, (const char* text), {
    Module.page.report(UTF8ToString(text));
});
EM_JS(void, qv_page_save_scores, (const char* text, int damaged), {
    Module.page.saveScores(UTF8ToString(text), damaged !== 0);
});
// clang-format on

namespace {

// What the page's calls act on.
qv::WebBackEnd* web = nullptr;
qv::PortBackEnd* recorded_session = nullptr;

// The recording as the replay tool would take it, or why it is none.
std::optional<qv::LoadedScript> read_recording(const std::string& text, std::string& problem) {
    auto entries = qv::parse_mouse_script(text, "the recording", problem);
    if (!entries) return std::nullopt;
    if (entries->empty()) {
        problem = "the file holds no mouse entries: it is not a recording of a game";
        return std::nullopt;
    }
    return qv::LoadedScript{std::move(*entries), qv::script_args(text)};
}

// The page's table; a damaged one is kept aside by the page and told once.
qv::ScoreTable stored_scores() {
    const std::string text = qv::page_text("scoresText");
    if (text.empty()) return {};
    qv::ScoresParse parse = qv::parse_scores(text);
    if (parse.table) return *parse.table;
    std::fprintf(stderr, "quorvaner: the best scores were damaged (%s); a fresh table is started\n",
                 parse.problem.c_str());
    qv_page_save_scores(qv::scores_text({}).c_str(), 1);
    return {};
}

int play(qv::WebBackEnd& backend) {
    qv::PortBackEnd port(backend);
    const double link = qv_page_link_seed();
    if (link >= 0) {
        // A shared game: every game of the page is that one.
        const auto seed = static_cast<uint32_t>(link);
        port.seed = seed;
        port.next_seed = [seed] { return seed; };
    } else {
        port.seed = qv::fresh_seed();
        port.next_seed = qv::fresh_seed;
    }
    port.game_started = [&port](uint32_t seed) {
        qv_page_game_started(seed, 1);
        port.start_recording([](const std::string& text) { qv_page_record(text.c_str()); });
    };
    recorded_session = &port;
    const auto game = std::make_unique<qv::Game>();
    game->window.backend = &port;
    // Every lost game into the page's table, shown after its box when it made it.
    backend.player().set_scores(stored_scores());
    std::optional<size_t> place;
    qv::ScoreTable table;
    port.game_over = [&] {
        table = stored_scores();
        place = table.add({int64_t{game->state.kills} * 100, game->state.level, game->state.kills, qv::local_date(),
                           port.game_seed().value_or(0)});
        if (place) qv_page_save_scores(qv::scores_text(table).c_str(), 0);
        backend.player().set_scores(table);
    };
    port.score_box_closed = [&] {
        if (place) backend.player().show_scores(table, *place);
        place.reset();
    };
    // A page is never ended by the game: after the score box a new one starts.
    const int status = qv::run_game(*game, true);
    port.finish_recording();
    recorded_session = nullptr;
    qv_page_session_ended(0);
    return status;
}

int watch(qv::WebBackEnd& backend) {
    std::string problem;
    const auto recording = read_recording(qv::page_text("watchText"), problem);
    if (!recording) {
        std::fprintf(stderr, "quorvaner: %s\n", problem.c_str());
        qv_page_report(problem.c_str());
        return 0;
    }
    qv::PortBackEnd port(backend);
    const double seed = qv_page_watch_seed();
    port.seed = seed >= 0 ? static_cast<uint32_t>(seed) : recording->args.seed.value_or(0);
    port.demo = recording->entries;
    port.demo_end = recording->args.max_pumps;
    port.game_started = [](uint32_t seed) { qv_page_game_started(seed, 0); };
    backend.set_speed(static_cast<uint32_t>(qv_page_watch_speed()));
    const auto game = std::make_unique<qv::Game>();
    game->window.backend = &port;
    // One game, as the replay tool plays it.
    const int status = qv::run_game(*game, false);
    backend.set_speed(1);
    qv_page_session_ended(game->state.game_over != 0 ? 1 : 0);
    return status;
}

int run() {
    // Large enough to belong on the heap; the back end outlives every game.
    const auto backend = std::make_unique<qv::WebBackEnd>();
    web = backend.get();
    backend->report_pictures = qv_page_report_pictures() != 0;
    for (;;) {
        const int status = qv_page_next_session() == 1 ? watch(*backend) : play(*backend);
        backend->destroy_window();
        if (status != 0) return status;
    }
}

}  // namespace

// The page's calls.
extern "C" {

// Ends the session in progress, as a closed window ends a game.
EMSCRIPTEN_KEEPALIVE void qv_end_session() {
    if (web != nullptr) web->player().close();
}

// The page's mute button: the same setting as the menu's, kept with it.
EMSCRIPTEN_KEEPALIVE void qv_set_mute(int mute) {
    if (web != nullptr) web->set_mute(mute != 0);
}

EMSCRIPTEN_KEEPALIVE void qv_set_speed(int speed) {
    if (web != nullptr) web->set_speed(static_cast<uint32_t>(speed));
}

// Whether the page's text (Module.page.checkedText) is a recording to watch;
// the answer goes to Module.page.recordingChecked: empty, or what is wrong.
EMSCRIPTEN_KEEPALIVE void qv_check_recording() {
    std::string problem;
    read_recording(qv::page_text("checkedText"), problem);
    qv_page_recording_checked(problem.c_str());
}

// What ends the recording of the game in play here (see PortBackEnd::recording_cut),
// to Module.page.recordingCut; empty while no game is recorded.
EMSCRIPTEN_KEEPALIVE void qv_cut_recording() {
    qv_page_recording_cut(recorded_session != nullptr ? recorded_session->recording_cut().c_str() : "");
}
}

int main() {
    // Once main has slept, its return value no longer reaches the page; exit does.
    std::exit(run());
}
