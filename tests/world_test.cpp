#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/frame.h"
#include "world/data_error.h"
#include "world/entity.h"
#include "world/model.h"
#include "world/render.h"

namespace {

using qv::Entity;
using qv::Model;

const char* const square_text =
    "size 8\n"
    "lines 4\n"
    "points 4\n"
    "p -8 -8\n"
    "p 8 -8\n"
    "p 8 8\n"
    "p -8 8\n"
    "v 0 1 48\n"
    "v 1 2 48\n"
    "v 2 3 48\n"
    "v 3 0 48\n";

bool same_model(const Model& a, const Model& b) {
    if (a.size != b.size || a.line_count != b.line_count || a.lines.size() != b.lines.size()) return false;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        const qv::ModelLine& p = a.lines[i];
        const qv::ModelLine& q = b.lines[i];
        if (p.x1 != q.x1 || p.y1 != q.y1 || p.x2 != q.x2 || p.y2 != q.y2 || p.colour != q.colour) return false;
    }
    return true;
}

// The line a fault is reported on, or -1 when the text loads.
int fault_line(const std::string& text) {
    try {
        qv::parse_model(text, "probe.obj");
    } catch (const qv::DataError& e) {
        EXPECT_EQ(e.file(), "probe.obj");
        EXPECT_FALSE(e.reason().empty());
        return e.line();
    }
    return -1;
}

const qv::ModelLine& line_of(const Model& m, std::size_t i) {
    return m.lines.at(i);
}

using Ends = std::array<int32_t, 4>;

Ends ends(const qv::ModelLine& l) {
    return {l.x1, l.y1, l.x2, l.y2};
}

TEST(ModelLoader, ReadsTheExampleSquare) {
    const Model m = qv::parse_model(square_text, "square.obj");
    EXPECT_EQ(m.line_count, 4);
    EXPECT_EQ(m.size, 8);
    ASSERT_EQ(m.lines.size(), 4u);
    EXPECT_EQ(ends(line_of(m, 0)), (Ends{-8, -8, 8, -8}));
    EXPECT_EQ(ends(line_of(m, 3)), (Ends{-8, 8, -8, -8}));
    for (const qv::ModelLine& l : m.lines) EXPECT_EQ(l.colour, 48);
}

TEST(ModelLoader, LayoutAndStrayWordsDoNotMatter) {
    const Model reference = qv::parse_model(square_text, "square.obj");

    std::string one_line = square_text;
    for (char& c : one_line) {
        if (c == '\n') c = ' ';
    }
    EXPECT_TRUE(same_model(qv::parse_model(one_line, "a.obj"), reference));

    const char* spread =
        "\n\n  size\t8\n\n\tlines   4 points\n4\r\np -8\t-8 p 8 -8\n\n p 8 8 p -8 8 v 0 1 48 v\n1\n2\n48\n"
        "v 2 3 48 v 3 0 48";
    EXPECT_TRUE(same_model(qv::parse_model(spread, "b.obj"), reference));

    const char* commented =
        "square size 8 lines 4 points 4 corners p -8 -8 p 8 -8 p 8 8 p -8 8 1234567 v 0 1 48 edges v 1 2 48 "
        "-5 v 2 3 48 +9 v 3 0 48 sizes Size P V";
    EXPECT_TRUE(same_model(qv::parse_model(commented, "c.obj"), reference));
}

