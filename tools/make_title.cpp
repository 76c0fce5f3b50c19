// Writes the title picture: a 320 x 200, 8-bit, top-down BMP of exactly 65078
// bytes. A nebula glows over deep space, an orange gas giant rises in the
// lower right, two fighters climb past it, and QUORVANER stands across the top
// in bevelled gold. Every colour comes from a ramp in the 256-entry table and
// shading is ordered-dithered along the ramps.
//
// Only +, -, *, / and sqrt are used on doubles, each correctly rounded on its
// own (exact_double.h), so the file comes out byte for byte the same on every
// run and every processor.
//
// Usage: make_title OUT_FILE

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "exact_double.h"
#include "platform/frame.h"

namespace {

constexpr int width = qv::screen_width;
constexpr int height = qv::screen_height;

struct Rgb {
    int r, g, b;
};

struct Stop {
    double at;
    Rgb colour;
};

// A run of palette entries shading smoothly through colour stops.
struct Ramp {
    int first;
    int count;
};

// 0 is pure black: it is what surrounds the picture while it zooms in.
constexpr Ramp space{1, 111};      // navy through indigo, purple and magenta to pink-white
constexpr Ramp planet{112, 48};    // deep brown through orange to pale yellow
constexpr Ramp gold{160, 48};      // bronze through gold to white, for the letters
constexpr Ramp steel{208, 24};     // the fighters' hulls
constexpr Ramp glow{232, 16};      // cyan: atmosphere, canopies and engines
constexpr Ramp starlight{248, 8};  // grey to white

using Table = std::array<Rgb, 256>;

void fill_ramp(Table& table, Ramp ramp, std::initializer_list<Stop> stops) {
    const std::vector<Stop> s(stops);
    for (int i = 0; i < ramp.count; ++i) {
        const double t = static_cast<double>(i) / (ramp.count - 1);
        size_t k = 0;
        while (k + 2 < s.size() && t > s[k + 1].at) ++k;
        const double f = std::clamp((t - s[k].at) / (s[k + 1].at - s[k].at), 0.0, 1.0);
        auto mix = [f](int a, int b) { return static_cast<int>(a + (b - a) * f + 0.5); };
        table[static_cast<size_t>(ramp.first + i)] = {mix(s[k].colour.r, s[k + 1].colour.r),
                                                      mix(s[k].colour.g, s[k + 1].colour.g),
                                                      mix(s[k].colour.b, s[k + 1].colour.b)};
    }
}

Table make_table() {
    Table table{};
    fill_ramp(table, space,
              {{0.0, {0, 2, 10}},
               {0.14, {6, 12, 48}},
               {0.3, {34, 22, 92}},
               {0.5, {96, 30, 138}},
               {0.7, {190, 52, 164}},
               {0.86, {248, 124, 192}},
               {1.0, {255, 232, 244}}});
    fill_ramp(
        table, planet,
        {{0.0, {6, 2, 4}}, {0.22, {64, 20, 12}}, {0.5, {176, 72, 22}}, {0.76, {244, 152, 60}}, {1.0, {255, 238, 176}}});
    fill_ramp(table, gold,
              {{0.0, {34, 14, 4}},
               {0.3, {138, 76, 14}},
               {0.56, {232, 170, 40}},
               {0.8, {255, 232, 124}},
               {1.0, {255, 255, 244}}});
    fill_ramp(table, steel, {{0.0, {8, 10, 18}}, {0.35, {64, 74, 98}}, {0.7, {164, 176, 200}}, {1.0, {244, 248, 255}}});
    fill_ramp(table, glow, {{0.0, {0, 24, 56}}, {0.4, {0, 132, 220}}, {0.75, {140, 236, 255}}, {1.0, {255, 255, 255}}});
    fill_ramp(table, starlight, {{0.0, {72, 76, 96}}, {1.0, {255, 255, 255}}});
    return table;
}

// ---- helpers ----------------------------------------------------------------

uint32_t hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double lattice(int x, int y, uint32_t seed) {
    return static_cast<double>(hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) & 0xFFFFu) / 65535.0;
}

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double value_noise(double x, double y, uint32_t seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const double fx = smooth(x - ix);
    const double fy = smooth(y - iy);
    const double top = lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * fx;
    const double bottom = lattice(ix, iy + 1, seed) + (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * fx;
    return top + (bottom - top) * fy;
}

double fbm(double x, double y, uint32_t seed) {
    double sum = 0.0;
    double amplitude = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < 5; ++octave) {
        sum += value_noise(x, y, seed + static_cast<uint32_t>(octave)) * amplitude;
        total += amplitude;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
        amplitude *= 0.5;
    }
    return sum / total;
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// 4 x 4 ordered dither threshold in [0, 1).
double bayer(int x, int y) {
    static constexpr int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5) / 16.0;
}

