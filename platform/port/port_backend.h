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
    // Replaces the player's mouse by this script; the window's close still counts.
    std::optional<std::vector<MouseScriptEntry>> demo;
    // The pump at which a demo ends as if the window were closed there.
    std::optional<uint64_t> demo_end;
    // Shown once in a box when the window first opens (problems with the settings).
    std::string notice;

    // Records the session as a mouse script that quorvaner-replay replays:
    // `write` gets the "# args:" line with the seed at once, then each entry as
    // soon as its pump is over, so a session cut short leaves all but its last
    // pump. Needs the seed.
    void start_recording(std::function<void(const std::string&)> write);
    // The last entry, and the pump count when the player closed the window.
    void finish_recording();

    void create_window(const char* title) override;
    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    uint32_t ticks() override;

private:
    void note_pump_end();
    void write_entry();

    uint64_t pumps_ = 0;
    bool ticks_read_ = false;
    std::optional<uint64_t> closed_at_;
    ScriptedMouse scripted_;
    bool demo_loaded_ = false;
    bool close_pending_ = false;
    bool notice_shown_ = false;

    std::function<void(const std::string&)> write_;
    LiveMouse mouse_;                          // as the game's pump leaves it
    MouseScriptEntry last_{0, 0, 0, 0, 0};     // the last entry written
    std::optional<MouseScriptEntry> pending_;  // this pump's, written when it is over
};

// A seed for a game the player did not choose: different from run to run.
uint32_t fresh_seed();

}  // namespace qv