TEST(ModelLoader, ColoursAndEntryOrder) {
    const Model colours = qv::parse_model(
        "lines 3 points 2 p 1 2 p -3 4 v 0 1 300 v 1 0 -1 v 0 0 +7 size 5", "colours.obj");
    EXPECT_EQ(colours.size, 5);  // "size" may come last
    EXPECT_EQ(line_of(colours, 0).colour, 44);   // 300 keeps its low eight bits
    EXPECT_EQ(line_of(colours, 1).colour, 255);  // so does -1
    EXPECT_EQ(line_of(colours, 2).colour, 7);
    // A segment may name one point twice: both ends equal.
    EXPECT_EQ(ends(line_of(colours, 2)), (Ends{1, 2, 1, 2}));
    EXPECT_EQ(ends(line_of(colours, 1)), (Ends{-3, 4, 1, 2}));

    // Points and segments may alternate; each segment sees the points so far.
    const Model alternating = qv::parse_model(
        "points 3 lines 2 p 0 0 p 5 -5 v 0 1 31 p -2147483648 2147483647 v 2 1 32 size 1", "alt.obj");
    EXPECT_EQ(ends(line_of(alternating, 0)), (Ends{0, 0, 5, -5}));
    EXPECT_EQ(ends(line_of(alternating, 1)), (Ends{-2147483647 - 1, 2147483647, 5, -5}));
    EXPECT_EQ(line_of(alternating, 1).colour, 32);

    // Fewer points than declared is fine.
    EXPECT_EQ(fault_line("size 1 lines 1 points 10 p 0 0 v 0 0 1"), -1);
}

TEST(ModelLoader, EachFaultNamesItsLine) {
    // Keyword tokens: at most seven characters, whether known or not.
    EXPECT_EQ(fault_line("size 8\nsizeable 3\nlines 1 points 1 p 0 0 v 0 0 1"), 2);
    EXPECT_EQ(fault_line("size 8 lines 1 points 1 p 0 0 v 0 0 1\n\ncockpits"), 3);

    // Integers: "%d" syntax, within 32 bits, present.
    EXPECT_EQ(fault_line("size 8x\nlines 1 points 1 p 0 0 v 0 0 1"), 1);
    EXPECT_EQ(fault_line("size\n\nabc\nlines 1 points 1 p 0 0 v 0 0 1"), 3);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1 p 0 0\nv 0 0 -\n"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1\np 0 2147483648 v 0 0 1"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1 p 0 0\nv 0 0\n\n"), 2);  // ran out: the last line
    EXPECT_EQ(fault_line("lines 1 points 1 p 0 0 v 0 0 1\nsize"), 2);

    // Required keywords, once each.
    EXPECT_EQ(fault_line("lines 1 points 1 p 0 0 v 0 0 1"), 0);
    EXPECT_EQ(fault_line("size 1 points 1 p 0 0"), 0);
    EXPECT_EQ(fault_line("size 1 lines 1"), 0);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1 p 0 0 v 0 0 1\nsize 2"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1\npoints 1 p 0 0 v 0 0 1"), 2);

    // Order and counts.
    EXPECT_EQ(fault_line("size 1 points 1 p 0 0\nv 0 0 1\nlines 1"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1\np 0 0\npoints 1 v 0 0 1"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1 p 0 0\np 1 1\nv 0 0 1"), 2);
    EXPECT_EQ(fault_line("size 1 lines 1 points 1 p 0 0 v 0 0 1\nv 0 0 1"), 2);
    EXPECT_EQ(fault_line("size 1 lines 3 points 1 p 0 0 v 0 0 1\nv 0 0 1"), 0);
    EXPECT_EQ(fault_line("size 1 lines 1 points -1 p 0 0 v 0 0 1"), 1);
    EXPECT_EQ(fault_line("size 1\nlines\n0\npoints 1 p 0 0 v 0 0 1"), 3);
    EXPECT_EQ(fault_line("size 1 lines 26 points 1 p 0 0 v 0 0 1"), 1);
    EXPECT_EQ(fault_line("size 1 lines 25 points 1 p 0 0 v 0 0 1"), 0);  // the other 24 are missing

    // Point indices name a point already given.
    EXPECT_EQ(fault_line("size 1 lines 1 points 2 p 0 0\nv 0\n1 1\np 1 1"), 3);
    EXPECT_EQ(fault_line("size 1 lines 1 points 4 p 0 0 p 1 1 p 2 2 p 3 3\nv 0 4 1"), 2);
}