struct Picture {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(width * height, 0);

    bool inside(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }
    uint8_t& at(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }

    void shade(int x, int y, Ramp ramp, double t) {
        if (!inside(x, y)) return;
        const int step = static_cast<int>(std::floor(clamp01(t) * (ramp.count - 1) + bayer(x, y)));
        at(x, y) = static_cast<uint8_t>(ramp.first + std::clamp(step, 0, ramp.count - 1));
    }
};

// ---- space and nebula ------------------------------------------------------

void draw_space(Picture& pic) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A streak of gas from the upper left towards the centre, torn up by noise.
            const double along = (x * 0.8 + y * 0.6) / 320.0;
            const double across = (y * 0.8 - x * 0.6 + 40.0) / 100.0;
            const double band = clamp01(1.0 - across * across) * clamp01(1.3 - along);
            const double cloud = fbm(x / 70.0, y / 70.0, 7);
            const double wisps = fbm(x / 24.0, y / 24.0, 31);
            double gas = clamp01((cloud - 0.34) * 2.6) * band;
            gas = gas * (0.65 + 0.55 * wisps);
            const double depth = 0.05 + 0.06 * y / height + 0.04 * fbm(x / 110.0, y / 110.0, 3);
            pic.shade(x, y, space, depth + gas * 1.1);
        }
    }
}

void draw_stars(Picture& pic) {
    uint32_t state = 20240601u;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int n = 0; n < 420; ++n) {
        const int x = static_cast<int>(next() % width);
        const int y = static_cast<int>(next() % height);
        const int brightness = static_cast<int>(next() % 100);
        if (brightness < 80) {
            pic.at(x, y) = static_cast<uint8_t>(starlight.first + brightness % 5);
        } else {
            pic.at(x, y) = static_cast<uint8_t>(starlight.first + starlight.count - 1);
            if (brightness >= 94) {
                // A few bright stars with glints.
                for (int d = 1; d <= 3; ++d) {
                    const uint8_t c = static_cast<uint8_t>(starlight.first + 6 - 2 * d);
                    for (auto [dx, dy] : {std::pair{d, 0}, {-d, 0}, {0, d}, {0, -d}})
                        if (pic.inside(x + dx, y + dy)) pic.at(x + dx, y + dy) = c;
                }
            } else {
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    if (pic.inside(x + dx, y + dy)) pic.at(x + dx, y + dy) = starlight.first + 2;
            }
        }
    }
}

// ---- the gas giant ---------------------------------------------------------

constexpr double planet_x = 262.0;
constexpr double planet_y = 238.0;
constexpr double planet_r = 104.0;

// A triangle wave in [0, 1], period 1: the planet's cloud bands.
double triangle(double v) {
    const double f = v - std::floor(v);
    return f < 0.5 ? f * 2.0 : 2.0 - f * 2.0;
}

