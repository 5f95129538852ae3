// Filled triangles: flat-top and flat-bottom halves with float or 16.16 fixed-point edges,
// and general triangles split at the middle vertex; clipped per row, 8 and 16 bits.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/display.h"
#include "engine/primitives.h"

namespace {

bool outside_horizontal_bounds(int x) {
    return x < clip_min_x || x > clip_max_x;
}

// Fills left..right of one row, clamped to the horizontal clip bounds when `clip` is set
// and dropped when wholly outside them.
template <typename Pixel>
void fill_row(Pixel* pixels, ptrdiff_t stride, int row, int left, int right, Pixel color,
              bool clip) {
    if (clip) {
        if (right < clip_min_x || left > clip_max_x)
            return;
        left = std::max(left, clip_min_x);
        right = std::min(right, clip_max_x);
    }
    if (right < left)
        return;
    std::fill_n(pixels + static_cast<ptrdiff_t>(row) * stride + left, right - left + 1, color);
}

// One half with float edges: the left edge runs from left_top to left_bottom, the right
// edge from right_top + 0.5 to right_bottom + 0.5, over rows top..bottom. Each row's edge
// is worked out from the top row rather than summed step by step, so rounding never carries
// a span past a vertex that sits on a clip bound.
template <typename Pixel>
void half_float(int left_top, int left_bottom, int right_top, int right_bottom, int top, int bottom,
                bool clip, Pixel color, Pixel* pixels, ptrdiff_t stride) {
    const long long height = static_cast<long long>(bottom) - top;
    if (height <= 0)
        return;
    const double left_run = static_cast<double>(left_bottom) - left_top;
    const double right_run = static_cast<double>(right_bottom) - right_top;
    const int first = std::max(top, clip_min_y);
    const int last = std::min(bottom, clip_max_y);
    for (int row = first; row <= last; ++row) {
        const double down = static_cast<double>(row - static_cast<long long>(top));
        const double xs = left_top + left_run * down / static_cast<double>(height);
        const double xe = right_top + 0.5 + right_run * down / static_cast<double>(height);
        fill_row(pixels, stride, row, static_cast<int>(xs), static_cast<int>(xe), color, clip);
    }
}

// The same with 16.16 fixed-point edges stepped per row. Steps are truncated toward zero,
// so an edge never overshoots its lower vertex.
void half_fixed(int left_top, int left_bottom, int right_top, int right_bottom, int top, int bottom,
                bool clip, uint8_t color, uint8_t* pixels, ptrdiff_t stride) {
    const long long height = static_cast<long long>(bottom) - top;
    if (height <= 0 || bottom < clip_min_y)
        return;
    const long long left_step = ((static_cast<long long>(left_bottom) - left_top) * 65536) / height;
    const long long right_step =
        ((static_cast<long long>(right_bottom) - right_top) * 65536) / height;
    long long left = static_cast<long long>(left_top) * 65536;
    long long right = static_cast<long long>(right_top) * 65536 + 32768;
    int first = top;
    if (first < clip_min_y) {
        const long long skipped = static_cast<long long>(clip_min_y) - top;
        left += left_step * skipped;
        right += right_step * skipped;
        first = clip_min_y;
    }
    const int last = std::min(bottom, clip_max_y);
    for (int row = first; row <= last; ++row) {
        fill_row(pixels, stride, row, static_cast<int>(left >> 16), static_cast<int>(right >> 16),
                 color, clip);
        left += left_step;
        right += right_step;
    }
}

bool any_outside(int x1, int x2, int x3) {
    return outside_horizontal_bounds(x1) || outside_horizontal_bounds(x2) ||
           outside_horizontal_bounds(x3);
}

template <typename Pixel>
void flat_top_float(int x1, int y1, int x2, int x3, int y3, int color, uint8_t* buffer, int pitch) {
    if (x2 < x1)
        std::swap(x1, x2);
    half_float<Pixel>(x1, x3, x2, x3, y1, y3, any_outside(x1, x2, x3), static_cast<Pixel>(color),
                      reinterpret_cast<Pixel*>(buffer), pitch / static_cast<int>(sizeof(Pixel)));
}

template <typename Pixel>
void flat_bottom_float(int x1, int y1, int x2, int x3, int y3, int color, uint8_t* buffer,
                       int pitch) {
    if (x3 < x2)
        std::swap(x2, x3);
    half_float<Pixel>(x1, x2, x1, x3, y1, y3, any_outside(x1, x2, x3), static_cast<Pixel>(color),
                      reinterpret_cast<Pixel*>(buffer), pitch / static_cast<int>(sizeof(Pixel)));
}

using HalfFill = int (*)(int, int, int, int, int, int, int, uint8_t*, int);

// Orders the vertices by y, rejects flat and wholly outside triangles, and splits the rest
// at the middle vertex into a flat-bottom and a flat-top half.
void split_fill(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                int pitch, HalfFill flat_top, HalfFill flat_bottom) {
    if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3))
        return;
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (y3 < y1) {
        std::swap(x1, x3);
        std::swap(y1, y3);
    }
    if (y3 < y2) {
        std::swap(x2, x3);
        std::swap(y2, y3);
    }
    if (y3 < clip_min_y || y1 > clip_max_y)
        return;
    if (x1 < clip_min_x && x2 < clip_min_x && x3 < clip_min_x)
        return;
    if (x1 > clip_max_x && x2 > clip_max_x && x3 > clip_max_x)
        return;
    if (y1 == y2) {
        flat_top(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
    } else if (y2 == y3) {
        flat_bottom(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
    } else {
        // Where the long edge crosses the middle row, rounded to the nearest pixel.
        const double t = (static_cast<double>(y2) - y1) / (static_cast<double>(y3) - y1);
        const int middle_x =
            static_cast<int>(std::floor(x1 + t * (static_cast<double>(x3) - x1) + 0.5));
        flat_bottom(x1, y1, middle_x, y2, x2, y2, color, buffer, pitch);
        flat_top(x2, y2, middle_x, y2, x3, y3, color, buffer, pitch);
    }
}

}  // namespace

