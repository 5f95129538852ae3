// The level preview: the whole backdrop strip at screen scale with every object of the level
// tables at its start position.
#pragma once
#include "tools/artgen/canvas.h"

// The preview as 8-bit pixels, 7124 x 480.
Canvas level_preview();
// Writes the preview as a PNG; 1 or 0.
int write_level_preview(const char* path);
// The screen as a played frame would show the backdrop scrolled by scroll pixels, 640 x 480.
Canvas backdrop_screen(int scroll);
