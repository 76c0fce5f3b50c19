// Writes the program icons from the title picture: the big fighter climbing out
// of the nebula, cropped square, shown through the game's 15-bit colours, with
// rounded corners. One PNG per size (quorvaner-NxN.png) and quorvaner.ico
// holding every size as a PNG-compressed entry.
//
// Only integer arithmetic, so the files come out byte for byte the same on
// every run. Usage: make_icons TITLE_PICTURE OUT_DIR
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "front/title.h"
#include "platform/frame.h"

namespace {

// The crop of the 320 x 200 title picture: the whole near fighter and its engine glow.
constexpr int crop_x = 40;
constexpr int crop_y = 104;
constexpr int crop_size = 92;
constexpr int icon_sizes[] = {16, 32, 48, 64, 128, 256};
// Corner radius as a fraction of the icon's side, in 1/64ths.
constexpr int corner_64ths = 9;
// Sub-samples per pixel side for the anti-aliased corners.
constexpr int corner_samples = 4;

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

using Image = std::vector<Rgba>;  // size x size, row-major

uint8_t widen(uint32_t c5) { return static_cast<uint8_t>((c5 << 3) | (c5 >> 2)); }

// The crop as the game shows it: each index through the picture's colour table
// turned into 15 bits, each channel widened back to 8.
std::vector<Rgba> crop_pixels(const std::vector<uint8_t>& picture) {
    qv::Palette palette{};
    qv::title_palette(picture, palette);
    std::vector<Rgba> crop(static_cast<size_t>(crop_size * crop_size));
    for (int y = 0; y < crop_size; ++y) {
        for (int x = 0; x < crop_size; ++x) {
            const size_t at =
                static_cast<size_t>(qv::title_pixels_offset + (crop_y + y) * qv::screen_width + crop_x + x);
            const uint16_t c = palette[picture[at]];
            crop[static_cast<size_t>(y * crop_size + x)] = {widen((c >> 10) & 31), widen((c >> 5) & 31), widen(c & 31),
                                                            255};
        }
    }
    return crop;
}

// Area-weighted resampling: output pixel o covers [o * crop_size, (o + 1) *
// crop_size) and source pixel s covers [s * size, (s + 1) * size) on a common
// axis, so every weight is an exact integer.
int overlap(int a0, int a1, int b0, int b1) {
    const int lo = a0 > b0 ? a0 : b0;
    const int hi = a1 < b1 ? a1 : b1;
    return hi > lo ? hi - lo : 0;
}

Image resample(const std::vector<Rgba>& crop, int size) {
    Image out(static_cast<size_t>(size * size));
    const uint32_t total = static_cast<uint32_t>(crop_size * crop_size);
    for (int oy = 0; oy < size; ++oy) {
        for (int ox = 0; ox < size; ++ox) {
            uint32_t r = 0, g = 0, b = 0;
            const int sy0 = oy * crop_size / size, sy1 = ((oy + 1) * crop_size - 1) / size;
            const int sx0 = ox * crop_size / size, sx1 = ((ox + 1) * crop_size - 1) / size;
            for (int sy = sy0; sy <= sy1; ++sy) {
                const int wy = overlap(oy * crop_size, (oy + 1) * crop_size, sy * size, (sy + 1) * size);
                for (int sx = sx0; sx <= sx1; ++sx) {
                    const int wx = overlap(ox * crop_size, (ox + 1) * crop_size, sx * size, (sx + 1) * size);
                    const uint32_t w = static_cast<uint32_t>(wx * wy);
                    const Rgba& c = crop[static_cast<size_t>(sy * crop_size + sx)];
                    r += c.r * w;
                    g += c.g * w;
                    b += c.b * w;
                }
            }
            out[static_cast<size_t>(oy * size + ox)] = {static_cast<uint8_t>((r + total / 2) / total),
                                                        static_cast<uint8_t>((g + total / 2) / total),
                                                        static_cast<uint8_t>((b + total / 2) / total), 255};
        }
    }
    return out;
}

// Alpha from how many sub-samples of the pixel lie inside the rounded square.
void round_corners(Image& image, int size) {
    const int n = size * corner_samples;  // side in sub-sample units
    const int radius = size * corner_64ths * corner_samples / 64;
    const int samples = corner_samples * corner_samples;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int inside = 0;
            for (int sy = 0; sy < corner_samples; ++sy) {
                for (int sx = 0; sx < corner_samples; ++sx) {
                    // Sub-sample centres, doubled so they stay integers.
                    const int px = 2 * (x * corner_samples + sx) + 1;
                    const int py = 2 * (y * corner_samples + sy) + 1;
                    const int cx = px < 2 * radius ? 2 * radius : (px > 2 * (n - radius) ? 2 * (n - radius) : px);
                    const int cy = py < 2 * radius ? 2 * radius : (py > 2 * (n - radius) ? 2 * (n - radius) : py);
                    const int dx = px - cx, dy = py - cy;
                    if (dx * dx + dy * dy <= 4 * radius * radius) ++inside;
                }
            }
            image[static_cast<size_t>(y * size + x)].a = static_cast<uint8_t>((inside * 255 + samples / 2) / samples);
        }
    }
}

void append_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush_nothing(png_structp) {}

// The PNG file in memory; fixed compression settings keep the bytes stable.
bool encode_png(const Image& image, int size, std::vector<uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, append_bytes, flush_nothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(size) * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Rgba& c = image[static_cast<size_t>(y * size + x)];
            uint8_t* p = row.data() + static_cast<size_t>(x) * 4;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// An icon directory followed by the PNG files; a side of 256 is written as 0.
std::vector<uint8_t> build_ico(const std::vector<int>& sizes, const std::vector<std::vector<uint8_t>>& pngs) {
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(sizes.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        const auto side = static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]);
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no colour table
        out.push_back(0);
        put16(out, 1);   // planes
        put16(out, 32);  // bits per pixel
        put32(out, static_cast<uint32_t>(pngs[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(pngs[i].size());
    }
    for (const auto& png : pngs) out.insert(out.end(), png.begin(), png.end());
    return out;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icons TITLE_PICTURE OUT_DIR\n");
        return 2;
    }
    std::vector<uint8_t> picture;
    try {
        picture = qv::load_title_picture(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const std::vector<Rgba> crop = crop_pixels(picture);
    const std::string dir = argv[2];

    std::vector<int> sizes;
    std::vector<std::vector<uint8_t>> pngs;
    for (int size : icon_sizes) {
        Image image = resample(crop, size);
        round_corners(image, size);
        std::vector<uint8_t> png;
        const std::string path = dir + "/quorvaner-" + std::to_string(size) + "x" + std::to_string(size) + ".png";
        if (!encode_png(image, size, png) || !write_file(path, png)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        sizes.push_back(size);
        pngs.push_back(std::move(png));
    }
    const std::string ico = dir + "/quorvaner.ico";
    if (!write_file(ico, build_ico(sizes, pngs))) {
        std::fprintf(stderr, "cannot write %s\n", ico.c_str());
        return 1;
    }
    return 0;
}
