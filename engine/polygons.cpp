// Polygons: convex fill by two edge chains walked down from the top vertex, closed outlines
// of clipped lines, and the bounding box of the vertices; 8 and 16 bits.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/primitives.h"

namespace {

// Truncates a screen coordinate toward zero; values beyond any buffer saturate instead of
// overflowing the conversion.
int to_pixel(float v) {
    constexpr float limit = 1 << 30;
    if (!(v > -limit))
        return -(1 << 30);
    if (!(v < limit))
        return 1 << 30;
    return static_cast<int>(v);
}

int vertex_x(const Polygon2D* p, int i) {
    return to_pixel(p->x0 + p->vertices[i].x);
}
int vertex_y(const Polygon2D* p, int i) {
    return to_pixel(p->y0 + p->vertices[i].y);
}

// Integer edge stepper: x on each row of a downward edge, x = start + floor(dx * rows / dy).
struct EdgeStepper {
    long long x, whole, remainder, dy, error;
    int y_end;

    void start(int x_start, int y_start, int x_end, int y_end_row) {
        dy = static_cast<long long>(y_end_row) - y_start;
        const long long dx = static_cast<long long>(x_end) - x_start;
        whole = dx / dy;
        if (whole * dy > dx)
            --whole;  // floor division
        remainder = dx - whole * dy;
        x = x_start;
        error = 0;
        y_end = y_end_row;
    }
    void step() {
        x += whole;
        error += remainder;
        if (error >= dy) {
            ++x;
            error -= dy;
        }
    }
};

// One chain of edges from the top vertex, walking the vertex list in direction dir.
struct EdgeChain {
    const Polygon2D* polygon;
    int at;
    int dir;
    int edges_taken;
    bool loaded;
    EdgeStepper edge;

    // Makes the current edge one that covers row y, skipping flat edges. False when the
    // chain turns upward or runs out: the outline is not convex and the fill stops there.
    bool reach(int y, int bottom) {
        const int n = polygon->vertex_count;
        while (!loaded || (edge.y_end <= y && y < bottom)) {
            if (edges_taken >= n)
                return false;
            const int from = at;
            at = (at + dir + n) % n;
            ++edges_taken;
            const int y_from = vertex_y(polygon, from);
            const int y_to = vertex_y(polygon, at);
            if (y_to < y_from)
                return false;
            if (y_to == y_from)
                continue;
            edge.start(vertex_x(polygon, from), y_from, vertex_x(polygon, at), y_to);
            loaded = true;
        }
        return true;
    }
};

template <typename Pixel>
int fill(const Polygon2D* polygon, Pixel color, Pixel* pixels, ptrdiff_t stride) {
    if (polygon->state == 0 || polygon->vertex_count < 3 || !polygon->vertices)
        return 0;
    int top = 0;
    int bottom_y = vertex_y(polygon, 0);
    for (int i = 1; i < polygon->vertex_count; ++i) {
        const int y = vertex_y(polygon, i);
        if (y < vertex_y(polygon, top))
            top = i;
        bottom_y = std::max(bottom_y, y);
    }
    EdgeChain left{polygon, top, -1, 0, false, {}};
    EdgeChain right{polygon, top, +1, 0, false, {}};
    for (int y = vertex_y(polygon, top); y <= bottom_y; ++y) {
        if (!left.reach(y, bottom_y) || !right.reach(y, bottom_y))
            break;
        const long long x1 = std::min(left.edge.x, right.edge.x);
        const long long x2 = std::max(left.edge.x, right.edge.x);
        std::fill_n(pixels + static_cast<ptrdiff_t>(y) * stride + x1, x2 - x1 + 1, color);
        if (y < left.edge.y_end)
            left.edge.step();
        if (y < right.edge.y_end)
            right.edge.step();
    }
    return 1;
}

using LineDraw = int (*)(int, int, int, int, int, uint8_t*, int);

int outline(const Polygon2D* polygon, uint8_t* buffer, int pitch, LineDraw line) {
    if (polygon->state == 0 || polygon->vertex_count < 1 || !polygon->vertices)
        return 0;
    const int n = polygon->vertex_count;
    for (int i = 0; i + 1 < n; ++i) {
        line(vertex_x(polygon, i), vertex_y(polygon, i), vertex_x(polygon, i + 1),
             vertex_y(polygon, i + 1), polygon->color, buffer, pitch);
    }
    line(vertex_x(polygon, 0), vertex_y(polygon, 0), vertex_x(polygon, n - 1),
         vertex_y(polygon, n - 1), polygon->color, buffer, pitch);
    return 1;
}

}  // namespace

int polygon_fill(const Polygon2D* polygon, uint8_t* buffer, int pitch) {
    return fill<uint8_t>(polygon, static_cast<uint8_t>(polygon->color), buffer, pitch);
}

int polygon_fill16(const Polygon2D* polygon, uint8_t* buffer, int pitch) {
    return fill<uint16_t>(polygon, static_cast<uint16_t>(polygon->color),
                          reinterpret_cast<uint16_t*>(buffer), pitch >> 1);
}

int polygon_draw(const Polygon2D* polygon, uint8_t* buffer, int pitch) {
    return outline(polygon, buffer, pitch, line_draw);
}

int polygon_draw16(const Polygon2D* polygon, uint8_t* buffer, int pitch) {
    return outline(polygon, buffer, pitch, line_draw16);
}

int polygon_bounds(const Polygon2D* polygon, float* min_x, float* max_x, float* min_y,
                   float* max_y) {
    *min_x = *max_x = *min_y = *max_y = 0.0f;
    if (polygon->vertex_count <= 0 || !polygon->vertices)
        return 0;
    for (int i = 0; i < polygon->vertex_count; ++i) {
        const Vertex2DF& v = polygon->vertices[i];
        *min_x = std::min(*min_x, v.x);
        *max_x = std::max(*max_x, v.x);
        *min_y = std::min(*min_y, v.y);
        *max_y = std::max(*max_y, v.y);
    }
    return 1;
}
