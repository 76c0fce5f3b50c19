// Wireframe models: flat figures of coloured segments with a hit radius, read
// from small text files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The most segments a figure may have: the renderer stops at a model with more.
inline constexpr int32_t max_model_lines = 25;

struct ModelLine {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    uint8_t colour = 0;
};

// No longest run known: the renderer then never takes a figure for a far one.
inline constexpr int64_t unknown_run = INT64_MAX;

struct Model {
    std::vector<ModelLine> lines;  // line_count records
    int32_t line_count = 0;
    int32_t size = 0;  // hit radius in model units
    // The most any segment runs along x or along y, in model units, as the
    // loader found it; left unknown for a figure whose coordinates are too
    // large for the renderer's arithmetic to keep its order.
    int64_t longest_run = unknown_run;
};

// The five figures the game loads at start, in this order.
struct Models {
    Model tie;
    Model bolt;
    Model heal;
    Model bomb;  // loaded with the others, never given to an entity
    Model shield;
};

// Reads a model file from the working directory. Throws DataError naming the
// file, the line and the fault for anything the game cannot draw; a file over
// 64 KB is refused before it is parsed.
Model load_model(const std::string& file_name);

// The same, from text already in memory; file_name is used in messages only.
Model parse_model(std::string_view text, const std::string& file_name);

// What Model::longest_run holds for these segments.
int64_t longest_run(const std::vector<ModelLine>& lines);

// Loads tie, bolt, heal, bomb and shield from "<name>.obj" in `folder` (empty:
// the working directory), in that order.
void load_models(Models& models, const std::string& folder);

}  // namespace qv
