// Helpers shared by the tests: a fresh world on the headless back end, small
// square models, entity-list shortcuts, scratch folders and a back end that
// logs every call the program makes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/random.h"
#include "platform/data_error.h"
#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "world/entity.h"
#include "world/model.h"

namespace qv::testing {

// A square of side 2 * half drawn in one colour, with hit radius `size`.
inline Model square_model(int half, int colour, int size) {
    const std::string h = std::to_string(half);
    const std::string c = std::to_string(colour);
    const std::string text = "size " + std::to_string(size) + " lines 4 points 4 p -" + h + " -" + h + " p " + h +
                             " -" + h + " p " + h + " " + h + " p -" + h + " " + h + " v 0 1 " + c + " v 1 2 " + c +
                             " v 2 3 " + c + " v 3 0 " + c;
    return parse_model(text, "square.obj");
}

// A world as after start-up: small square models, the three starting fighters,
// the default palette active and (unless asked not to) the window open on the
// headless back end.
struct TestWorld {
    HeadlessBackEnd backend;
    std::unique_ptr<Game> game = std::make_unique<Game>();
    // For every picture shown: its palette entry 0 (the flash) and the fake
    // clock, the milliseconds slept so far.
    std::vector<uint16_t> backgrounds;
    std::vector<uint64_t> clock;

    explicit TestWorld(bool open_window = true) {
        Game& g = *game;
        g.window.backend = &backend;
        g.models.tie = square_model(8, 48, 8);
        g.models.bolt = square_model(2, 40, 2);
        g.models.heal = square_model(4, 32, 4);
        g.models.bomb = square_model(3, 44, 3);
        g.models.shield = square_model(4, 51, 4);
        build_starting_list(g.entity_list, &g.models.tie);
        set_default_palette(g.video);
        g.video.active_palette = g.video.default_palette;
        backend.on_present = [this](const PresentedFrame& p) {
            backgrounds.push_back(p.palette[0]);
            clock.push_back(backend.slept_ms);
        };
        if (open_window) create_display_window(g.window);
    }

    Game& operator*() { return *game; }
    Game* operator->() { return game.get(); }
};

inline int count_entities(const EntityList& list) {
    int n = 0;
    for (const Entity* e = list.get(); e != nullptr; e = e->next.get()) ++n;
    return n;
}

// A new entity right after the head, at rest.
inline Entity& add_after_head(EntityList& list, const Model& model, int32_t kind, Vec3 at) {
    insert_after(*list, new_entity(make_instance(&model, at), kind, make_vec3(0, 0, 0), nullptr));
    return *list->next;
}

// A second generator with the game's seed, to tell what the game's draws gave.
struct Twin {
    Random random;
    explicit Twin(uint32_t seed) { seed_random(random, seed); }
    int32_t next() { return next_random(random); }
    // A fighter sent back ahead: x, y, then z at `base` plus 0 to 39.
    void expect_respawn(const Entity& e, int32_t base) {
        EXPECT_EQ(e.x, next() % 40 - 20);
        EXPECT_EQ(e.y, next() % 40 - 20);
        EXPECT_EQ(e.z, base + next() % 40);
    }
};

// The file and line a load reports, or ("", -1) when it loads.
template <typename Load>
std::pair<std::string, int> fault_of(Load load) {
    try {
        load();
    } catch (const DataError& e) {
        return {e.file(), e.line()};
    }
    return {"", -1};
}

// A scratch folder in the build tree for one test, optionally the working
// directory while it lives.
struct Scratch {
    std::filesystem::path dir;
    std::filesystem::path previous = std::filesystem::current_path();
    explicit Scratch(const std::string& name, bool enter = false) : dir(std::filesystem::path(QV_BINARY_DIR) / name) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        if (enter) std::filesystem::current_path(dir);
    }
    ~Scratch() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
};

// The headless back end behind a log of every call the program makes: "pump",
// "close" (the close event handed over), "present", "sleep N", "create",
// "destroy" and the cue and box lines. What comes after "close" is what the
// program did once the player had closed the window.
struct LoggedBackEnd final : ForwardingBackEnd {
    HeadlessBackEnd inner;
    std::vector<std::string> log;

    LoggedBackEnd() : ForwardingBackEnd(inner) {
        inner.trace = [this](const std::string& line) { log.push_back(line); };
    }
    void create_window(const char* title) override {
        log.push_back("create");
        inner.create_window(title);
    }
    void destroy_window() override {
        log.push_back("destroy");
        inner.destroy_window();
    }
    CursorPosition cursor_position() override {
        log.push_back("pump");
        return inner.cursor_position();
    }
    bool next_event(WindowEvent& event) override {
        const bool got = inner.next_event(event);
        if (got && event == WindowEvent::Close) log.push_back("close");
        return got;
    }
    void show_frame(const PresentedFrame& picture) override {
        log.push_back("present");
        inner.show_frame(picture);
    }
    void sleep(uint32_t ms) override {
        log.push_back("sleep " + std::to_string(ms));
        inner.sleep(ms);
    }
};

}  // namespace qv::testing
