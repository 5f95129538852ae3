// Temporary stand-ins while the pictures are drawn.
#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"

Canvas backdrop_strip() { return Canvas(256 * 13, 224, C_SKY + 8); }
Canvas backdrop_panel(const Canvas& strip, int k) {
    Canvas out(256, 224, 0);
    out.blit_part(strip, 256 * (k - 1), 0, 256, 224, 0, 0, -1);
    return out;
}
Canvas icon_picture(int size) { return Canvas(size, size, C_CAP + 3); }
Canvas cursor_picture() { return Canvas(32, 32, C_KEY); }
void cursor_hotspot(int* x, int* y) { *x = 1; *y = 1; }
Canvas menu_picture(int) { return Canvas(640, 480, C_NIGHT + 2); }
Canvas info_picture(int) { return Canvas(640, 480, C_NIGHT + 1); }
