// The window messages the game cares about, held between the moment the window
// procedure sees them and the moment the game's pump takes them. Plain C++ so
// that it can be checked on any machine.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/platform.h"

namespace qv::win32 {

struct PendingMessages {
    // Room for far more messages than arrive between two pumps, so that the
    // queue is never grown while the game runs.
    static constexpr std::size_t reserved = 64;

    std::vector<WindowMessage> queue;
    std::size_t head = 0;
    // A Paint waits in the queue. A second one would show the surface the first
    // paint has already blanked, so it is folded into the first.
    bool paint_queued = false;
    // A Paint has been handed to the game and the window has not yet been told
    // that its invalid region is painted.
    bool paint_unvalidated = false;

    PendingMessages() { queue.reserve(reserved); }
};

inline void post_message(PendingMessages& pending, WindowMessage message) {
    if (message == WindowMessage::Paint) {
        if (pending.paint_queued) {
            return;
        }
        pending.paint_queued = true;
    }
    pending.queue.push_back(message);
}

// Takes the oldest message; false when the queue is empty.
inline bool take_message(PendingMessages& pending, WindowMessage& message) {
    if (pending.head == pending.queue.size()) {
        // Emptied: start again at the front without giving the memory back.
        pending.queue.clear();
        pending.head = 0;
        return false;
    }
    message = pending.queue[pending.head++];
    if (message == WindowMessage::Paint) {
        pending.paint_queued = false;
        pending.paint_unvalidated = true;
    }
    return true;
}

// True once for every Paint handed out: the caller then validates the window.
inline bool take_validation_due(PendingMessages& pending) {
    const bool due = pending.paint_unvalidated;
    pending.paint_unvalidated = false;
    return due;
}

inline bool has_messages(const PendingMessages& pending) { return pending.head < pending.queue.size(); }

}  // namespace qv::win32
