// The summary of figures and the percentiles (see figures.h).
#include "bench/figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {
// The figures in the order they were first set, and the headline ratios with their goals.
std::vector<std::pair<std::string, double>> figures;
struct Headline {
    std::string name;
    double p10, p50, goal;
};
std::vector<Headline> headlines;
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

void headline_set(const std::string& name, double p10, double p50, double goal) {
    for (Headline& headline : headlines) {
        if (headline.name == name) {
            headline = {name, p10, p50, goal};
            return;
        }
    }
    headlines.push_back({name, p10, p50, goal});
}

void figures_print() {
    if (!figures.empty()) {
        std::printf(
            "\nSummary (microseconds of processor time; ratios against the references "
            "of the same run):\n");
        for (const auto& [name, value] : figures)
            std::printf("  %-40s %10.3f\n", name.c_str(), value);
    }
    if (!headlines.empty()) {
        std::printf("\nHeadline ratios (against the fair references; bench/README.md):\n");
        std::printf("  %-40s %8s %8s %8s\n", "", "p10", "p50", "goal");
        for (const Headline& h : headlines)
            std::printf("  %-40s %8.3f %8.3f  <= %4.2f %s\n", h.name.c_str(), h.p10, h.p50, h.goal,
                        h.p50 <= h.goal ? "met" : "NOT MET");
    }
}

double quantile(std::vector<double> samples, double q) {
    if (samples.empty())
        return 0;
    const size_t rank =
        static_cast<size_t>(std::lround(q * static_cast<double>(samples.size() - 1)));
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(rank), samples.end());
    return samples[rank];
}

double path_ratio(const TimedPath& a, const TimedPath& b, double q) {
    const double denominator = quantile(*b.samples_ns, q);
    return denominator > 0 ? quantile(*a.samples_ns, q) / denominator : 0;
}

void report_paths(benchmark::State& state, const TimedPath* paths, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string name = paths[i].name;
        const double p10 = quantile(*paths[i].samples_ns, 0.10) / 1000;
        const double p50 = quantile(*paths[i].samples_ns, 0.50) / 1000;
        state.counters[name + "_p10_us"] = p10;
        state.counters[name + "_p50_us"] = p50;
        figure_set(name + " p10", p10);
        figure_set(name + " p50", p50);
    }
    for (int i = 1; i < count; ++i) {
        const std::string ratio = std::string(paths[0].name) + "/" + paths[i].name;
        const double p10 = path_ratio(paths[0], paths[i], 0.10);
        const double p50 = path_ratio(paths[0], paths[i], 0.50);
        if (p10 > 0 && p50 > 0) {
            state.counters[ratio + "_p10"] = p10;
            state.counters[ratio + "_p50"] = p50;
            figure_set(ratio + " p10", p10);
            figure_set(ratio + " p50", p50);
        }
    }
}
