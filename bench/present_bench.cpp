// The present: a 640 x 480 8-bit frame onto a full-screen window, by the desktop game's
// processor path (converted and scaled in one pass into the window surface, the box only)
// against two references timed right after it in the same iteration: a memcpy of the same
// output bytes (what writing the scaled frame costs at the least), and SDL's best with its
// software renderer (a streaming texture in the window's own pixel format, filled by SDL's own
// 8-to-32 blit, scaled by SDL into the window; the bars painted once, as the game does). All
// on SDL's dummy video driver, so no display server is timed.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/pixels.h"
#include "platform/sdl/scale.h"

namespace {

constexpr int FRAME_W = 640, FRAME_H = 480;

// A frame with the variety of a played one: flat sky, busy ground, a full palette.
struct Frame {
    uint8_t pixels[FRAME_W * FRAME_H];
    PaletteEntry palette[256];
    ColourTable table;
    Frame() {
        for (int y = 0; y < FRAME_H; y++)
            for (int x = 0; x < FRAME_W; x++)
                pixels[y * FRAME_W + x] =
                    static_cast<uint8_t>(y < 300 ? 40 + y / 30 : (x * 7 + y * 3) & 0xFF);
        for (int i = 0; i < 256; i++)
            palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                          static_cast<uint8_t>(255 - i), 0};
        palette_to_argb(palette, -1, &table);
    }
};

const Frame& frame() {
    static const Frame f;
    return f;
}

// SDL's side: its window, renderer and texture, and the frame as an 8-bit SDL surface.
struct SdlSide {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    SDL_Surface* frame8 = nullptr;
    SDL_Palette* palette = nullptr;
    bool open(int width, int height) {
        window = SDL_CreateWindow("bench SDL", 0, 0, width, height, 0);
        renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
        texture = renderer ? SDL_CreateTexture(renderer, SDL_GetWindowPixelFormat(window),
                                               SDL_TEXTUREACCESS_STREAMING, FRAME_W, FRAME_H)
                           : nullptr;
        frame8 = SDL_CreateRGBSurfaceWithFormat(0, FRAME_W, FRAME_H, 8, SDL_PIXELFORMAT_INDEX8);
        palette = SDL_AllocPalette(256);
        if (!texture || !frame8 || !palette)
            return false;
        SDL_Color colours[256];
        for (int i = 0; i < 256; i++)
            colours[i] = {frame().palette[i].red, frame().palette[i].green, frame().palette[i].blue,
                          255};
        SDL_SetPaletteColors(palette, colours, 0, 256);
        SDL_SetSurfacePalette(frame8, palette);
        for (int y = 0; y < FRAME_H; y++)
            std::memcpy(static_cast<uint8_t*>(frame8->pixels) + y * frame8->pitch,
                        frame().pixels + y * FRAME_W, FRAME_W);
        return true;
    }
    ~SdlSide() {
        SDL_FreePalette(palette);
        SDL_FreeSurface(frame8);
        if (texture)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (window)
            SDL_DestroyWindow(window);
    }
};

void BM_Present(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const int width = static_cast<int>(state.range(1)), height = static_cast<int>(state.range(2));
    const std::string label = "present " + std::to_string(width) + "x" + std::to_string(height) +
                              (mode == SCALE_FIT ? " fit" : " integer");
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, width, height, 0);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    SdlSide sdl;
    if (surface == nullptr || surface->format->BytesPerPixel != 4 || !sdl.open(width, height)) {
        state.SkipWithError("no 32-bit window surface or no software renderer");
        if (window)
            SDL_DestroyWindow(window);
        return;
    }
    auto map = std::make_unique<ScaleMap>();
    const Letterbox box = letterbox_for_mode(mode, width, height, FRAME_W, FRAME_H);
    scale_map_build(map.get(), box);
    const SDL_Rect rect = {box.x, box.y, box.width, box.height};
    const size_t box_bytes = 4 * static_cast<size_t>(box.width) * box.height;
    std::vector<uint8_t> copy_from(box_bytes, 0x5A), copy_to(box_bytes, 0);

    // The bars, once on each side.
    SDL_LockSurface(surface);
    scale_fill_bars(box, width, height, 0xFF000000u, static_cast<uint8_t*>(surface->pixels),
                    surface->pitch);
    SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window);
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl.renderer);

    std::vector<double> ours_ns, copy_ns, sdl_ns;
    for (auto _ : state) {
        double start = cpu_ns();
        SDL_LockSurface(surface);
        scale_frame_8(map.get(), frame().pixels, FRAME_W, frame().table,
                      static_cast<uint8_t*>(surface->pixels), surface->pitch);
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurfaceRects(window, &rect, 1);
        benchmark::ClobberMemory();
        const double ours = cpu_ns() - start;
        ours_ns.push_back(ours);

        start = cpu_ns();
        std::memcpy(copy_to.data(), copy_from.data(), box_bytes);
        benchmark::ClobberMemory();
        copy_ns.push_back(cpu_ns() - start);

        start = cpu_ns();
        SDL_Surface* texels = nullptr;
        SDL_LockTextureToSurface(sdl.texture, nullptr, &texels);
        SDL_BlitSurface(sdl.frame8, nullptr, texels, nullptr);
        SDL_UnlockTexture(sdl.texture);
        SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, &rect);
        SDL_RenderPresent(sdl.renderer);
        benchmark::ClobberMemory();
        sdl_ns.push_back(cpu_ns() - start);
        state.SetIterationTime(ours / 1e9);
    }
    const std::string copy_name = label + " memcpy", sdl_name = label + " SDL texture";
    const TimedPath paths[] = {
        {label.c_str(), &ours_ns}, {copy_name.c_str(), &copy_ns}, {sdl_name.c_str(), &sdl_ns}};
    report_paths(state, paths, 3);
    headline_set(label + " / memcpy", path_ratio(paths[0], paths[1], 0.1),
                 path_ratio(paths[0], paths[1], 0.5), 1.3);
    SDL_DestroyWindow(window);
}

BENCHMARK(BM_Present)
    ->Args({SCALE_INTEGER, 1920, 1080})
    ->Args({SCALE_FIT, 1920, 1080})
    ->Args({SCALE_FIT, 3840, 2160})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
