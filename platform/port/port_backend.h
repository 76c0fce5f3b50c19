// The port's own layer around any back end: the seed of the game, recording
// the session as a mouse script, and playing a script back in the window. The
// game sees the same calls it would see without it; only what the player asked
// for changes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/mouse_script.h"
#include "platform/platform.h"
#include "platform/window.h"

namespace qv {

class PortBackEnd final : public ForwardingBackEnd {
public:
    explicit PortBackEnd(BackEnd& inner) : ForwardingBackEnd(inner) {}

    // The tick count start-up reads, so the game is the one of this seed.
    std::optional<uint32_t> seed;
    // The seed of each fresh game when the program plays again after a score
    // box; without it such a game reads the back end's own tick count.
    std::function<uint32_t()> next_seed;
    // Told the seed of each game as the game draws it, before its title: at
    // start-up and at every fresh game. The recording of the game before has
    // all its entries by then; one started here holds the new game alone.
    std::function<void(uint32_t seed)> game_started;
    // Replaces the player's mouse by this script; the window's close still counts.
    std::optional<std::vector<MouseScriptEntry>> demo;
    // The pump at which a demo ends as if the window were closed there.
    std::optional<uint64_t> demo_end;
    // Shown once in a box when the window first opens (problems with the settings).
    std::string notice;
    // Told when a game is lost, as its score box comes, and again once the
    // box is answered (the game's state is then still that of the lost game).
    std::function<void()> game_over;
    std::function<void()> score_box_closed;
    // A demo played this many times faster: the frames come sooner, the game
    // is the same.
    uint32_t demo_speed = 1;

    // Records the session as a mouse script that quorvaner-replay replays:
    // `write` gets the "# args:" line with the seed at once, then each entry as
    // soon as its pump is over, so a session cut short leaves all but its last
    // pump. Needs the seed. Started again, it ends the recording before and
    // begins another whose pumps count from here, with the seed of the game in
    // play: started from game_started, it replays that game on its own.
    void start_recording(std::function<void(const std::string&)> write);
    // The last entry, and the pump count when the player closed the window.
    void finish_recording();
    // What, added to everything written so far, makes a recording that ends
    // here as if the window were closed now: the last pump's entry, if it is
    // still to be written, and the pump count. Changes nothing.
    std::string recording_cut() const;
    // The seed of the game in play, once it has drawn one.
    std::optional<uint32_t> game_seed() const { return game_seed_; }

    void create_window(const char* title) override;
    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    uint32_t ticks() override;
    void message_box(const char* caption, const char* text) override;
    void sleep(uint32_t milliseconds) override;
    uint64_t steady_microseconds() override;

private:
    bool faster() const;
    void note_pump_end();
    void write_entry();
    std::string entry_line(const MouseScriptEntry& entry) const;

    uint64_t pumps_ = 0;
    std::optional<uint32_t> game_seed_;
    std::optional<uint64_t> closed_at_;
    ScriptedMouse scripted_;
    bool demo_loaded_ = false;
    bool close_pending_ = false;
    bool notice_shown_ = false;

    std::function<void(const std::string&)> write_;
    uint64_t recorded_from_ = 0;               // the pump before the recording's first
    LiveMouse mouse_;                          // as the game's pump leaves it
    MouseScriptEntry last_{0, 0, 0, 0, 0};     // the last entry written
    std::optional<MouseScriptEntry> pending_;  // this pump's, written when it is over
};

// A seed for a game the player did not choose: different from run to run.
uint32_t fresh_seed();

}  // namespace qv
