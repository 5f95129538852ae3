// The built-in proportional bitmap font: bold, printable ASCII, compiled in.
#pragma once
#include <cstdint>

constexpr int FONT_HEIGHT = 16;

// Horizontal advance of one character in pixels (0 for characters outside 32..126).
int font_char_width(char c);
// Advance of the first length characters of text.
int font_text_width(const char* text, int length);
// Draws text with its top-left corner at (x, y), each font pixel as a scale x scale block,
// writing pixel_value (1, 2 or 4 bytes per pixel) into pixels; clipped to the
// width x height area. Background pixels are left as they are.
void font_draw(uint8_t* pixels, int pitch, int bytes_per_pixel, int width, int height, int x, int y,
               const char* text, int length, uint32_t pixel_value, int scale);
