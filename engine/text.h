// Text output onto a surface in the built-in font, transparent background.
#pragma once
#include <cstdint>

#include "engine/gfx.h"

// colour is 0x00BBGGRR; white is 0xFFFFFF.
int text_draw(const char* text, int x, int y, uint32_t colour, GfxSurface* surface);
int text_draw_indexed(const char* text, int x, int y, int index, GfxSurface* surface);
