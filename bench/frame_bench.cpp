// The played frame over the whole win_level script, and the title menu's frame, each pass
// timed (processor time) against references measured right after it on the same pass: the
// floor (bench/floor.h: a frame cleared, copied into and converted to 32-bit by plain loops
// written for the benchmark) and SDL2's best composition of the same scene with the same work
// (the game's recorded fills and blits, no clear where the game made none, then SDL's own
// 8-to-32 conversion). SDL with a clear of the whole frame first is kept for information.
// Interleaving keeps the ratios steady on a busy machine.
// The game's frame includes the conversion, done by the benchmark backend's present; the
// pictures are loaded at start-up, before any timing, and every file is read once first so
// that the panels recycled in play come from memory.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_platform.h"
#include "bench/figures.h"
#include "bench/floor.h"
#include "bench/sdl_scene.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/window.h"

namespace {

constexpr size_t FRAME_BYTES = BENCH_WIDTH * BENCH_HEIGHT;
constexpr int MENU_PASSES = 300;

// The script being played, how many passes it runs, and what each pass does besides the
// game's own frame.
Script script;
int pass_limit;
enum class Mode { record, timed };
Mode mode;
// When the current pass's frame started, and the samples of every path.
double frame_start;
std::vector<double> frame_ns, game_ns, floor_ns, sdl_ns, sdl_cleared_ns;
bool with_sdl;

// The floor's buffers: a picture, the frame it is copied into, its conversion, and the
// palette's table with the palette it was made from.
alignas(64) uint8_t floor_picture[FRAME_BYTES];
alignas(64) uint8_t floor_pixels[FRAME_BYTES];
alignas(64) uint32_t floor_argb[FRAME_BYTES];
uint32_t floor_colours[256];
PaletteEntry floor_palette[256];

bool prepare() {
    static bool ready, ok;
    if (ready)
        return ok;
    ready = true;
    std::error_code error;
    std::filesystem::current_path(QUELLARO_ASSETS_DIR, error);
    std::ifstream in(std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/win_level.txt");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (error || text.empty() || script_parse(text, &script) != 0)
        return false;
    // Every picture once, so that no timed pass waits for the disk.
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
        benchmark::DoNotOptimize(bytes.data());
    }
    for (size_t i = 0; i < FRAME_BYTES; ++i)
        floor_picture[i] = static_cast<uint8_t>(i * 7 + i / 640);
    ok = true;
    return ok;
}

void time_floor() {
    // The table is made again only when the palette changes, as the game's present does.
    if (std::memcmp(floor_palette, bench_frame_palette(), sizeof floor_palette) != 0) {
        std::memcpy(floor_palette, bench_frame_palette(), sizeof floor_palette);
        floor_table(floor_palette, floor_colours);
    }
    const double start = cpu_ns();
    floor_frame(floor_picture, floor_pixels, floor_colours, floor_argb);
    floor_ns.push_back(cpu_ns() - start);
}

int before_pass(int pass) {
    if (pass >= pass_limit)
        return 1;
    bench_release_all_keys();
    for (const ScriptHold& hold : script.holds) {
        if (pass >= hold.first && pass <= hold.last) {
            for (int key : hold.keys)
                bench_set_key_held(key, 1);
        }
    }
    script_deliver(script, pass, &window_input);
    frame_start = cpu_ns();
    return 0;
}

void after_frame(int pass) {
    const double end = cpu_ns();
    if (mode == Mode::record) {
        scene_end_pass();
        return;
    }
    frame_ns.push_back(end - frame_start);
    game_ns.push_back(end - frame_start - bench_conversion_ns());
    time_floor();
    if (with_sdl && pass < scene_passes()) {
        double start = cpu_ns();
        scene_compose(pass, false);
        sdl_ns.push_back(cpu_ns() - start);
        start = cpu_ns();
        scene_compose(pass, true);
        sdl_cleared_ns.push_back(cpu_ns() - start);
    }
}

// Plays the script from start-up to its last pass; false when the game did not start.
bool play() {
    static const AppLoopHooks hooks = {before_pass, after_frame};
    app_set_loop_hooks(&hooks);
    if (!app_start(nullptr))
        return false;
    while (app_pass()) {
    }
    app_finish();
    app_set_loop_hooks(nullptr);
    return true;
}

// Plays the script once an iteration, timing each pass; the iteration's time is the sum of
// its frames. False when the game did not start.
bool play_timed(benchmark::State& state, bool sdl) {
    mode = Mode::timed;
    with_sdl = sdl;
    for (std::vector<double>* samples : {&frame_ns, &game_ns, &floor_ns, &sdl_ns, &sdl_cleared_ns})
        samples->clear();
    for (auto _ : state) {
        const size_t first = frame_ns.size();
        if (!play()) {
            state.SkipWithError("the game did not start");
            return false;
        }
        double total = 0;
        for (size_t i = first; i < frame_ns.size(); ++i)
            total += frame_ns[i];
        state.SetIterationTime(total / 1e9);
    }
    return true;
}

void BM_WinLevelFrames(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("cannot read the assets or the win_level script");
        return;
    }
    pass_limit = 640;
    if (scene_passes() != pass_limit) {
        mode = Mode::record;
        scene_start_recording();
        const bool played = play();
        scene_stop_recording();
        if (!played || scene_passes() != pass_limit || scene_blit_count() == 0) {
            state.SkipWithError("the scene was not recorded (no blits seen)");
            return;
        }
    }
    if (!play_timed(state, true))
        return;
    const TimedPath paths[] = {{"frame", &frame_ns},
                               {"floor", &floor_ns},
                               {"SDL", &sdl_ns},
                               {"SDL with clear", &sdl_cleared_ns}};
    report_paths(state, paths, 4);
    headline_set("played frame / floor", path_ratio(paths[0], paths[1], 0.1),
                 path_ratio(paths[0], paths[1], 0.5), 1.2);
    headline_set("played frame / SDL", path_ratio(paths[0], paths[2], 0.1),
                 path_ratio(paths[0], paths[2], 0.5), 0.6);
    // The game's own part of the frame, without the conversion.
    const TimedPath game[] = {{"frame without conversion", &game_ns}};
    report_paths(state, game, 1);
    state.counters["sdl_differing_pixels"] = scene_most_differing_pixels();
    state.counters["blits_per_pass"] =
        static_cast<double>(scene_blit_count()) / static_cast<double>(scene_passes());
}
BENCHMARK(BM_WinLevelFrames)->UseManualTime()->Unit(benchmark::kMillisecond);

// The title menu, no input: one full-screen picture copied into the locked frame.
void BM_MenuFrames(benchmark::State& state) {
    if (!prepare()) {
        state.SkipWithError("cannot read the assets");
        return;
    }
    const Script played = script;
    script = Script{};
    pass_limit = MENU_PASSES;
    const bool played_all = play_timed(state, false);
    script = played;
    if (!played_all)
        return;
    const TimedPath paths[] = {{"menu", &frame_ns}, {"menu floor", &floor_ns}};
    report_paths(state, paths, 2);
}
BENCHMARK(BM_MenuFrames)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
