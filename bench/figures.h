// Figures the benchmarks leave for the summary printed after the run: medians, tenth
// percentiles and the ratios against the references measured in the same run.
#pragma once
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

// A figure for the summary, by name (a later value replaces an earlier one).
void figure_set(const std::string& name, double value);
// A headline ratio and the most it may be; the summary ends with these and says which hold.
void headline_set(const std::string& name, double p10, double p50, double goal);
// Prints the figures in the order they were first set, then the headline ratios.
void figures_print();

// The q-quantile (0..1) of the samples, nearest rank.
double quantile(std::vector<double> samples, double q);

// Nanoseconds of processor time this thread has used: a timed path on a busy machine is not
// charged for the time other programs had the core.
inline double cpu_ns() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// p10 and p50 of each timed path, in microseconds, as counters of the benchmark and figures
// of the summary under the path's name; the ratio of the first path to each of the others.
struct TimedPath {
    const char* name;
    const std::vector<double>* samples_ns;
};
void report_paths(benchmark::State& state, const TimedPath* paths, int count);
// The ratio of two reported paths' p10 and p50 (0 when the second has none).
double path_ratio(const TimedPath& a, const TimedPath& b, double q);
