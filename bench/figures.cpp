// The summary of figures and the percentiles (see figures.h).
#include "bench/figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {
// The figures in the order they were first set.
std::vector<std::pair<std::string, double>> figures;
}  // namespace

void figure_set(const std::string& name, double value) {
    for (auto& figure : figures) {
        if (figure.first == name) {
            figure.second = value;
            return;
        }
    }
    figures.emplace_back(name, value);
}

void figures_print() {
    if (figures.empty())
        return;
    std::printf("\nSummary (microseconds; ratios against the references of the same run):\n");
    for (const auto& [name, value] : figures)
        std::printf("  %-34s %10.3f\n", name.c_str(), value);
}

double quantile(std::vector<double> samples, double q) {
    if (samples.empty())
        return 0;
    const size_t rank =
        static_cast<size_t>(std::lround(q * static_cast<double>(samples.size() - 1)));
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(rank), samples.end());
    return samples[rank];
}

void report_paths(benchmark::State& state, const TimedPath* paths, int count) {
    double p10[8] = {}, p50[8] = {};
    for (int i = 0; i < count && i < 8; ++i) {
        p10[i] = quantile(*paths[i].samples_ns, 0.10) / 1000;
        p50[i] = quantile(*paths[i].samples_ns, 0.50) / 1000;
        const std::string name = paths[i].name;
        state.counters[name + "_p10_us"] = p10[i];
        state.counters[name + "_p50_us"] = p50[i];
        figure_set(name + " p10", p10[i]);
        figure_set(name + " p50", p50[i]);
    }
    for (int i = 1; i < count && i < 8; ++i) {
        const std::string ratio = std::string(paths[0].name) + "/" + paths[i].name;
        if (p10[i] > 0 && p50[i] > 0) {
            state.counters[ratio + "_p10"] = p10[0] / p10[i];
            state.counters[ratio + "_p50"] = p50[0] / p50[i];
            figure_set(ratio + " p10", p10[0] / p10[i]);
            figure_set(ratio + " p50", p50[0] / p50[i]);
        }
    }
}
