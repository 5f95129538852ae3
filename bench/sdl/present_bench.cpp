// The present: a 640 x 480 8-bit frame onto a 1920 x 1080 window, by our processor path
// (converted and scaled in one pass into the window surface) and by SDL's streaming texture
// on its software renderer, both on the dummy video driver, in both scale modes. The ratio
// of the two is printed at the end.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/sdl/letterbox.h"
#include "platform/sdl/pixels.h"
#include "platform/sdl/scale.h"

namespace {

constexpr int FRAME_W = 640, FRAME_H = 480, OUT_W = 1920, OUT_H = 1080;

// A frame with the variety of a played one: flat sky, busy ground, a full palette.
struct Frame {
    uint8_t pixels[FRAME_W * FRAME_H];
    uint32_t table[256];
    Frame() {
        for (int y = 0; y < FRAME_H; y++)
            for (int x = 0; x < FRAME_W; x++)
                pixels[y * FRAME_W + x] =
                    static_cast<uint8_t>(y < 300 ? 40 + y / 30 : (x * 7 + y * 3) & 0xFF);
        PaletteEntry palette[256];
        for (int i = 0; i < 256; i++)
            palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                          static_cast<uint8_t>(255 - i), 0};
        palette_to_argb(palette, -1, table);
    }
};

const Frame& frame() {
    static const Frame f;
    return f;
}

void BM_PresentProcessor(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, OUT_W, OUT_H, 0);
    SDL_Surface* surface = window ? SDL_GetWindowSurface(window) : nullptr;
    if (surface == nullptr || surface->format->BytesPerPixel != 4) {
        state.SkipWithError("no 32-bit window surface");
        return;
    }
    auto map = std::make_unique<ScaleMap>();
    const Letterbox box = letterbox_for_mode(mode, OUT_W, OUT_H, FRAME_W, FRAME_H);
    scale_map_build(map.get(), box);
    const SDL_Rect rect = {box.x, box.y, box.width, box.height};
    for (auto _ : state) {
        SDL_LockSurface(surface);
        scale_frame_8(map.get(), frame().pixels, FRAME_W, frame().table,
                      static_cast<uint8_t*>(surface->pixels), surface->pitch);
        SDL_UnlockSurface(surface);
        SDL_UpdateWindowSurfaceRects(window, &rect, 1);
        benchmark::ClobberMemory();
    }
    SDL_DestroyWindow(window);
}

void BM_PresentSdlTexture(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, OUT_W, OUT_H, 0);
    SDL_Renderer* renderer =
        window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    SDL_Texture* texture = renderer
                               ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                   SDL_TEXTUREACCESS_STREAMING, FRAME_W, FRAME_H)
                               : nullptr;
    if (texture == nullptr) {
        state.SkipWithError("no software renderer");
        return;
    }
    const Letterbox box = letterbox_for_mode(mode, OUT_W, OUT_H, FRAME_W, FRAME_H);
    const SDL_Rect rect = {box.x, box.y, box.width, box.height};
    for (auto _ : state) {
        void* texels;
        int pitch;
        SDL_LockTexture(texture, nullptr, &texels, &pitch);
        for (int y = 0; y < FRAME_H; y++)
            convert_row_8(frame().pixels + y * FRAME_W, FRAME_W, frame().table,
                          reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) + y * pitch));
        SDL_UnlockTexture(texture);
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, &rect);
        SDL_RenderPresent(renderer);
        benchmark::ClobberMemory();
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
}

BENCHMARK(BM_PresentProcessor)->Arg(SCALE_INTEGER)->Arg(SCALE_FIT)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentSdlTexture)->Arg(SCALE_INTEGER)->Arg(SCALE_FIT)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration (the median when repeated) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool repeated = run.repetitions > 1;
            if (run.error_occurred || (repeated && run.aggregate_name != "median"))
                continue;
            std::string name = run.run_name.str();
            times[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "present bench: %s\n", SDL_GetError());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* modes[] = {"", "integer 2x", "fit 2.25x"};
    for (int mode : {SCALE_INTEGER, SCALE_FIT}) {
        const std::string arg = "/" + std::to_string(mode);
        auto ours = reporter.times.find("BM_PresentProcessor" + arg);
        auto sdl = reporter.times.find("BM_PresentSdlTexture" + arg);
        if (ours != reporter.times.end() && sdl != reporter.times.end() && sdl->second > 0)
            std::printf(
                "present to 1920x1080, %s: processor path / SDL streaming texture = "
                "%.2fx (goal: at most 0.5x)\n",
                modes[mode], ours->second / sdl->second);
    }
    SDL_Quit();
    return 0;
}
