// The benchmark program: Google Benchmark's run, then the summary of figures and ratios.
#include <benchmark/benchmark.h>

#include "bench/figures.h"

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    figures_print();
    return 0;
}
