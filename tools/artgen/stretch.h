// The display service's stretch mapping, used to place the floor line and the pits where the
// game will show them.
#pragma once

// Source pixel sampled by destination pixel i of a stretch of src_len pixels onto dst_len.
inline int stretch_source(int i, int src_len, int dst_len) {
    int step = (src_len << 9) / dst_len;
    return ((2 * i + 1) * step) >> 10;
}

// A copy of src stretched to dst_w x dst_h with that mapping.
#include "tools/artgen/canvas.h"
inline Canvas stretch_picture(const Canvas& src, int dst_w, int dst_h) {
    Canvas out(dst_w, dst_h, 0);
    for (int y = 0; y < dst_h; ++y) {
        int sy = stretch_source(y, src.height, dst_h);
        for (int x = 0; x < dst_w; ++x) out.put(x, y, src.at(stretch_source(x, src.width, dst_w), sy));
    }
    return out;
}
