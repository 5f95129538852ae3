// Tests of the triangle fills against a plain reference: the exact span of the triangle on
// each row, allowing the rounding of the fill (truncated left edge, right edge rounded, the
// split point rounded to the nearest pixel).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

struct Triangle {
    int x[3], y[3];
};

// The exact horizontal extent of the triangle on row y; false when the row misses it.
bool row_extent(const Triangle& t, int y, double* left, double* right) {
    const int top = std::min({t.y[0], t.y[1], t.y[2]});
    const int bottom = std::max({t.y[0], t.y[1], t.y[2]});
    if (y < top || y > bottom)
        return false;
    *left = 1e9;
    *right = -1e9;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int y0 = t.y[i], y1 = t.y[j], x0 = t.x[i], x1 = t.x[j];
        if (y < std::min(y0, y1) || y > std::max(y0, y1))
            continue;
        if (y0 == y1) {
            *left = std::min({*left, double(x0), double(x1)});
            *right = std::max({*right, double(x0), double(x1)});
        } else {
            const double x = x0 + double(x1 - x0) * (y - y0) / (y1 - y0);
            *left = std::min(*left, x);
            *right = std::max(*right, x);
        }
    }
    return true;
}

using Fill = int (*)(int, int, int, int, int, int, int, uint8_t*, int);

// Draws t with fill into a guarded buffer whose clip bounds lie inside it, and checks every
// pixel against the reference. Returns the number of pixels drawn.
int check_fill(const Triangle& t, Fill fill, int bytes) {
    SCOPED_TRACE(testing::Message() << "triangle (" << t.x[0] << "," << t.y[0] << ") (" << t.x[1]
                                    << "," << t.y[1] << ") (" << t.x[2] << "," << t.y[2] << ")");
    constexpr int color = 0x5A;
    GuardedBuffer b(160, 120, bytes, 0);
    set_clip(9, 149, 7, 111);
    EXPECT_EQ(fill(t.x[0], t.y[0], t.x[1], t.y[1], t.x[2], t.y[2], color, b.pixels(), b.pitch), 1);
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));
    const bool flat =
        (t.x[0] == t.x[1] && t.x[1] == t.x[2]) || (t.y[0] == t.y[1] && t.y[1] == t.y[2]);
    constexpr double eps = 0.02;
    int drawn = 0, failures = 0;
    for (int y = 0; y < b.height && failures < 5; ++y) {
        double left = 0, right = 0;
        const bool on_row = row_extent(t, y, &left, &right);
        for (int x = 0; x < b.width; ++x) {
            const bool set = b.value(x, y) == color;
            drawn += set;
            const bool inside_clip =
                x >= clip_min_x && x <= clip_max_x && y >= clip_min_y && y <= clip_max_y;
            if (set && (!on_row || flat || x < left - 1.5 - eps || x > right + 1.0 + eps)) {
                ADD_FAILURE() << "stray pixel at " << x << "," << y;
                ++failures;
            }
            if (!set && on_row && !flat && inside_clip && x >= left + 0.5 + eps &&
                x <= right - 0.5 - eps) {
                ADD_FAILURE() << "hole at " << x << "," << y;
                ++failures;
            }
        }
    }
    return drawn;
}

const Fill fills[] = {triangle_fill, triangle_fill16, triangle_fill_fixed};
const int fill_bytes[] = {1, 2, 1};

TEST(Triangles, SplitAtTheMiddleVertexMatchesTheReference) {
    const Triangle cases[] = {
        {{20, 100, 40}, {10, 50, 90}},    // middle vertex right of the long edge
        {{130, 30, 120}, {15, 60, 105}},  // middle vertex left of it
        {{60, 61, 62}, {10, 60, 100}},    // nearly a vertical line
        {{12, 140, 75}, {20, 21, 22}},    // nearly a horizontal line
    };
    for (int f = 0; f < 3; ++f) {
        for (const Triangle& t : cases)
            EXPECT_GT(check_fill(t, fills[f], fill_bytes[f]), 0);
    }
    // The middle row is drawn from the long edge to the middle vertex.
    GuardedBuffer b(160, 120, 1, 0);
    set_clip(0, 159, 0, 119);
    triangle_fill(20, 10, 100, 50, 40, 90, 3, b.pixels(), b.pitch);
    EXPECT_EQ(b.at(30, 50), 3);
    EXPECT_EQ(b.at(100, 50), 3);
    EXPECT_EQ(b.at(29, 50), 0);
    EXPECT_EQ(b.at(101, 50), 0);
}

