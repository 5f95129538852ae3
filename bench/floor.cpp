// The floor (see floor.h). Constant sizes and __restrict let the compiler do its best with
// each loop: the clear and the copy become memset and memcpy, the conversion is unrolled.
#include "bench/floor.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace {
constexpr size_t PIXELS = size_t{FLOOR_WIDTH} * FLOOR_HEIGHT;
}  // namespace

void floor_table(const PaletteEntry* palette, uint32_t* table) {
    for (int i = 0; i < 256; ++i) {
        table[i] = 0xFF000000u | uint32_t{palette[i].red} << 16 | uint32_t{palette[i].green} << 8 |
                   uint32_t{palette[i].blue};
    }
}

void floor_convert(const uint8_t* __restrict frame, const uint32_t* __restrict table,
                   uint32_t* __restrict out) {
    for (size_t y = 0; y < FLOOR_HEIGHT; ++y) {
        const uint8_t* __restrict in = frame + y * FLOOR_WIDTH;
        uint32_t* __restrict row = out + y * FLOOR_WIDTH;
        for (size_t x = 0; x < FLOOR_WIDTH; ++x)
            row[x] = table[in[x]];
    }
    benchmark::ClobberMemory();
}

void floor_frame(const uint8_t* __restrict picture, uint8_t* __restrict frame,
                 const uint32_t* __restrict table, uint32_t* __restrict out) {
    for (size_t i = 0; i < PIXELS; ++i)
        frame[i] = 0;
    benchmark::ClobberMemory();
    for (size_t i = 0; i < PIXELS; ++i)
        frame[i] = picture[i];
    benchmark::ClobberMemory();
    floor_convert(frame, table, out);
}
