// Tests of polygon fill, outline and bounds, and of the polygon transforms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

Polygon2D polygon(Vertex2DF* vertices, int count, int x0, int y0, int color) {
    return {1, count, x0, y0, 0, 0, color, vertices};
}

// Every pixel more than one pixel inside the edges through the whole-pixel vertices (the
// position plus the vertex, truncated) is filled, and none lies more than one outside.
void expect_convex_fill(const Polygon2D& p, int bytes) {
    GuardedBuffer b(100, 80, bytes, 0);
    EXPECT_EQ((bytes == 2 ? polygon_fill16 : polygon_fill)(&p, b.pixels(), b.pitch), 1);
    EXPECT_TRUE(b.intact());
    const int color = p.color & (bytes == 2 ? 0xFFFF : 0xFF);
    for (int y = 0; y < b.height && !testing::Test::HasFailure(); ++y) {
        double left = 1e9, right = -1e9;
        for (int i = 0; i < p.vertex_count; ++i) {
            const int j = (i + 1) % p.vertex_count;
            const double x0 = std::trunc(p.x0 + p.vertices[i].x);
            const double y0 = std::trunc(p.y0 + p.vertices[i].y);
            const double x1 = std::trunc(p.x0 + p.vertices[j].x);
            const double y1 = std::trunc(p.y0 + p.vertices[j].y);
            if (y < std::min(y0, y1) || y > std::max(y0, y1))
                continue;
            const double x = y0 == y1 ? x0 : x0 + (x1 - x0) * (y - y0) / (y1 - y0);
            left = std::min({left, x, y0 == y1 ? x1 : x});
            right = std::max({right, x, y0 == y1 ? x1 : x});
        }
        for (int x = 0; x < b.width; ++x) {
            const bool set = b.value(x, y) == color;
            EXPECT_FALSE(set && (x < left - 1.01 || x > right + 1.01)) << "stray " << x << "," << y;
            EXPECT_FALSE(!set && x >= left + 1.01 && x <= right - 1.01) << "hole " << x << "," << y;
        }
    }
}

TEST(PolygonFill, ConvexShapesInEitherWindingMatchTheReference) {
    Vertex2DF hexagon[] = {{0, -30}, {26, -15}, {26, 15}, {0, 30}, {-26, 15}, {-26, -15}};
    Vertex2DF reversed[6];
    std::reverse_copy(hexagon, hexagon + 6, reversed);
    Vertex2DF square[] = {{0, 0}, {40, 0}, {40, 25}, {0, 25}};  // flat top and bottom
    Vertex2DF sliver[] = {{0, 0}, {3, 60}, {1, 61}};
    Vertex2DF fractional[] = {{0.7f, 0.2f}, {30.9f, 10.6f}, {12.3f, 40.8f}};
    const Polygon2D cases[] = {
        polygon(hexagon, 6, 50, 40, 0x1C7), polygon(reversed, 6, 50, 40, 0x1C7),
        polygon(square, 4, 10, 20, 9),      polygon(sliver, 3, 70, 5, 9),
        polygon(fractional, 3, 30, 20, 9),
    };
    for (const Polygon2D& p : cases) {
        expect_convex_fill(p, 1);
        expect_convex_fill(p, 2);
    }

    GuardedBuffer b(30, 30, 1, 0);
    Polygon2D hidden = polygon(hexagon, 6, 15, 15, 4);
    hidden.state = 0;
    EXPECT_EQ(polygon_fill(&hidden, b.pixels(), b.pitch), 0);
    Polygon2D line = polygon(square, 2, 5, 5, 4);
    EXPECT_EQ(polygon_fill(&line, b.pixels(), b.pitch), 0);
    EXPECT_EQ(b.count(4), 0);
}

TEST(PolygonDraw, ClosedOutlineOfClippedLines) {
    set_clip(0, 59, 0, 39);
    Vertex2DF box[] = {{0, 0}, {20, 0}, {20, 10}, {0, 10}};
    GuardedBuffer b(60, 40, 1, 0);
    Polygon2D p = polygon(box, 4, 5, 6, 2);
    EXPECT_EQ(polygon_draw(&p, b.pixels(), b.pitch), 1);
    EXPECT_EQ(b.count(2), 60);  // 21 + 21 + 9 + 9: each corner once
    EXPECT_EQ(b.at(25, 16), 2);
    EXPECT_EQ(b.at(15, 11), 0);

    set_clip(4, 50, 3, 30);
    Vertex2DF big[] = {{-20, 10}, {30, -10}, {60, 20}, {20, 40}};
    GuardedBuffer words(60, 40, 2, 0);
    Polygon2D q = polygon(big, 4, 10, 5, 0x7E0);
    EXPECT_EQ(polygon_draw16(&q, words.pixels(), words.pitch), 1);
    EXPECT_TRUE(words.intact());
    EXPECT_TRUE(clean_outside_clip(words, 0));
    EXPECT_GT(words.count(0x7E0), 0);

    q.state = 0;
    EXPECT_EQ(polygon_draw(&q, b.pixels(), b.pitch), 0);
    EXPECT_EQ(b.count(0x7E0 & 0xFF), 0);
}