TEST(ModelLoader, ReadsFilesAndReportsMissingOnes) {
    try {
        qv::load_model("no-such-model.obj");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const qv::DataError& e) {
        EXPECT_EQ(e.file(), "no-such-model.obj");
        EXPECT_EQ(e.line(), 0);
    }

    const std::string path = std::string(QV_BINARY_DIR) + "/world_test_square.obj";
    {
        std::ofstream out(path, std::ios::binary);
        out << square_text;
    }
    EXPECT_TRUE(same_model(qv::load_model(path), qv::parse_model(square_text, "square.obj")));
    std::remove(path.c_str());

    EXPECT_THROW(qv::load_model(QV_BINARY_DIR), qv::DataError);  // a folder is no model
}

TEST(ModelLoader, CommittedModelsAreDrawableInPaletteColours) {
    const std::set<int> shown = {1, 12, 15, 31, 32, 36, 40, 44, 48, 51, 52};
    for (const char* name : {"tie.obj", "bolt.obj", "heal.obj", "bomb.obj", "shield.obj"}) {
        SCOPED_TRACE(name);
        const Model m = qv::load_model(std::string(QV_DATA_DIR) + "/" + name);
        EXPECT_GE(m.line_count, 1);
        EXPECT_LE(m.line_count, 25);
        EXPECT_EQ(m.lines.size(), static_cast<std::size_t>(m.line_count));
        int extent = 0;
        for (const qv::ModelLine& l : m.lines) {
            EXPECT_TRUE(shown.count(l.colour)) << "colour " << int{l.colour};
            for (int c : {l.x1, l.y1, l.x2, l.y2}) extent = std::max(extent, c < 0 ? -c : c);
        }
        // The hit square should cover most of the figure and not much more.
        EXPECT_GE(m.size * 2, extent);
        EXPECT_LE(m.size, extent);
    }

    qv::Models models;
    qv::load_models(models);  // tests run in the data folder
    EXPECT_GE(models.tie.line_count, 1);
    EXPECT_GE(models.shield.line_count, 1);
}

std::unique_ptr<Entity> make(int32_t x, int32_t kind = qv::Fighter, std::unique_ptr<Entity> next = nullptr) {
    return qv::new_entity(qv::make_instance(nullptr, qv::make_vec3(x, 0, 0)), kind, qv::make_vec3(0, 0, 0),
                          std::move(next));
}

std::vector<int32_t> walk_xs(const Entity* head) {
    std::vector<int32_t> xs;
    for (const Entity* e = head; e; e = e->next.get()) xs.push_back(e->x);
    return xs;
}

TEST(EntityList, NewEntityCopiesInstanceKindAndVelocity) {
    const Model m = qv::parse_model(square_text, "square.obj");
    auto tail = make(99);
    Entity* tail_ptr = tail.get();
    auto e = qv::new_entity(qv::make_instance(&m, qv::make_vec3(1, -2, 3)), qv::Bolt, qv::make_vec3(4, 5, -1),
                            std::move(tail));
    EXPECT_EQ(e->model, &m);
    EXPECT_EQ(e->x, 1);
    EXPECT_EQ(e->y, -2);
    EXPECT_EQ(e->z, 3);
    EXPECT_EQ(e->kind, qv::Bolt);
    EXPECT_EQ(e->dx, 4);
    EXPECT_EQ(e->dy, 5);
    EXPECT_EQ(e->dz, -1);
    EXPECT_EQ(e->fire_cooldown, 0);
    EXPECT_EQ(e->next.get(), tail_ptr);
    EXPECT_EQ(make(0, qv::ShieldPickup)->fire_cooldown, 0);
}

