// The benchmark program: Google Benchmark's run, then the summary of figures and ratios.
// SDL's video runs on its dummy driver, for the present's window surfaces.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/figures.h"

int main(int argc, char** argv) {
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bench: %s\n", SDL_GetError());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    figures_print();
    SDL_Quit();
    return 0;
}
