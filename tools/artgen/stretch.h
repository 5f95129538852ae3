// Stretching pictures with the display service's own mapping, so that the floor line and
// the pits land where the game will show them.
#pragma once
#include "engine/gfx.h"
#include "tools/artgen/canvas.h"

// Source pixel sampled by destination pixel i of a stretch of src_len pixels onto dst_len.
inline int stretch_source(int i, int src_len, int dst_len) {
    return gfx_stretch_source(i, src_len, dst_len);
}

// A copy of src stretched to dst_w x dst_h with that mapping.
inline Canvas stretch_picture(const Canvas& src, int dst_w, int dst_h) {
    Canvas out(dst_w, dst_h, 0);
    for (int y = 0; y < dst_h; ++y) {
        int sy = stretch_source(y, src.height, dst_h);
        for (int x = 0; x < dst_w; ++x)
            out.put(x, y, src.at(stretch_source(x, src.width, dst_w), sy));
    }
    return out;
}
