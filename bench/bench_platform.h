// The benchmarks' platform backend: no window, a virtual clock, held keys set by the
// benchmark, no sound, and a present that turns the 8-bit frame into 32-bit ARGB with the
// desktop game's conversion (its colour table made again only when the palette changes, as
// the desktop does), so a timed game frame includes that conversion.
#pragma once
#include <cstdint>

#include "platform/types.h"

constexpr int BENCH_WIDTH = 640, BENCH_HEIGHT = 480;

void bench_set_key_held(int key, int held);
void bench_release_all_keys();
// The last presented 8-bit frame (valid until the next present) and its palette.
const uint8_t* bench_frame_pixels();
int bench_frame_pitch();
const PaletteEntry* bench_frame_palette();
// The converted frame, BENCH_WIDTH x BENCH_HEIGHT.
const uint32_t* bench_frame_argb();
// How long the last present's conversion took, in nanoseconds.
double bench_conversion_ns();