int triangle_fill_flat_top(int x1, int y1, int x2, int, int x3, int y3, int color, uint8_t* buffer,
                           int pitch) {
    flat_top_float<uint8_t>(x1, y1, x2, x3, y3, color, buffer, pitch);
    return 1;
}

int triangle_fill_flat_bottom(int x1, int y1, int x2, int, int x3, int y3, int color,
                              uint8_t* buffer, int pitch) {
    flat_bottom_float<uint8_t>(x1, y1, x2, x3, y3, color, buffer, pitch);
    return 1;
}

int triangle_fill_flat_top16(int x1, int y1, int x2, int, int x3, int y3, int color,
                             uint8_t* buffer, int pitch) {
    flat_top_float<uint16_t>(x1, y1, x2, x3, y3, color, buffer, pitch & ~1);
    return 1;
}

int triangle_fill_flat_bottom16(int x1, int y1, int x2, int, int x3, int y3, int color,
                                uint8_t* buffer, int pitch) {
    flat_bottom_float<uint16_t>(x1, y1, x2, x3, y3, color, buffer, pitch & ~1);
    return 1;
}

int triangle_fill(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                  int pitch) {
    split_fill(x1, y1, x2, y2, x3, y3, color, buffer, pitch, triangle_fill_flat_top,
               triangle_fill_flat_bottom);
    return 1;
}

int triangle_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                    int pitch) {
    split_fill(x1, y1, x2, y2, x3, y3, color, buffer, pitch, triangle_fill_flat_top16,
               triangle_fill_flat_bottom16);
    return 1;
}

int triangle_fill_flat_top_fixed(int x1, int y1, int x2, int, int x3, int y3, int color,
                                 uint8_t* buffer, int pitch) {
    if (x2 < x1)
        std::swap(x1, x2);
    half_fixed(x1, x3, x2, x3, y1, y3, any_outside(x1, x2, x3), static_cast<uint8_t>(color), buffer,
               pitch);
    return 1;
}

int triangle_fill_flat_bottom_fixed(int x1, int y1, int x2, int, int x3, int y3, int color,
                                    uint8_t* buffer, int pitch) {
    if (x3 < x2)
        std::swap(x2, x3);
    half_fixed(x1, x2, x1, x3, y1, y3, any_outside(x1, x2, x3), static_cast<uint8_t>(color), buffer,
               pitch);
    return 1;
}

int triangle_fill_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                        int pitch) {
    split_fill(x1, y1, x2, y2, x3, y3, color, buffer, pitch, triangle_fill_flat_top_fixed,
               triangle_fill_flat_bottom_fixed);
    return 1;
}
