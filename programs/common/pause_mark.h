// The pause mark the platform draws over the last frame: the frame dimmed, a dark panel with
// "PAUSED" and how to go on, in blocky letters that scale with the frame's pixels. Works on
// 32-bit pixels with 8 bits a channel (ARGB or XRGB). No SDL in here.
#pragma once
#include <cstdint>

// Dims the width x height picture (pitch in pixels) and draws the mark, centred.
void pause_mark_draw(uint32_t* pixels, int pitch, int width, int height);
// Draws text (A to Z, comma and blank) with its top-left at (x, y), every glyph pixel a
// scale x scale square, clipped to the picture; returns the width it took.
int pause_mark_text(uint32_t* pixels, int pitch, int width, int height, const char* text, int x,
                    int y, int scale, uint32_t colour);
// The width text takes at a scale.
int pause_mark_text_width(const char* text, int scale);
