// Figures the benchmarks leave for the summary printed after the run: medians, tenth
// percentiles and the ratios against the references measured in the same run.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

// A figure for the summary, by name (a later value replaces an earlier one).
void figure_set(const std::string& name, double value);
// Prints the figures in the order they were first set.
void figures_print();

// The q-quantile (0..1) of the samples, nearest rank.
double quantile(std::vector<double> samples, double q);

// Nanoseconds on the monotonic clock.
inline double now_ns() {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

// p10 and p50 of each timed path, in microseconds, as counters of the benchmark and figures
// of the summary under the path's name; the ratio of the first path to each of the others.
struct TimedPath {
    const char* name;
    const std::vector<double>* samples_ns;
};
void report_paths(benchmark::State& state, const TimedPath* paths, int count);