TEST(PolygonBounds, AlwaysHoldTheOrigin) {
    float min_x, max_x, min_y, max_y;
    Vertex2DF away[] = {{5, 7}, {12, 7}, {9, 20}};
    Polygon2D p = polygon(away, 3, 100, 100, 1);
    EXPECT_EQ(polygon_bounds(&p, &min_x, &max_x, &min_y, &max_y), 1);
    EXPECT_EQ(min_x, 0);
    EXPECT_EQ(max_x, 12);
    EXPECT_EQ(min_y, 0);
    EXPECT_EQ(max_y, 20);

    Vertex2DF around[] = {{-5, 3}, {4, -8}, {2.5f, 6}};
    p = polygon(around, 3, 0, 0, 1);
    polygon_bounds(&p, &min_x, &max_x, &min_y, &max_y);
    EXPECT_EQ(min_x, -5);
    EXPECT_EQ(max_x, 4);
    EXPECT_EQ(min_y, -8);
    EXPECT_EQ(max_y, 6);

    Polygon2D empty = polygon(nullptr, 0, 3, 3, 1);
    EXPECT_EQ(polygon_bounds(&empty, &min_x, &max_x, &min_y, &max_y), 0);
}

TEST(PolygonTransforms, RotationByMinus90UsesThe270Entries) {
    trig_tables_build();
    Vertex2DF v[] = {{10, 0}, {3, 4}}, w[] = {{10, 0}, {3, 4}};
    Polygon2D p = polygon(v, 2, 0, 0, 1), q = polygon(w, 2, 0, 0, 1);
    polygon_rotate(&p, -90);
    polygon_rotate_m(&q, -90);
    EXPECT_EQ(v[1].x, 3 * cos_table[270] - 4 * sin_table[270]);
    EXPECT_EQ(v[1].y, 3 * sin_table[270] + 4 * cos_table[270]);
    EXPECT_NEAR(v[1].x, 4, 1e-5);
    EXPECT_NEAR(v[1].y, -3, 1e-5);
    EXPECT_NEAR(v[0].y, -10, 1e-5);
    EXPECT_FLOAT_EQ(w[1].x, v[1].x);  // the matrix form agrees
    EXPECT_FLOAT_EQ(w[1].y, v[1].y);

    // Angles past a whole turn wrap instead of reading past the tables.
    Vertex2DF a[] = {{3, 4}}, b[] = {{3, 4}};
    Polygon2D pa = polygon(a, 1, 0, 0, 1), pb = polygon(b, 1, 0, 0, 1);
    polygon_rotate(&pa, 450);
    polygon_rotate(&pb, 90);
    EXPECT_EQ(a[0].x, b[0].x);
    EXPECT_EQ(a[0].y, b[0].y);
    polygon_rotate(&pa, -810);
    EXPECT_NEAR(a[0].x, 3, 1e-5);
    EXPECT_NEAR(a[0].y, 4, 1e-5);
}

TEST(PolygonTransforms, TranslateMovesThePositionAndScaleTheVertices) {
    Vertex2DF v[] = {{2, -3}, {-1, 5}};
    Polygon2D p = polygon(v, 2, 10, 20, 1);
    polygon_translate(&p, 5, -7);
    polygon_translate_m(&p, -20, 4);
    EXPECT_EQ(p.x0, -5);
    EXPECT_EQ(p.y0, 17);
    EXPECT_EQ(v[0].x, 2);
    polygon_scale(&p, 2, 0.5f);
    polygon_scale_m(&p, -1, 4);
    EXPECT_FLOAT_EQ(v[0].x, -4);
    EXPECT_FLOAT_EQ(v[0].y, -6);
    EXPECT_FLOAT_EQ(v[1].x, 2);
    EXPECT_FLOAT_EQ(v[1].y, 10);
    EXPECT_EQ(p.x0, -5);
}

}  // namespace
