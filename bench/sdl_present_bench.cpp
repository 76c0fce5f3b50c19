// What showing one picture costs the SDL window: the way the game shows it now
// (XRGB8888 straight from the indexed frame through a palette table) against
// uploading the RGB555 surface, which SDL must convert on every frame because
// the renderers have no 15-bit format. Needs a display (run it under Xvfb);
// without one both cases are skipped.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <random>
#include <vector>

#include "platform/frame.h"
#include "platform/sdl/sdl_backend.h"

namespace {

bool display_available() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool real = driver != nullptr && SDL_strcmp(driver, "dummy") != 0 && SDL_strcmp(driver, "offscreen") != 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return real;
}

struct Picture {
    qv::FrameBuffer frame{};
    qv::Palette palette{};
    qv::DisplaySurface surface{};

    Picture() {
        std::mt19937 random(11);
        for (auto& index : frame) index = static_cast<uint8_t>(random() % 64);
        for (auto& colour : palette) colour = static_cast<uint16_t>(random() & 0x7FFF);
        for (size_t i = 0; i < frame.size(); ++i) surface.pixels[i] = palette[frame[i]];
    }
};

void BM_SdlShowFrame(benchmark::State& state) {
    if (!display_available()) {
        state.SkipWithError("no display");
        return;
    }
    Picture p;
    auto backend = std::make_unique<qv::SdlBackEnd>();
    backend->create_window("present benchmark");
    for (auto _ : state) backend->show_frame({p.surface, p.frame, p.palette});
}
BENCHMARK(BM_SdlShowFrame)->Unit(benchmark::kMicrosecond);

// A window and renderer of its own for the two ways of filling a texture: the
// earlier one (the RGB555 surface, converted by SDL) and the game's (XRGB8888
// made from the indexed frame through a 256-entry table). `present` adds the
// copy to the window and the swap, which cost the same either way.
void show_in_format(benchmark::State& state, uint32_t format, bool present) {
    if (!display_available()) {
        state.SkipWithError("no display");
        return;
    }
    Picture p;
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_Window* window = SDL_CreateWindow("present benchmark", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          qv::screen_width * 3, qv::screen_height * 3, SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer == nullptr) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    state.SetLabel(info.name);
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, qv::screen_width, qv::screen_height);
    std::array<uint32_t, 256> table{};
    for (size_t i = 0; i < table.size(); ++i) {
        const uint16_t c = p.palette[i];
        table[i] = (uint32_t{qv::widen_channel(c >> 10)} << 16) | (uint32_t{qv::widen_channel(c >> 5)} << 8) |
                   qv::widen_channel(c);
    }
    std::vector<uint32_t> xrgb(qv::screen_pixels);
    const SDL_Rect target{0, 0, qv::screen_width * 3, qv::screen_height * 3};
    for (auto _ : state) {
        if (format == SDL_PIXELFORMAT_RGB555) {
            SDL_UpdateTexture(texture, nullptr, p.surface.pixels.data(), qv::screen_width * 2);
        } else {
            for (int32_t i = 0; i < qv::screen_pixels; ++i) xrgb[static_cast<size_t>(i)] = table[p.frame[i]];
            SDL_UpdateTexture(texture, nullptr, xrgb.data(), qv::screen_width * 4);
        }
        if (present) {
            SDL_RenderClear(renderer);
            SDL_RenderCopy(renderer, texture, nullptr, &target);
            SDL_RenderPresent(renderer);
        }
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void BM_SdlUploadRgb555(benchmark::State& state) { show_in_format(state, SDL_PIXELFORMAT_RGB555, false); }
BENCHMARK(BM_SdlUploadRgb555)->Unit(benchmark::kMicrosecond);

void BM_SdlUploadXrgb8888(benchmark::State& state) { show_in_format(state, SDL_PIXELFORMAT_RGB888, false); }
BENCHMARK(BM_SdlUploadXrgb8888)->Unit(benchmark::kMicrosecond);

void BM_SdlShowRgb555(benchmark::State& state) { show_in_format(state, SDL_PIXELFORMAT_RGB555, true); }
BENCHMARK(BM_SdlShowRgb555)->Unit(benchmark::kMicrosecond);

}  // namespace