TEST(EntityList, InsertAndRemove) {
    qv::EntityList head = make(1, qv::Fighter, make(2, qv::Fighter, make(3)));

    // On the tail, the new entity becomes the tail.
    Entity* tail = head->next->next.get();
    qv::insert_after(*tail, make(4));
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(tail->next->next, nullptr);

    // Two pickups after the head in successive frames: the later one is second.
    qv::insert_after(*head, make(10, qv::RepairPickup));
    qv::insert_after(*head, make(11, qv::ShieldPickup));
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 11, 10, 2, 3, 4}));

    // A bolt fired by the fighter at walk position k is at k + 1, whether it was
    // built with the fighter's follower or without one.
    Entity* fighter = head->next->next->next.get();  // x 2, position 4
    qv::insert_after(*fighter, make(20, qv::Bolt));
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 11, 10, 2, 20, 3, 4}));
    Entity* last_fighter = fighter->next->next.get();  // x 3
    last_fighter->next = make(21, qv::Bolt, std::move(last_fighter->next));
    qv::insert_after(*fighter, make(22, qv::Bolt, std::move(fighter->next)));
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 11, 10, 2, 22, 20, 3, 21, 4}));

    // Removing in the middle links across; removing the tail leaves its
    // predecessor as the tail.
    qv::remove_after(*head);
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 10, 2, 22, 20, 3, 21, 4}));
    Entity* before_tail = head.get();
    while (before_tail->next->next) before_tail = before_tail->next.get();
    qv::remove_after(*before_tail);
    EXPECT_EQ(before_tail->next, nullptr);
    EXPECT_EQ(walk_xs(head.get()), (std::vector<int32_t>{1, 10, 2, 22, 20, 3, 21}));
}

TEST(EntityList, ReleasingALongListDoesNotRecurse) {
    qv::EntityList head = make(0);
    for (int i = 1; i < 300000; ++i) head = make(i, qv::Bolt, std::move(head));
    EXPECT_EQ(head->x, 299999);
    head.reset();  // would exhaust the stack if each entity released its follower recursively
    EXPECT_EQ(head, nullptr);
}

TEST(EntityList, StartingListHoldsThreeFighters) {
    const Model tie = qv::parse_model(square_text, "tie.obj");
    qv::EntityList list = make(77);
    qv::build_starting_list(list, &tie);
    std::vector<const Entity*> walked;
    for (const Entity* e = list.get(); e; e = e->next.get()) walked.push_back(e);
    ASSERT_EQ(walked.size(), 3u);
    const int32_t expected[3][3] = {{-24, -24, 200}, {10, 10, 200}, {10, 10, 200}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(walked[i]->x, expected[i][0]);
        EXPECT_EQ(walked[i]->y, expected[i][1]);
        EXPECT_EQ(walked[i]->z, expected[i][2]);
        EXPECT_EQ(walked[i]->kind, qv::Fighter);
        EXPECT_EQ(walked[i]->model, &tie);
        EXPECT_EQ(walked[i]->dx | walked[i]->dy | walked[i]->dz, 0);
        EXPECT_EQ(walked[i]->fire_cooldown, 0);
    }
}

TEST(DepthScale, TableRowsAndClamp) {
    const struct {
        int depth;
        int32_t entry;
    } rows[] = {{0, 1024}, {1, 993},  {2, 963},  {10, 755}, {15, 648}, {16, 628}, {45, 260}, {46, 252}, {50, 223},
                {100, 48}, {150, 10}, {180, 4},  {200, 2},  {205, 1},  {227, 1},  {228, 0},  {255, 0}};
    const qv::DepthScaleTable& table = qv::depth_scale_table();
    for (const auto& row : rows) {
        EXPECT_EQ(table[static_cast<std::size_t>(row.depth)], row.entry) << "depth " << row.depth;
        EXPECT_EQ(qv::depth_scale(row.depth), row.entry) << "depth " << row.depth;
    }
    EXPECT_EQ(table[204], 2);  // 205 is the first depth at 1

    EXPECT_EQ(qv::depth_scale(-1), 1024);
    EXPECT_EQ(qv::depth_scale(256), 0);
}

std::size_t at(int x, int y) {
    return static_cast<std::size_t>(y * qv::screen_width + x);
}

int lit_count(const qv::FrameBuffer& frame) {
    int n = 0;
    for (uint8_t c : frame) n += c != 0;
    return n;
}

