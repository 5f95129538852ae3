// The window icon (Dorvo's head) and the mouse cursor (a gold pointer), colour key 253.
#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/pixmap.h"

namespace {

const LegendEntry icon_entries[] = {
    {'o', C_INK},       {'b', C_CAP + 1},   {'c', C_CAP + 2},   {'d', C_CAP + 3},
    {'e', C_CAP + 4},   {'3', C_SKIN + 2},  {'4', C_SKIN + 3},  {'6', C_HAIR + 0},
    {'7', C_HAIR + 1},  {'E', C_EYE},       {'i', C_SCARF + 3}, {'f', C_SCARF + 0},
    {'g', C_SCARF + 1}, {'h', C_SCARF + 2},
};
const Legend icon_legend = {icon_entries,
                            static_cast<int>(sizeof icon_entries / sizeof icon_entries[0])};

const char* const icon16_map = R"(
................
.....oooooo.....
...oodeeeddoo...
..obcdeeedddco..
.obccdddddcccbo.
oeddeeddeeddeedo
obccbccbccbccbco
.o764444444467o.
.o744E4444E447o.
.o744E4444E447o.
.o34i444444i43o.
..o3444ff4443o..
...oo333333oo...
..ofgghhhhggfo..
.ofgghhiihhhggfo
.oooooooooooooo.
)";

const LegendEntry pointer_entries[] = {
    {'o', C_INK},      {'h', C_GOLD + 7}, {'g', C_GOLD + 6},
    {'f', C_GOLD + 5}, {'d', C_GOLD + 3}, {'c', C_GOLD + 2},
};
const Legend pointer_legend = {
    pointer_entries, static_cast<int>(sizeof pointer_entries / sizeof pointer_entries[0])};

const char* const pointer_map = R"(
o............
oo...........
oho..........
ohgo.........
ohfgo........
ohffgo.......
ohfffgo......
ohffffgo.....
ohfffffgo....
ohffffffgo...
ohfffffffgo..
ohffffffffdo.
ohfffffdoooo.
ohffdffdo....
ohfdoodfdo...
ohdo.odffdo..
odo...odfdo..
oo.....odfdo.
o......odfdo.
........odo..
.........o...
)";

}  // namespace

Canvas icon_picture(int size) {
    Canvas out(size, size, C_KEY);
    if (size == 16) {
        out.blit(pixmap_read("icon 16", icon16_map, icon_legend), 0, 0, -1);
    } else if (size > 32 && size % 16 == 0) {
        // The desktop's larger sizes: the small face, every pixel a square, crisp at any size.
        const Canvas face = pixmap_read("icon 16", icon16_map, icon_legend);
        const int scale = size / 16;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                out.fill(x * scale, y * scale, scale, scale, face.at(x, y));
    } else {
        // The large icon is the small form's own head, centred.
        Canvas head = hero_small_frames()[0];
        out.blit_part(head, 0, 0, 24, 19, (size - 24) / 2 + 1, (size - 19) / 2, -1);
    }
    return out;
}

Canvas cursor_picture() {
    Canvas out(32, 32, C_KEY);
    out.blit(pixmap_read("pointer", pointer_map, pointer_legend), 0, 0, -1);
    return out;
}

void cursor_hotspot(int* x, int* y) {
    *x = 0;
    *y = 0;
}
