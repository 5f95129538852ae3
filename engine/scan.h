// Colour scans of a locked pixel buffer.
#pragma once
#include <cstdint>

// 1 when a pixel of the rectangle x1..x2, y1..y2 (inclusive, each clamped to the screen) has
// an index in lo..hi, else 0.
int find_color_in_rect(int x1, int y1, int x2, int y2, uint8_t lo, uint8_t hi,
                       const uint8_t* pixels, int pitch);
// 16-bit: 1 at the first pixel equal to key1 or key2 in the rectangle clamped to the screen.
int find_color_in_rect16(int x1, int y1, int x2, int y2, uint16_t key1, uint16_t key2,
                         const uint8_t* pixels, int pitch);