Model single_segment(int x1, int y1, int x2, int y2, int colour, int size) {
    return qv::parse_model("size " + std::to_string(size) + " lines 1 points 2 p " + std::to_string(x1) + " " +
                               std::to_string(y1) + " p " + std::to_string(x2) + " " + std::to_string(y2) +
                               " v 0 1 " + std::to_string(colour),
                           "segment.obj");
}

TEST(Projection, CentreMovesLinearlyWithDepth) {
    const Model dot = single_segment(0, 0, 0, 0, 31, 8);
    const qv::Vec3 camera = qv::make_vec3(0, 0, 0);
    qv::FrameBuffer frame{};
    Entity e;
    e.model = &dot;

    const struct {
        int32_t x, y, z;
        int32_t sx, sy;
    } cases[] = {
        {37, -55, 200, 160, 100},  // every entity at depth 200 sits at the centre
        {-1, 0, 100, 158, 100},    // (100 * -1) / 40 truncates to -2
        {1, 0, 100, 162, 100},
        {20, 0, 220, 150, 100},  // beyond 200 the offset flips sides
        {0, 8, 0, 160, 140},     // offsets are multiplied by 5 at depth 0
        {-3, -4, 16, 147, 82},   // 184 * -3 / 40 = -13, 184 * -4 / 40 = -18
    };
    for (const auto& c : cases) {
        e.x = c.x;
        e.y = c.y;
        e.z = c.z;
        qv::render_entity(frame, e, camera);
        EXPECT_EQ(e.screen_x, c.sx) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(e.screen_y, c.sy) << c.x << "," << c.y << "," << c.z;
    }

    // screen_size is size * scale >> 8: 8 * 628 >> 8 at depth 16, 8 * 48 >> 8 at 100.
    e.x = e.y = 0;
    e.z = 16;
    qv::render_entity(frame, e, camera);
    EXPECT_EQ(e.screen_size, 19);
    e.z = 100;
    qv::render_entity(frame, e, camera);
    EXPECT_EQ(e.screen_size, 1);
    e.z = 228;
    qv::render_entity(frame, e, camera);
    EXPECT_EQ(e.screen_size, 0);

    // The camera's offset is subtracted: with the camera at x -4 (steering 4),
    // an entity at x 0 and depth 0 is drawn at 160 + 5 * 4.
    e.z = 50;
    qv::render_entity(frame, e, qv::make_vec3(-4, 0, 50));
    EXPECT_EQ(e.screen_x, 180);
    EXPECT_EQ(e.screen_y, 100);
}

TEST(Projection, FigureScalesThroughTheTable) {
    const qv::Vec3 camera = qv::make_vec3(0, 0, 0);
    {
        // Depth 0: four pixels per unit, model y drawn upwards.
        const Model diagonal = single_segment(-10, -10, 10, 10, 31, 10);
        qv::FrameBuffer frame{};
        Entity e;
        e.model = &diagonal;
        qv::render_entity(frame, e, camera);
        EXPECT_EQ(frame[at(200, 60)], 31);
        EXPECT_EQ(frame[at(120, 140)], 31);
        EXPECT_EQ(frame[at(160, 100)], 44);  // the centre dot covers the segment
        EXPECT_EQ(frame[at(120, 60)], 0);
        EXPECT_EQ(frame[at(200, 140)], 0);
        EXPECT_EQ(lit_count(frame), 81);
    }
    {
        // Depth 100, scale 48: the shift rounds toward minus infinity, so -1
        // gives -1 and 1 gives 0; -20 in y gives -4 and is drawn below.
        const Model left = single_segment(-1, 20, -1, 20, 40, 1);
        const Model right = single_segment(1, -20, 1, -20, 48, 1);
        qv::FrameBuffer frame{};
        Entity a;
        a.model = &left;
        a.z = 100;
        Entity b;
        b.model = &right;
        b.z = 100;
        qv::render_entity(frame, a, camera);
        qv::render_entity(frame, b, camera);
        EXPECT_EQ(frame[at(159, 97)], 40);
        EXPECT_EQ(frame[at(160, 104)], 48);
        EXPECT_EQ(frame[at(160, 100)], 44);
        EXPECT_EQ(lit_count(frame), 3);
    }
    {
        // From depth 228 the scale is 0: only the yellow centre shows.
        const Model big = single_segment(-40, -40, 40, 30, 31, 40);
        qv::FrameBuffer frame{};
        Entity e;
        e.model = &big;
        e.x = 30;
        e.z = 228;
        qv::render_entity(frame, e, camera);
        EXPECT_EQ(e.screen_x, 139);  // 160 + (-28 * 30) / 40
        EXPECT_EQ(lit_count(frame), 1);
        EXPECT_EQ(frame[at(e.screen_x, 100)], 44);
    }
    {
        // A centre off the picture draws no dot, and the segments are clipped
        // pixel by pixel.
        const Model bar = single_segment(-30, 0, 30, 0, 32, 30);
        qv::FrameBuffer frame{};
        Entity e;
        e.model = &bar;
        e.x = -34;  // cx = 160 - 170 = -10
        qv::render_entity(frame, e, camera);
        EXPECT_EQ(e.screen_x, -10);
        for (int x = 0; x < qv::screen_width; ++x) EXPECT_EQ(frame[at(x, 100)], x <= 110 ? 32 : 0) << x;
        EXPECT_EQ(lit_count(frame), 111);
    }
}

