// Sprite sheets on the loader's cell grid.
#include "tools/artgen/sheet.h"

#include "tools/artgen/palette.h"

Canvas sheet_new(int w, int h, int cols, int rows) {
    return Canvas(round4(cols * (w + 1) + 1), rows * (h + 1) + 1, C_KEY);
}

void sheet_put(Canvas& sheet, int w, int h, int cx, int cy, const Canvas& frame) {
    sheet.blit_part(frame, 0, 0, w, h, cx * (w + 1) + 1, cy * (h + 1) + 1, -1);
}
