// The bitmap loader against SDL_LoadBMP on every picture in assets/, file by file in turn,
// with the page faults each takes. Cold, each load starts with no memory kept from the one
// before (the loader's spare storage freed, as SDL_LoadBMP allocates every time): the
// headline. Warm, the loader reuses the storage of the picture unloaded before, as the game
// does when it loads the level's pictures one after another: for information.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "engine/bitmap.h"

namespace {

long minor_faults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

std::vector<std::string> pictures() {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(QUELLARO_ASSETS_DIR)) {
        if (entry.path().extension() == ".bmp")
            out.push_back(entry.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void BM_LoadAllPictures(benchmark::State& state) {
    const std::vector<std::string> files = pictures();
    std::vector<double> cold_ns, warm_ns, sdl_ns;
    long cold_faults = 0, sdl_faults = 0, loads = 0;
    BitmapFile bitmap{};
    for (auto _ : state) {
        double cold = 0, warm = 0, sdl = 0;
        for (const std::string& file : files) {
            // Each timed load follows a read of the same file, so that none of them is the
            // first to bring its bytes into the processor's caches.
            const int primed = bitmap_load_file(&bitmap, file.c_str());
            bitmap_unload_file(&bitmap);
            bitmap_shutdown();

            long faults = minor_faults();
            double start = cpu_ns();
            const int loaded = bitmap_load_file(&bitmap, file.c_str());
            bitmap_unload_file(&bitmap);
            bitmap_shutdown();  // frees the spare storage: the next load allocates
            cold += cpu_ns() - start;
            cold_faults += minor_faults() - faults;

            faults = minor_faults();
            start = cpu_ns();
            SDL_Surface* surface = SDL_LoadBMP(file.c_str());
            SDL_FreeSurface(surface);
            sdl += cpu_ns() - start;
            sdl_faults += minor_faults() - faults;

            // Warm: the storage of a load just made is there to take.
            const int primed_warm = bitmap_load_file(&bitmap, file.c_str());
            bitmap_unload_file(&bitmap);
            start = cpu_ns();
            const int loaded_warm = bitmap_load_file(&bitmap, file.c_str());
            bitmap_unload_file(&bitmap);
            warm += cpu_ns() - start;
            bitmap_shutdown();
            if (!primed || !loaded || !primed_warm || !loaded_warm || !surface) {
                state.SkipWithError(("cannot load " + file).c_str());
                return;
            }
            ++loads;
        }
        cold_ns.push_back(cold);
        warm_ns.push_back(warm);
        sdl_ns.push_back(sdl);
        state.SetIterationTime(cold / 1e9);
    }
    const TimedPath paths[] = {{"loader", &cold_ns}, {"SDL_LoadBMP", &sdl_ns}};
    report_paths(state, paths, 2);
    const TimedPath warm_paths[] = {{"loader warm", &warm_ns}, {"SDL_LoadBMP", &sdl_ns}};
    report_paths(state, warm_paths, 2);
    headline_set("loader (cold) / SDL_LoadBMP", path_ratio(paths[0], paths[1], 0.1),
                 path_ratio(paths[0], paths[1], 0.5), 0.5);
    state.counters["pictures"] = static_cast<double>(files.size());
    state.counters["loader_faults_per_picture"] =
        loads ? static_cast<double>(cold_faults) / static_cast<double>(loads) : 0;
    state.counters["sdl_faults_per_picture"] =
        loads ? static_cast<double>(sdl_faults) / static_cast<double>(loads) : 0;
}
BENCHMARK(BM_LoadAllPictures)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