void draw_planet(Picture& pic) {
    // Lit from the upper left and a little from the front.
    const double lx = -0.62, ly = -0.55, lz = 0.56;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x + 0.5 - planet_x) / planet_r;
            const double dy = (y + 0.5 - planet_y) / planet_r;
            const double d2 = dx * dx + dy * dy;
            if (d2 < 1.0) {
                const double nz = std::sqrt(1.0 - d2);
                const double light = std::max(0.0, dx * lx + dy * ly + nz * lz);
                // Bands follow latitude, bent a little by turbulence.
                const double swirl = fbm(x / 18.0, y / 7.0, 91);
                const double bands = triangle(dy * 4.2 + swirl * 0.9);
                const double t = 0.04 + light * (0.62 + 0.38 * bands) + 0.1 * (swirl - 0.5) * light;
                pic.shade(x, y, planet, t);
            } else {
                // A thin cyan atmosphere, brightest on the lit rim.
                const double d = std::sqrt(d2);
                const double edge = (d - 1.0) * planet_r;
                if (edge < 7.0) {
                    const double rim = std::max(0.0, (dx * lx + dy * ly) / d);
                    const double fade = 1.0 - edge / 7.0;
                    const double strength = fade * fade * (0.25 + 0.75 * rim);
                    if (strength > bayer(x, y) * 0.9) pic.shade(x, y, glow, strength * 0.85);
                }
            }
        }
    }
}

// ---- fighters ----------------------------------------------------------------

struct Facet {
    double ax, ay, bx, by, cx, cy;
    Ramp ramp;
    double tone;
};

// Seen from behind and above, nose up; units are pixels at scale 1.
const std::vector<Facet> fighter = {
    {-3, -2, -24, 10, -4, 7, steel, 0.62},    // left wing, lit
    {-24, 10, -21, 14, -4, 9, steel, 0.3},    // left wing trailing edge
    {3, -2, 4, 7, 24, 10, steel, 0.36},       // right wing, in shade
    {24, 10, 4, 9, 21, 14, steel, 0.16},      // right wing trailing edge
    {0, -22, -5, 7, 0, 10, steel, 0.86},      // fuselage, lit side
    {0, -22, 0, 10, 5, 7, steel, 0.48},       // fuselage, shaded side
    {0, -12, -2, -3, 2, -3, glow, 0.62},      // canopy
    {-24, 4, -25, 12, -23, 12, steel, 0.95},  // wing-tip guns
    {24, 4, 23, 12, 25, 12, steel, 0.5},
};

double edge_side(double px, double py, double ax, double ay, double bx, double by) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

void draw_fighter(Picture& pic, double cx, double cy, double scale, double cos_a, double sin_a) {
    auto place = [&](double u, double v, double& x, double& y) {
        x = cx + (u * cos_a - v * sin_a) * scale;
        y = cy + (u * sin_a + v * cos_a) * scale;
    };
    // Engine glow behind the fuselage first, so the hull covers its inner half.
    double ex, ey;
    place(0, 12, ex, ey);
    const double glow_r = 7.0 * scale;
    for (int y = static_cast<int>(ey - glow_r); y <= static_cast<int>(ey + glow_r); ++y) {
        for (int x = static_cast<int>(ex - glow_r); x <= static_cast<int>(ex + glow_r); ++x) {
            const double d = std::sqrt((x + 0.5 - ex) * (x + 0.5 - ex) + (y + 0.5 - ey) * (y + 0.5 - ey)) / glow_r;
            if (d < 1.0 && (1.0 - d) > bayer(x, y) * 0.7) pic.shade(x, y, glow, 1.0 - d * 0.9);
        }
    }
    for (const Facet& f : fighter) {
        double ax, ay, bx, by, fx, fy;
        place(f.ax, f.ay, ax, ay);
        place(f.bx, f.by, bx, by);
        place(f.cx, f.cy, fx, fy);
        const double area = edge_side(fx, fy, ax, ay, bx, by);
        const int x0 = static_cast<int>(std::floor(std::min({ax, bx, fx})));
        const int x1 = static_cast<int>(std::ceil(std::max({ax, bx, fx})));
        const int y0 = static_cast<int>(std::floor(std::min({ay, by, fy})));
        const int y1 = static_cast<int>(std::ceil(std::max({ay, by, fy})));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const double e0 = edge_side(px, py, ax, ay, bx, by) * area;
                const double e1 = edge_side(px, py, bx, by, fx, fy) * area;
                const double e2 = edge_side(px, py, fx, fy, ax, ay) * area;
                if (e0 >= 0 && e1 >= 0 && e2 >= 0) {
                    // A soft sheen towards the nose.
                    const double sheen = 0.12 * (1.0 - (py - y0) / (y1 - y0 + 1.0));
                    pic.shade(x, y, f.ramp, f.tone + sheen);
                }
            }
        }
    }
}

