// The benchmarks' platform backend: no window, a virtual clock, no live input, no sound, and a
// present that turns the 8-bit frame into 32-bit ARGB the way the desktop game does before it shows
// a frame, so a timed game_frame includes that conversion.
#pragma once
#include <cstdint>

#include "platform/types.h"

constexpr int BENCH_WIDTH = 640, BENCH_HEIGHT = 480;

// The 8-to-32 conversion of a frame through its palette, the desktop game's own (opaque
// ARGB, out is width a row).
void bench_convert(const uint8_t* pixels, int pitch, int width, int height,
                   const PaletteEntry* palette, uint32_t* out);

// The last presented 8-bit frame (valid until the next present) and its palette.
const uint8_t* bench_frame_pixels();
int bench_frame_pitch();
const PaletteEntry* bench_frame_palette();
// The converted frame, BENCH_WIDTH x BENCH_HEIGHT.
const uint32_t* bench_frame_argb();
// How long the last present's conversion took, in nanoseconds.
double bench_conversion_ns();
