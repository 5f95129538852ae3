// The 8-to-32 conversion of a 640 x 480 frame alone: the path this processor takes, the
// portable path every processor has (what a machine without the vector path gets), and the
// floor's plain loop, interleaved. For information: the played frame includes the first.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/figures.h"
#include "bench/floor.h"
#include "platform/sdl/pixels.h"

namespace {

constexpr size_t PIXELS = size_t{FLOOR_WIDTH} * FLOOR_HEIGHT;

// The buffers, apart from the frame benchmark's: a frame with flat and busy parts, its
// conversion, the palette's tables.
alignas(64) uint8_t frame[PIXELS];
alignas(64) uint32_t converted[PIXELS];
ColourTable table;
uint32_t floor_colours[256];

void convert_frame(void (*convert)(const uint8_t*, int, const ColourTable&, uint32_t*)) {
    for (size_t y = 0; y < FLOOR_HEIGHT; ++y)
        convert(frame + y * FLOOR_WIDTH, FLOOR_WIDTH, table, converted + y * FLOOR_WIDTH);
    benchmark::ClobberMemory();
}

void BM_Conversion(benchmark::State& state) {
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3),
                      static_cast<uint8_t>(255 - i), 0};
    palette_to_argb(palette, -1, &table);
    floor_table(palette, floor_colours);
    for (size_t i = 0; i < PIXELS; ++i)
        frame[i] = static_cast<uint8_t>(i < PIXELS / 2 ? 40 + i / 20000 : i * 7 + i / 640);
    std::vector<double> fast_ns, portable_ns, floor_ns;
    for (auto _ : state) {
        double start = cpu_ns();
        convert_frame(convert_row_8);
        fast_ns.push_back(cpu_ns() - start);
        start = cpu_ns();
        convert_frame(convert_row_8_portable);
        portable_ns.push_back(cpu_ns() - start);
        start = cpu_ns();
        floor_convert(frame, floor_colours, converted);
        floor_ns.push_back(cpu_ns() - start);
        state.SetIterationTime(fast_ns.back() / 1e9);
    }
    const TimedPath paths[] = {
        {convert_row_8_vectorised() ? "conversion (vector)" : "conversion", &fast_ns},
        {"conversion (portable)", &portable_ns},
        {"conversion (floor's loop)", &floor_ns}};
    report_paths(state, paths, 3);
}
BENCHMARK(BM_Conversion)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