// ---- the name ------------------------------------------------------------------

using Letter = std::array<const char*, 10>;

// Bold letters on an 8 x 9 grid; the Q's tail drops into a tenth row.
const std::array<Letter, 9> name = {{
    {".######.", "########", "##....##", "##....##", "##....##", "##..#.##", "##...###", "########", ".#######",
     "......##"},  // Q
    {"##....##", "##....##", "##....##", "##....##", "##....##", "##....##", "##....##", "########", ".######.",
     "........"},  // U
    {".######.", "########", "##....##", "##....##", "##....##", "##....##", "##....##", "########", ".######.",
     "........"},  // O
    {"#######.", "########", "##....##", "##....##", "########", "#######.", "##..##..", "##...##.", "##....##",
     "........"},  // R
    {"##....##", "##....##", "##....##", "##....##", ".##..##.", ".##..##.", "..####..", "..####..", "...##...",
     "........"},  // V
    {".######.", "########", "##....##", "##....##", "########", "########", "##....##", "##....##", "##....##",
     "........"},  // A
    {"##....##", "###...##", "####..##", "##.##.##", "##..####", "##...###", "##....##", "##....##", "##....##",
     "........"},  // N
    {"########", "########", "##......", "##......", "######..", "######..", "##......", "########", "########",
     "........"},  // E
    {"#######.", "########", "##....##", "##....##", "########", "#######.", "##..##..", "##...##.", "##....##",
     "........"},  // R
}};

constexpr int grid_w = 8;
constexpr int grid_h = 10;
constexpr int cell_w = 4;
constexpr int cell_h = 5;
constexpr int letter_w = grid_w * cell_w;
constexpr int letter_gap = 3;
constexpr int name_top = 9;
constexpr int name_left = (width - (9 * letter_w + 8 * letter_gap)) / 2;
constexpr int name_height = 9 * cell_h;  // the Q's tail hangs below

void draw_name(Picture& pic) {
    // Blocky cells, then rounded by blurring and thresholding the mask.
    std::vector<int> cells(width * height, 0);
    for (int k = 0; k < 9; ++k) {
        const int left = name_left + k * (letter_w + letter_gap);
        for (int r = 0; r < grid_h; ++r)
            for (int c = 0; c < grid_w; ++c)
                if (name[static_cast<size_t>(k)][static_cast<size_t>(r)][c] == '#')
                    for (int y = 0; y < cell_h; ++y)
                        for (int x = 0; x < cell_w; ++x)
                            cells[static_cast<size_t>((name_top + r * cell_h + y) * width + left + c * cell_w + x)] = 1;
    }
    auto box = [&](const std::vector<int>& src, int radius) {
        std::vector<int> out(width * height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int sum = 0;
                for (int v = -radius; v <= radius; ++v)
                    for (int u = -radius; u <= radius; ++u) {
                        const int sx = x + u, sy = y + v;
                        if (sx >= 0 && sx < width && sy >= 0 && sy < height)
                            sum += src[static_cast<size_t>(sy * width + sx)];
                    }
                out[static_cast<size_t>(y * width + x)] = sum;
            }
        return out;
    };
    const std::vector<int> soft = box(cells, 2);  // 0..25
    std::vector<int> mask(width * height, 0);
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = soft[i] >= 12 ? 1 : 0;
    const std::vector<int> height_field = box(mask, 2);
    const std::vector<int> halo = box(mask, 2);

    auto m = [&](int x, int y) { return pic.inside(x, y) ? mask[static_cast<size_t>(y * width + x)] : 0; };
    auto h = [&](int x, int y) {
        return pic.inside(x, y) ? height_field[static_cast<size_t>(y * width + x)] / 25.0 : 0.0;
    };

    // A dark rim and a drop shadow so the gold stands out from the nebula.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (m(x, y)) continue;
            if (m(x - 4, y - 4) || m(x - 3, y - 3))
                pic.at(x, y) = 0;
            else if (halo[static_cast<size_t>(y * width + x)] > 0)
                pic.at(x, y) = static_cast<uint8_t>(gold.first);
        }

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!m(x, y)) continue;
            // Chrome: bright sky above a dark horizon line, warm ground below.
            const double v = static_cast<double>(y - name_top) / name_height;
            const double chrome = v < 0.52 ? 0.98 - 0.62 * (v / 0.52) : 0.22 + 0.6 * ((v - 0.52) / 0.48);
            // Bevel: the slope of the rounded height field, lit from the upper left.
            const double slope = (h(x - 1, y) - h(x + 1, y)) + (h(x, y - 1) - h(x, y + 1));
            pic.shade(x, y, gold, chrome + slope * 0.9);
        }
}

