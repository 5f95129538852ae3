// The bitmap loader against SDL_LoadBMP on every picture in assets/, file by file in turn,
// with the page faults each takes.
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
    std::vector<double> ours_ns, sdl_ns;
    long our_faults = 0, sdl_faults = 0, loads = 0;
    BitmapFile bitmap{};
    for (auto _ : state) {
        double ours = 0, sdl = 0;
        for (const std::string& file : files) {
            long faults = minor_faults();
            double start = now_ns();
            const int loaded = bitmap_load_file(&bitmap, file.c_str());
            bitmap_unload_file(&bitmap);
            ours += now_ns() - start;
            our_faults += minor_faults() - faults;
            faults = minor_faults();
            start = now_ns();
            SDL_Surface* surface = SDL_LoadBMP(file.c_str());
            SDL_FreeSurface(surface);
            sdl += now_ns() - start;
            sdl_faults += minor_faults() - faults;
            if (!loaded || !surface) {
                state.SkipWithError(("cannot load " + file).c_str());
                return;
            }
            ++loads;
        }
        ours_ns.push_back(ours);
        sdl_ns.push_back(sdl);
        state.SetIterationTime(ours / 1e9);
    }
    const TimedPath paths[] = {{"loader", &ours_ns}, {"SDL_LoadBMP", &sdl_ns}};
    report_paths(state, paths, 2);
    state.counters["pictures"] = static_cast<double>(files.size());
    state.counters["loader_faults_per_picture"] =
        loads ? static_cast<double>(our_faults) / static_cast<double>(loads) : 0;
    state.counters["sdl_faults_per_picture"] =
        loads ? static_cast<double>(sdl_faults) / static_cast<double>(loads) : 0;
}
BENCHMARK(BM_LoadAllPictures)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
