// Writes the glyph file: 13 glyphs of 8 x 8 bytes, row by row, 1 for a lit
// pixel and 0 for a clear one. Glyphs 0-9 are the score digits, 11 the
// spare-life ship; 10 (a minus sign) and 12 (a small star) are spares.
//
// Usage: make_glyphs OUT_FILE

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

using Glyph = std::array<const char*, 8>;

// '#' is lit. The digits are six pixels wide with a clear column on each side,
// so a row of them reads with a two-pixel gap at 1x.
constexpr std::array<Glyph, 13> glyphs = {{
    {" ####   ", "##  ##  ", "## ###  ", "######  ", "### ##  ", "##  ##  ", " ####   ", "        "},  // 0
    {"  ##    ", " ###    ", "####    ", "  ##    ", "  ##    ", "  ##    ", "######  ", "        "},  // 1
    {" ####   ", "##  ##  ", "    ##  ", "  ###   ", " ##     ", "##      ", "######  ", "        "},  // 2
    {" ####   ", "##  ##  ", "    ##  ", "  ###   ", "    ##  ", "##  ##  ", " ####   ", "        "},  // 3
    {"   ###  ", "  ####  ", " ## ##  ", "##  ##  ", "######  ", "    ##  ", "    ##  ", "        "},  // 4
    {"######  ", "##      ", "#####   ", "    ##  ", "    ##  ", "##  ##  ", " ####   ", "        "},  // 5
    {"  ###   ", " ##     ", "##      ", "#####   ", "##  ##  ", "##  ##  ", " ####   ", "        "},  // 6
    {"######  ", "    ##  ", "   ##   ", "  ##    ", "  ##    ", "  ##    ", "  ##    ", "        "},  // 7
    {" ####   ", "##  ##  ", "##  ##  ", " ####   ", "##  ##  ", "##  ##  ", " ####   ", "        "},  // 8
    {" ####   ", "##  ##  ", "##  ##  ", " #####  ", "    ##  ", "   ##   ", " ###    ", "        "},  // 9
    {"        ", "        ", "        ", " #####  ", " #####  ", "        ", "        ", "        "},  // 10 minus
    {"   #    ", "   #    ", "  ###   ", "# ### # ", "####### ", "## # ## ", "#  #  # ", "        "},  // 11 ship
    {"   #    ", "   #    ", "# ### # ", " #####  ", "  ###   ", " ## ##  ", " #   #  ", "        "},  // 12 star
}};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_glyphs OUT_FILE\n");
        return 2;
    }
    std::array<char, 13 * 64> bytes{};
    for (size_t k = 0; k < glyphs.size(); ++k) {
        for (size_t r = 0; r < 8; ++r) {
            const char* row = glyphs[k][r];
            for (size_t j = 0; j < 8; ++j) bytes[64 * k + 8 * r + j] = row[j] == '#' ? 1 : 0;
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << "make_glyphs: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
