// The game as a value: a snapshot and a restore in the middle of win_level, each timed
// against the memory floor (copying the same number of bytes), with the bytes a snapshot
// takes; and rewind: the memory a minute of it keeps, and each step back (the worst of a
// keyframe interval included) against a pass played forward.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/script.h"
#include "programs/common/practice.h"
#include "shell/app.h"
#include "shell/snapshot.h"

namespace {

constexpr int PASSES_INTO_THE_LEVEL = 320;

// The game started and played into the level with the practice tools on; false when it
// could not start.
bool start_playing(Script* script) {
    std::error_code error;
    std::filesystem::current_path(QUELLARO_ASSETS_DIR, error);
    std::ifstream in(std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/win_level.txt");
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (error || script_parse(text, script) != 0 || !app_start(nullptr) || !practice_start(nullptr))
        return false;
    for (int pass = 0; pass < PASSES_INTO_THE_LEVEL; ++pass) {
        InputRecord record;
        script_record(*script, pass, &record);
        if (!practice_pass(&record, 0))
            return false;
    }
    return true;
}

void stop_playing() {
    practice_stop();
    app_finish();
}

void BM_SnapshotAndRestore(benchmark::State& state) {
    Script script;
    if (!start_playing(&script)) {
        state.SkipWithError("the game did not start");
        stop_playing();
        return;
    }
    std::vector<uint8_t> snapshot(GAME_SNAPSHOT_MAX), copy(GAME_SNAPSHOT_MAX);
    const size_t bytes = game_snapshot(snapshot.data(), snapshot.size());
    std::vector<double> snapshot_ns, restore_ns, copy_ns;
    for (auto _ : state) {
        double start = cpu_ns();
        benchmark::DoNotOptimize(game_snapshot(snapshot.data(), snapshot.size()));
        snapshot_ns.push_back(cpu_ns() - start);
        start = cpu_ns();
        const int restored = game_restore(snapshot.data(), bytes, nullptr);
        restore_ns.push_back(cpu_ns() - start);
        start = cpu_ns();
        std::memcpy(copy.data(), snapshot.data(), bytes);
        benchmark::ClobberMemory();
        copy_ns.push_back(cpu_ns() - start);
        if (!restored) {
            state.SkipWithError("the snapshot did not go back");
            break;
        }
    }
    const TimedPath save[] = {{"snapshot", &snapshot_ns}, {"copy of its bytes", &copy_ns}};
    report_paths(state, save, 2);
    const TimedPath back[] = {{"restore", &restore_ns}, {"copy of its bytes", &copy_ns}};
    report_paths(state, back, 2);
    state.counters["snapshot_bytes"] = static_cast<double>(bytes);
    figure_set("snapshot bytes", static_cast<double>(bytes));
    stop_playing();
}
BENCHMARK(BM_SnapshotAndRestore);

// Rewinding from the middle of the level: every step back, a step being a restore and up to a
// keyframe interval of passes run again, against the passes played forward before.
void BM_RewindSteps(benchmark::State& state) {
    Script script;
    if (!start_playing(&script)) {
        state.SkipWithError("the game did not start");
        stop_playing();
        return;
    }
    std::vector<double> step_ns, pass_ns;
    for (auto _ : state) {
        // Forward a while, timing each pass; then back as far, timing each step.
        const int from = app_next_pass();
        for (int pass = from; pass < from + 2 * REWIND_KEYFRAME_PASSES; ++pass) {
            InputRecord record;
            script_record(script, pass, &record);
            const double start = cpu_ns();
            practice_pass(&record, 0);
            pass_ns.push_back(cpu_ns() - start);
        }
        for (int i = 0; i < 2 * REWIND_KEYFRAME_PASSES; ++i) {
            const double start = cpu_ns();
            practice_pass(nullptr, 1);
            step_ns.push_back(cpu_ns() - start);
        }
    }
    const TimedPath paths[] = {{"rewind step", &step_ns}, {"pass", &pass_ns}};
    report_paths(state, paths, 2);
    const double worst = *std::max_element(step_ns.begin(), step_ns.end()) / 1000;
    // The slowest steps read a backdrop picture again; the very slowest, on a busy machine,
    // are as often the processor taken away, as the passes' own slowest show.
    figure_set("rewind step p99", quantile(step_ns, 0.99) / 1000);
    figure_set("pass p99", quantile(pass_ns, 0.99) / 1000);
    state.counters["rewind_step_max_us"] = worst;
    figure_set("rewind step max", worst);
    figure_set("rewind MiB for 60 s", static_cast<double>(practice_history_bytes()) / (1 << 20));
    figure_set("rewind bytes per kept snapshot", static_cast<double>(practice_keyframe_bytes()));
    stop_playing();
}
BENCHMARK(BM_RewindSteps);

}  // namespace
