// Lines: region-code clipping to the clip bounds and Bresenham rasterising, 8 and 16 bits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/display.h"
#include "engine/primitives.h"

namespace {

enum : int { CLIP_LEFT = 1, CLIP_RIGHT = 2, CLIP_BOTTOM = 4, CLIP_TOP = 8 };

// Products of two coordinate differences need more than 64 bits at the extremes.
__extension__ typedef __int128 Wide;

int region_code(int x, int y) {
    int code = 0;
    if (y < clip_min_y) {
        code |= CLIP_TOP;
    } else if (y > clip_max_y) {
        code |= CLIP_BOTTOM;
    }
    if (x < clip_min_x) {
        code |= CLIP_LEFT;
    } else if (x > clip_max_x) {
        code |= CLIP_RIGHT;
    }
    return code;
}

bool inside_bounds(int x, int y) {
    return x >= clip_min_x && x <= clip_max_x && y >= clip_min_y && y <= clip_max_y;
}

// Where the segment meets a boundary: the other coordinate is (coordinate + 0.5 + q)
// truncated, with q the integer quotient of (boundary - along) * other_delta / along_delta.
// The crossing lies between the end points, so it fits an int.
int crossing(int coordinate, int boundary, int along, Wide other_delta, Wide along_delta) {
    const Wide q = (Wide(boundary) - along) * other_delta / along_delta;
    return static_cast<int>(static_cast<double>(coordinate) + 0.5 + static_cast<double>(q));
}

// Moves an outside end point (x, y) with region code `code` onto the boundary it names,
// towards the other end point. The other point never shares a bit of the code, so the
// delta along the clipped axis is never 0.
void clip_end(int code, int x, int y, int other_x, int other_y, int* out_x, int* out_y) {
    const Wide dx = Wide(other_x) - x;
    const Wide dy = Wide(other_y) - y;
    int cx = x;
    int cy = y;
    if (code & (CLIP_TOP | CLIP_BOTTOM)) {
        cy = (code & CLIP_TOP) ? clip_min_y : clip_max_y;
        cx = crossing(x, cy, y, dx, dy);
        // A corner point takes the side boundary when the top or bottom crossing misses.
        if ((code & (CLIP_LEFT | CLIP_RIGHT)) && (cx < clip_min_x || cx > clip_max_x)) {
            cx = (code & CLIP_LEFT) ? clip_min_x : clip_max_x;
            cy = crossing(y, cx, x, dy, dx);
        }
    } else if (code & (CLIP_LEFT | CLIP_RIGHT)) {
        cx = (code & CLIP_LEFT) ? clip_min_x : clip_max_x;
        cy = crossing(y, cx, x, dy, dx);
    }
    *out_x = cx;
    *out_y = cy;
}

// Bresenham on pixels of type Pixel; stride is the row length in pixels.
template <typename Pixel>
void raster(int x1, int y1, int x2, int y2, Pixel color, Pixel* pixels, ptrdiff_t stride) {
    long long dx = static_cast<long long>(x2) - x1;
    long long dy = static_cast<long long>(y2) - y1;
    const ptrdiff_t x_step = dx < 0 ? -1 : 1;
    const ptrdiff_t y_step = dy < 0 ? -stride : stride;
    dx = std::llabs(dx);
    dy = std::llabs(dy);
    ptrdiff_t at = static_cast<ptrdiff_t>(y1) * stride + x1;
    // Step along the axis with the larger delta; the error term decides the other axis.
    const long long major = dx > dy ? dx : dy;
    const long long minor = dx > dy ? dy : dx;
    const ptrdiff_t major_step = dx > dy ? x_step : y_step;
    const ptrdiff_t minor_step = dx > dy ? y_step : x_step;
    long long error = 2 * minor - major;
    for (long long i = 0; i <= major; ++i) {
        pixels[at] = color;
        if (error >= 0) {
            error -= 2 * major;
            at += minor_step;
        }
        error += 2 * minor;
        at += major_step;
    }
}

}  // namespace

int line_clip(int* x1, int* y1, int* x2, int* y2) {
    const int code1 = region_code(*x1, *y1);
    const int code2 = region_code(*x2, *y2);
    if (code1 & code2)
        return 0;
    if (code1 == 0 && code2 == 0)
        return 1;
    int cx1 = *x1, cy1 = *y1, cx2 = *x2, cy2 = *y2;
    if (code1)
        clip_end(code1, *x1, *y1, *x2, *y2, &cx1, &cy1);
    if (code2)
        clip_end(code2, *x2, *y2, *x1, *y1, &cx2, &cy2);
    if (!inside_bounds(cx1, cy1) || !inside_bounds(cx2, cy2))
        return 0;
    *x1 = cx1;
    *y1 = cy1;
    *x2 = cx2;
    *y2 = cy2;
    return 1;
}

int line_raster(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch) {
    raster<uint8_t>(x1, y1, x2, y2, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int line_raster16(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch) {
    raster<uint16_t>(x1, y1, x2, y2, static_cast<uint16_t>(color),
                     reinterpret_cast<uint16_t*>(buffer), pitch >> 1);
    return 1;
}

int line_draw(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch) {
    if (line_clip(&x1, &y1, &x2, &y2))
        line_raster(x1, y1, x2, y2, color, buffer, pitch);
    return 1;
}

int line_draw16(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch) {
    if (line_clip(&x1, &y1, &x2, &y2))
        line_raster16(x1, y1, x2, y2, color, buffer, pitch);
    return 1;
}
