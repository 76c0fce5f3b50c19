#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/data_error.h"
#include "platform/frame.h"
#include "test_world.h"
#include "world/entity.h"
#include "world/model.h"
#include "world/render.h"

namespace {

using qv::Entity;
using qv::Model;

const char* const square_text =
    "size 8\nlines 4\npoints 4\np -8 -8\np 8 -8\np 8 8\np -8 8\nv 0 1 48\nv 1 2 48\nv 2 3 48\nv 3 0 48\n";

// size, line_count, then x1 y1 x2 y2 colour of every segment.
std::vector<int32_t> flatten(const Model& m) {
    std::vector<int32_t> out = {m.size, m.line_count};
    for (const qv::ModelLine& l : m.lines) out.insert(out.end(), {l.x1, l.y1, l.x2, l.y2, l.colour});
    return out;
}

std::vector<int32_t> parsed(const std::string& text) { return flatten(qv::parse_model(text, "probe.obj")); }

// The line a fault is reported on, or -1 when the text loads.
int fault_line(const std::string& text) {
    const auto [file, line] = qv::testing::fault_of([&] { qv::parse_model(text, "probe.obj"); });
    EXPECT_TRUE(line == -1 || file == "probe.obj") << file;
    return line;
}

TEST(ModelLoader, ReadsTheExampleInAnyLayoutAndOrder) {
    const std::vector<int32_t> square = {8, 4, -8, -8, 8, -8, 48, 8, -8, 8, 8, 48, 8, 8, -8, 8, 48, -8, 8, -8, -8, 48};
    EXPECT_EQ(parsed(square_text), square);

    std::string one_line = square_text;
    std::replace(one_line.begin(), one_line.end(), '\n', ' ');
    const std::string layouts[] = {
        one_line,
        "\n\n  size\t8\n\n\tlines   4 points\n4\r\np -8\t-8 p 8 -8\n\n p 8 8 p -8 8 v 0 1 48 v\n1\n2\n48\n"
        "v 2 3 48 v 3 0 48",
        // Unknown words of up to seven characters and stray numbers are skipped.
        "square size 8 lines 4 points 4 corners p -8 -8 p 8 -8 p 8 8 p -8 8 1234567 v 0 1 48 edges v 1 2 48 "
        "-5 v 2 3 48 +9 v 3 0 48 sizes Size P V",
    };
    for (const std::string& text : layouts) EXPECT_EQ(parsed(text), square) << text;

    // Colours keep their low eight bits; "size" may come last; a segment may
    // name one point twice.
    EXPECT_EQ(parsed("lines 3 points 2 p 1 2 p -3 4 v 0 1 300 v 1 0 -1 v 0 0 +7 size 5"),
              (std::vector<int32_t>{5, 3, 1, 2, -3, 4, 44, -3, 4, 1, 2, 255, 1, 2, 1, 2, 7}));
    // Points and segments may alternate; each segment sees the points so far.
    EXPECT_EQ(parsed("points 3 lines 2 p 0 0 p 5 -5 v 0 1 31 p -2147483648 2147483647 v 2 1 32 size 1"),
              (std::vector<int32_t>{1, 2, 0, 0, 5, -5, 31, INT32_MIN, INT32_MAX, 5, -5, 32}));
    EXPECT_EQ(fault_line("size 1 lines 1 points 10 p 0 0 v 0 0 1"), -1) << "fewer points than declared";
    // A sign, leading zeros and the ends of 32 bits are whole numbers.
    EXPECT_EQ(parsed("size -2147483648 lines 1 points 2 p +7 -0 p +2147483647 0 v 0 0 007"),
              (std::vector<int32_t>{INT32_MIN, 1, 7, 0, 7, 0, 7}));
}

TEST(ModelLoader, EachFaultNamesItsLine) {
    const struct {
        const char* text;
        int line;  // 0: the file as a whole
    } faults[] = {
        // Keyword tokens have at most seven characters, known or not.
        {"size 8\nsizeable 3\nlines 1 points 1 p 0 0 v 0 0 1", 2},
        {"size 8 lines 1 points 1 p 0 0 v 0 0 1\n\ncockpits", 3},
        // Integers: "%d" syntax, within 32 bits, present (running out blames the last line).
        {"size 8x\nlines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size\n\nabc\nlines 1 points 1 p 0 0 v 0 0 1", 3},
        {"size 1 lines 1 points 1 p 0 0\nv 0 0 -\n", 2},
        {"size 1 lines 1 points 1\np 0 2147483648 v 0 0 1", 2},
        {"size 1 lines 1 points 1 p 0 0\nv 0 0\n\n", 2},
        {"lines 1 points 1 p 0 0 v 0 0 1\nsize", 2},
        // A sign is followed by digits only, and only one sign.
        {"size +-5 lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size -+5 lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size + lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size 0x10 lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size 1e3 lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size -2147483649 lines 1 points 1 p 0 0 v 0 0 1", 1},
        {"size +2147483648 lines 1 points 1 p 0 0 v 0 0 1", 1},
        // size, lines and points exactly once each.
        {"lines 1 points 1 p 0 0 v 0 0 1", 0},
        {"size 1 points 1 p 0 0", 0},
        {"size 1 lines 1", 0},
        {"size 1 lines 1 points 1 p 0 0 v 0 0 1\nsize 2", 2},
        {"size 1 lines 1 points 1\npoints 1 p 0 0 v 0 0 1", 2},
        // Order and counts.
        {"size 1 points 1 p 0 0\nv 0 0 1\nlines 1", 2},         // v before lines
        {"size 1 lines 1\np 0 0\npoints 1 v 0 0 1", 2},         // p before points
        {"size 1 lines 1 points 1 p 0 0\np 1 1\nv 0 0 1", 2},   // more p than points
        {"size 1 lines 1 points 1 p 0 0 v 0 0 1\nv 0 0 1", 2},  // more v than lines
        {"size 1 lines 3 points 1 p 0 0 v 0 0 1\nv 0 0 1", 0},  // fewer v than lines
        {"size 1 lines 25 points 1 p 0 0 v 0 0 1", 0},          // 25 is allowed, 24 are missing
        {"size 1 lines 1 points -1 p 0 0 v 0 0 1", 1},
        {"size 1\nlines\n0\npoints 1 p 0 0 v 0 0 1", 3},
        {"size 1 lines 26 points 1 p 0 0 v 0 0 1", 1},
        // Point indices name a point already given.
        {"size 1 lines 1 points 2 p 0 0\nv 0\n1 1\np 1 1", 3},
        {"size 1 lines 1 points 4 p 0 0 p 1 1 p 2 2 p 3 3\nv 0 4 1", 2},
    };
    for (const auto& f : faults) EXPECT_EQ(fault_line(f.text), f.line) << f.text;
}

// A file of exactly 64 KB loads from disk in the hostile-input tests.
TEST(ModelLoader, FilesOnDisk) {
    EXPECT_EQ(qv::testing::fault_of([] { qv::load_model("no-such-model.obj"); }),
              std::pair(std::string("no-such-model.obj"), 0));
    EXPECT_EQ(qv::testing::fault_of([] { qv::load_model(QV_BINARY_DIR); }).second, 0) << "a folder is no model";
    qv::Models models;
    qv::load_models(models, QV_DATA_DIR);
    EXPECT_GE(models.shield.line_count, 1);
}

std::unique_ptr<Entity> make(int32_t x, int32_t kind = qv::Fighter, std::unique_ptr<Entity> next = nullptr) {
    return qv::new_entity(qv::make_instance(nullptr, qv::make_vec3(x, 0, 0)), kind, qv::make_vec3(0, 0, 0),
                          std::move(next));
}

// Inserting and removing are pinned by the golden replays; releasing a long
// list is not.
TEST(EntityList, ALongListIsReleasedWithoutRecursion) {
    qv::EntityList head = make(0);
    for (int i = 0; i < 300000; ++i) head = make(i, qv::Bolt, std::move(head));
    head.reset();  // would exhaust the stack if each entity released its follower recursively
    EXPECT_EQ(head, nullptr);
}

// Projection itself is pinned pixel for pixel by the golden replays; the table
// is built once, and depths no replay reaches must stay inside it.
TEST(DepthScale, TableEndsAndClamp) {
    // The game's table is typed out as whole numbers; here it is worked out again.
    const qv::DepthScaleTable& table = qv::depth_scale_table();
    for (std::size_t d = 0; d < table.size(); ++d) {
        EXPECT_EQ(table[d], static_cast<int32_t>(std::floor(1024.0L * std::pow(0.97L, static_cast<long double>(d)))))
            << "depth " << d;
    }
    EXPECT_EQ((std::array{qv::depth_scale(-1), qv::depth_scale(16), qv::depth_scale(256)}), (std::array{1024, 628, 0}));
}

std::size_t at(int x, int y) { return static_cast<std::size_t>(y * qv::screen_width + x); }

int lit_count(const qv::FrameBuffer& frame) {
    return static_cast<int>(std::count_if(frame.begin(), frame.end(), [](uint8_t c) { return c != 0; }));
}

Model segment(int x1, int y1, int x2, int y2, int colour, int size) {
    auto s = [](int v) { return std::to_string(v); };
    return qv::parse_model("size " + s(size) + " lines 1 points 2 p " + s(x1) + " " + s(y1) + " p " + s(x2) + " " +
                               s(y2) + " v 0 1 " + s(colour),
                           "segment.obj");
}

TEST(RenderPass, DrawsInListOrderFromTheSteeredCameraAndStopsAtAFigureItCannotDraw) {
    const Model first = segment(-5, 0, 5, 0, 31, 5);
    const Model second = segment(-5, 0, 5, 0, 48, 5);
    Model too_many;
    too_many.line_count = 26;
    too_many.lines.assign(26, qv::ModelLine{-4, -4, 4, 4, 31});
    Model none;

    const Model* const bad_models[] = {&too_many, &none};
    for (const Model* bad : bad_models) {
        qv::FrameBuffer frame{};
        qv::EntityList list = make(0, qv::Fighter, make(0, qv::Bolt, make(0, qv::Fighter, make(-20))));
        const Model* models[] = {&first, &second, bad, &first};
        const Model** model = models;
        for (Entity* e = list.get(); e; e = e->next.get()) {
            e->model = *model++;
            e->z = 40;
            e->screen_x = e->screen_y = e->screen_size = -7;
        }
        qv::render_entities(frame, list, qv::camera_position(4, -2, 40));

        // Depth 0 from the camera at (-4, 2): centre (180, 90), the segment 20 pixels either side.
        const Entity& head = *list;
        EXPECT_EQ((std::array<int32_t, 3>{head.screen_x, head.screen_y, head.screen_size}),
                  (std::array<int32_t, 3>{180, 90, 20}));
        // The second entity overwrites the first; the pass ends at the third.
        EXPECT_EQ(frame[at(160, 90)], 48);
        EXPECT_EQ(frame[at(200, 90)], 48);
        EXPECT_EQ(frame[at(180, 90)], 44);
        EXPECT_EQ(lit_count(frame), 41);
        const Entity& stopped = *head.next->next;
        EXPECT_EQ((std::array<int32_t, 4>{stopped.screen_x, stopped.screen_size, stopped.next->screen_x,
                                          stopped.next->screen_y}),
                  (std::array<int32_t, 4>{-7, -7, -7, -7}));
    }
}

// A far figure is drawn as its segments' ends alone; at every depth, across
// the screen's edges and for figures with long, short, negative and very
// large coordinates, that must light exactly what walking every segment does.
TEST(RenderPass, FarFiguresLightWhatTheFullWalkLights) {
    std::vector<Model> models = {qv::load_model("tie.obj"), qv::load_model("bolt.obj"), segment(-1, 0, 0, 1, 31, 1),
                                 segment(-300, 7, 299, -8, 12, 5), segment(8421504, -3, 8421505, -2, 40, 5)};
    EXPECT_EQ(models[0].longest_run, 28);
    EXPECT_EQ(models.back().longest_run, qv::unknown_run) << "coordinates this large may wrap when scaled";
    for (const Model& model : models) {
        Model walked = model;
        walked.longest_run = qv::unknown_run;  // never taken for far
        for (int32_t depth = -2; depth <= 257; ++depth) {
            for (const int32_t x : {0, 40, -330, 330}) {
                for (const int32_t y : {0, -205, 205}) {
                    qv::FrameBuffer far{};
                    qv::FrameBuffer full{};
                    const std::unique_ptr<Entity> a = make(x);
                    const std::unique_ptr<Entity> b = make(x);
                    a->model = &model;
                    b->model = &walked;
                    a->y = b->y = y;
                    a->z = b->z = depth;
                    qv::render_entity(far, *a, qv::camera_position(0, 0, 0));
                    qv::render_entity(full, *b, qv::camera_position(0, 0, 0));
                    ASSERT_EQ(far, full) << "depth " << depth << " at " << x << ", " << y << " model "
                                         << model.lines[0].x1;
                }
            }
        }
    }
}

}  // namespace