// A four-pointed glint, as if the sun caught the chrome.
void draw_glint(Picture& pic, int x, int y, int arm) {
    for (int d = -arm; d <= arm; ++d) {
        const double t = 1.0 - static_cast<double>(d < 0 ? -d : d) / (arm + 1);
        pic.shade(x + d, y, starlight, t);
        pic.shade(x, y + d, starlight, t);
    }
    for (int d = -arm / 3; d <= arm / 3; ++d) {
        pic.shade(x + d, y + d, starlight, 0.6);
        pic.shade(x + d, y - d, starlight, 0.6);
    }
}

std::vector<uint8_t> bmp_file(const Table& table, const Picture& pic) {
    std::vector<uint8_t> out;
    auto u16 = [&out](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto u32 = [&u16](uint32_t v) {
        u16(v & 0xFFFFu);
        u16(v >> 16);
    };
    const uint32_t pixel_offset = 14 + 40 + 1024;
    out.push_back('B');
    out.push_back('M');
    u32(pixel_offset + width * height);
    u32(0);
    u32(pixel_offset);
    u32(40);
    u32(width);
    u32(static_cast<uint32_t>(-height));  // negative: the top row is stored first
    u16(1);
    u16(8);
    u32(0);
    u32(width * height);
    u32(2835);
    u32(2835);
    u32(256);
    u32(0);
    for (const Rgb& c : table) {
        out.push_back(static_cast<uint8_t>(c.b));
        out.push_back(static_cast<uint8_t>(c.g));
        out.push_back(static_cast<uint8_t>(c.r));
        out.push_back(0);
    }
    out.insert(out.end(), pic.pixels.begin(), pic.pixels.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_title OUT_FILE\n");
        return 2;
    }
    if (!exact_double::rounded_as_written()) {
        std::fprintf(stderr, "make_title: built with fused or widened doubles; see tools/CMakeLists.txt\n");
        return 1;
    }
    Picture pic;
    draw_space(pic);
    draw_stars(pic);
    draw_planet(pic);
    // Climbing away to the upper right, one near, one further off.
    draw_fighter(pic, 92.0, 150.0, 1.7, 0.906, 0.423);
    draw_fighter(pic, 150.0, 112.0, 0.9, 0.866, 0.5);
    draw_name(pic);
    draw_glint(pic, name_left + 3, name_top + 3, 7);
    draw_glint(pic, name_left + 7 * (letter_w + letter_gap) + 28, name_top + 2, 5);

    const std::vector<uint8_t> bytes = bmp_file(make_table(), pic);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "make_title: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