TEST(Triangles, FlatHalvesTakeTheirVerticesInEitherOrder) {
    const Triangle top{{30, 110, 70}, {20, 20, 90}};
    const Triangle bottom{{70, 110, 30}, {20, 90, 90}};
    const Fill halves[] = {triangle_fill_flat_top, triangle_fill_flat_top16,
                           triangle_fill_flat_top_fixed};
    const Fill bottoms[] = {triangle_fill_flat_bottom, triangle_fill_flat_bottom16,
                            triangle_fill_flat_bottom_fixed};
    for (int f = 0; f < 3; ++f) {
        const int a = check_fill(top, halves[f], fill_bytes[f]);
        const int b = check_fill({{110, 30, 70}, {20, 20, 90}}, halves[f], fill_bytes[f]);
        EXPECT_EQ(a, b);
        EXPECT_EQ(check_fill(bottom, bottoms[f], fill_bytes[f]),
                  check_fill({{70, 30, 110}, {20, 90, 90}}, bottoms[f], fill_bytes[f]));
    }
}

// Rows run from the left edge truncated to the right edge rounded to the nearest pixel.
TEST(Triangles, LeftEdgeTruncatesAndRightEdgeRounds) {
    const Fill bottoms[] = {triangle_fill_flat_bottom, triangle_fill_flat_bottom16,
                            triangle_fill_flat_bottom_fixed};
    for (int f = 0; f < 3; ++f) {
        GuardedBuffer b(30, 30, fill_bytes[f], 0);
        set_clip(0, 29, 0, 29);
        bottoms[f](10, 10, 7, 20, 13, 20, 6, b.pixels(), b.pitch);
        // Row 12: the left edge is at 9.4, the right one at 10.6.
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(b.value(x, 12) == 6, x >= 9 && x <= 11) << x;
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(b.value(x, 20) == 6, x >= 7 && x <= 13) << x;
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(b.value(x, 10) == 6, x == 10) << x;
    }
}

TEST(Triangles, DegenerateAndWhollyOutsideTrianglesDrawNothing) {
    const Triangle cases[] = {
        {{40, 40, 40}, {10, 50, 90}},      // three equal x
        {{10, 50, 90}, {40, 40, 40}},      // three equal y
        {{-50, -5, -20}, {10, 60, 100}},   // left of the bounds
        {{150, 400, 200}, {10, 60, 100}},  // right of them
        {{10, 60, 100}, {-90, -8, -30}},   // above
        {{10, 60, 100}, {112, 119, 500}},  // below
    };
    for (int f = 0; f < 3; ++f) {
        for (const Triangle& t : cases)
            EXPECT_EQ(check_fill(t, fills[f], fill_bytes[f]), 0);
    }
}

TEST(Triangles, PartlyOutsideTrianglesAreCutToTheClipBounds) {
    const Triangle cases[] = {
        {{-40, 80, 200}, {50, -30, 60}},    // across left, top and right
        {{80, -100, 300}, {60, 300, 140}},  // across every bound
        {{5, 9, 149}, {7, 111, 60}},        // vertices on and just past the bounds
        {{9, 149, 9}, {7, 50, 111}},        // vertices exactly on the bounds
        {{-1000, 2000, 70}, {-900, -800, 5000}},
    };
    for (int f = 0; f < 3; ++f) {
        for (const Triangle& t : cases)
            EXPECT_GT(check_fill(t, fills[f], fill_bytes[f]), 0);
    }
}

TEST(Triangles, ManyTrianglesAroundTheBoundsMatchTheReference) {
    uint32_t seed = 12345;
    auto next = [&seed](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + static_cast<int>((seed >> 8) % static_cast<uint32_t>(hi - lo + 1));
    };
    for (int i = 0; i < 120; ++i) {
        Triangle t;
        for (int k = 0; k < 3; ++k) {
            t.x[k] = next(-40, 200);
            t.y[k] = next(-30, 150);
        }
        for (int f = 0; f < 3; ++f)
            check_fill(t, fills[f], fill_bytes[f]);
        if (HasFailure())
            break;
    }
}

}  // namespace
