// The level preview: the whole backdrop strip at screen scale with every object of the level
// tables at its start position.
#pragma once

// Writes the 7124 x 480 preview as a PNG; 1 or 0.
int write_level_preview(const char* path);
// The preview as 8-bit pixels (for tests and for the writer).
#include "tools/artgen/canvas.h"
Canvas level_preview();
// The screen as a played frame would show the backdrop scrolled by scroll pixels, 640 x 480.
Canvas backdrop_screen(int scroll);
