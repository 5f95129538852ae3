// Temporary stand-ins while the pictures are drawn.
#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"

Canvas icon_picture(int size) { return Canvas(size, size, C_CAP + 3); }
Canvas cursor_picture() { return Canvas(32, 32, C_KEY); }
void cursor_hotspot(int* x, int* y) { *x = 1; *y = 1; }
Canvas menu_picture(int) { return Canvas(640, 480, C_NIGHT + 2); }
Canvas info_picture(int) { return Canvas(640, 480, C_NIGHT + 1); }
