// Sprite sheets on the cell grid the game's loader cuts: cell (cx, cy) of a w x h sprite
// starts at (cx (w + 1) + 1, cy (h + 1) + 1); grid lines and spare room are the colour key.
#pragma once
#include "tools/artgen/canvas.h"

// An empty sheet of cols x rows cells of w x h, its width rounded up to a multiple of 4.
Canvas sheet_new(int w, int h, int cols, int rows);
// Places frame in cell (cx, cy) of a sheet of w x h cells.
void sheet_put(Canvas& sheet, int w, int h, int cx, int cy, const Canvas& frame);
// Rounds n up to a multiple of 4.
inline int round4(int n) {
    return (n + 3) / 4 * 4;
}
