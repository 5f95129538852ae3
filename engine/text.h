// Text output onto a surface in the built-in font, transparent background.
#pragma once
#include <cstdint>

#include "engine/gfx.h"

// The colour of all the game's text (0x00BBGGRR).
constexpr uint32_t TEXT_WHITE = 0xFFFFFF;

// Draws text with its top-left corner at (x, y) in colour (0x00BBGGRR), clipped to the
// surface; works on a locked surface too. 1, or 0 for no text or a missing or lost surface.
[[nodiscard]] int text_draw(const char* text, int x, int y, uint32_t colour, GfxSurface* surface);
// The same in the colour of display palette entry index; 0 for an index outside 0..255.
[[nodiscard]] int text_draw_indexed(const char* text, int x, int y, int index, GfxSurface* surface);