TEST(RenderPass, DrawsInListOrderFromTheSteeredCamera) {
    qv::Game g;
    const Model first = single_segment(-5, 0, 5, 0, 31, 5);
    const Model second = single_segment(-5, 0, 5, 0, 48, 5);
    g.entity_list = make(0, qv::Fighter, make(0, qv::Bolt));
    g.entity_list->model = &first;
    g.entity_list->next->model = &second;
    g.entity_list->z = 40;
    g.entity_list->next->z = 40;
    g.state.camera_z = 40;
    g.state.steer_x = 4;
    g.state.steer_y = -2;
    qv::render_entities(g);
    EXPECT_EQ(g.entity_list->screen_x, 180);
    EXPECT_EQ(g.entity_list->screen_y, 90);
    // The later entity overwrites the earlier one.
    EXPECT_EQ(g.video.frame[at(170, 90)], 48);
    EXPECT_EQ(g.video.frame[at(190, 90)], 48);
    EXPECT_EQ(g.video.frame[at(180, 90)], 44);
}

TEST(RenderPass, StopsAtAFigureItCannotDraw) {
    const Model square = qv::parse_model(square_text, "square.obj");
    Model too_many;
    too_many.line_count = 26;
    too_many.lines.assign(26, qv::ModelLine{-4, -4, 4, 4, 31});
    Model none;

    for (const Model* bad : {&too_many, &none}) {
        qv::Game g;
        g.entity_list = make(0, qv::Fighter, make(0, qv::Fighter, make(0)));
        Entity& head = *g.entity_list;
        Entity& middle = *head.next;
        Entity& last = *middle.next;
        head.model = &square;
        middle.model = bad;
        last.model = &square;
        for (Entity* e : {&head, &middle, &last}) {
            e->z = 100;
            e->screen_x = e->screen_y = e->screen_size = -7;
        }
        qv::render_entities(g);
        EXPECT_EQ(head.screen_x, 160);
        EXPECT_EQ(head.screen_size, 1);
        EXPECT_EQ(middle.screen_x, -7);
        EXPECT_EQ(middle.screen_size, -7);
        EXPECT_EQ(last.screen_y, -7);
        // Only the head: at scale 48 the corners +-8 become 1 and -2, a 4 x 4
        // outline of 12 pixels, with the dot inside it.
        EXPECT_EQ(lit_count(g.video.frame), 13);
        EXPECT_EQ(g.video.frame[at(158, 102)], 48);
        EXPECT_EQ(g.video.frame[at(161, 99)], 48);
        EXPECT_EQ(g.video.frame[at(160, 100)], 44);
    }
}

}  // namespace
