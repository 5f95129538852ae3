// The played frame over the whole win_level script, and the title menu's frame, each pass
// timed against references measured right after it on the same pass: the floor (a memset, a
// memcpy and the 8-to-32 conversion of a 640 x 480 frame) and SDL2's best composition of the
// same scene, clearing the frame first ("SDL") and not ("SDL without clear", where the recorded
// pass holds no clear, that is where the game proved its backdrop covers the frame).
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
#include "bench/sdl_scene.h"
#include "platform/script.h"
#include "shell/app.h"

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
std::vector<double> frame_ns, game_ns, floor_ns, sdl_ns, sdl_bare_ns;
bool with_sdl;

// The floor's buffers: a frame cleared and copied into, and its conversion.
uint8_t floor_picture[FRAME_BYTES];
uint8_t floor_frame[FRAME_BYTES];
uint32_t floor_argb[FRAME_BYTES];

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
    const double start = now_ns();
    std::memset(floor_frame, 0, FRAME_BYTES);
    benchmark::ClobberMemory();
    std::memcpy(floor_frame, floor_picture, FRAME_BYTES);
    benchmark::ClobberMemory();
    bench_convert(floor_frame, BENCH_WIDTH, BENCH_WIDTH, BENCH_HEIGHT, bench_frame_palette(),
                  floor_argb);
    benchmark::ClobberMemory();
    floor_ns.push_back(now_ns() - start);
}

int before_pass(int pass, InputRecord* record) {
    if (pass >= pass_limit)
        return 1;
    script_record(script, pass, record);
    frame_start = now_ns();
    return 0;
}

void after_frame(int pass) {
    const double end = now_ns();
    if (mode == Mode::record) {
        scene_end_pass();
        return;
    }
    frame_ns.push_back(end - frame_start);
    game_ns.push_back(end - frame_start - bench_conversion_ns());
    time_floor();
    if (with_sdl && pass < scene_passes()) {
        double start = now_ns();
        scene_compose(pass, true);
        sdl_ns.push_back(now_ns() - start);
        start = now_ns();
        scene_compose(pass, false);
        sdl_bare_ns.push_back(now_ns() - start);
    }
}

// Plays the script from start-up to its last pass; false when the game did not start.
bool play() {
    if (!app_start(nullptr))
        return false;
    InputRecord record;
    for (int pass = 0; !before_pass(pass, &record) && app_run_pass(&record); ++pass)
        after_frame(pass);
    app_finish();
    return true;
}

// Plays the script once an iteration, timing each pass; the iteration's time is the sum of
// its frames. False when the game did not start.
bool play_timed(benchmark::State& state, bool sdl) {
    mode = Mode::timed;
    with_sdl = sdl;
    for (std::vector<double>* samples : {&frame_ns, &game_ns, &floor_ns, &sdl_ns, &sdl_bare_ns})
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
            state.SkipWithError("the scene was not recorded (is gfx_blit wrapped?)");
            return;
        }
    }
    if (!play_timed(state, true))
        return;
    const TimedPath paths[] = {{"frame", &frame_ns},
                               {"floor", &floor_ns},
                               {"SDL", &sdl_ns},
                               {"SDL without clear", &sdl_bare_ns}};
    report_paths(state, paths, 4);
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
