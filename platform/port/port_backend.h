// The port's own layer around any back end: a fixed seed, recording the session
// as a mouse script, and playing a script back in the window. The game sees the
// same calls it would see without it; only what the player asked for changes.
#pragma once

#include <cstdint>
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
    // Keeps every pump's mouse for recording_text().
    bool recording = false;
    // Replaces the player's mouse by this script; the window's close still counts.
    std::optional<std::vector<MouseScriptEntry>> demo;

    // The session so far as a mouse script that quorvaner-replay replays: a
    // "# args:" line with the seed (and the pump count when the player closed
    // the window), then one entry per change of the mouse.
    std::string recording_text() const;

    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    uint32_t ticks() override;

private:
    void note_pump_end();

    uint64_t pumps_ = 0;
    std::optional<uint32_t> ticks_read_;
    std::optional<uint64_t> closed_at_;
    ScriptedMouse scripted_;
    bool demo_loaded_ = false;
    bool close_pending_ = false;

    // The mouse as the game's pump leaves it, and the entries so far.
    LiveMouse mouse_;
    std::vector<MouseScriptEntry> entries_;
};

// The seed in a script's "# args:" line ("--seed N"), if it has one.
std::optional<uint32_t> script_seed(const std::string& text);

}  // namespace qv
