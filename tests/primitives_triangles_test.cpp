// Tests of the triangle fills against a plain reference: the exact extent of the triangle on
// each row, allowing the rounding of the fill (left edge truncated, right edge rounded, the
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
    *left = 1e9;
    *right = -1e9;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int y0 = t.y[i], y1 = t.y[j], x0 = t.x[i], x1 = t.x[j];
        if (y < std::min(y0, y1) || y > std::max(y0, y1))
            continue;
        const double x = y0 == y1 ? x0 : x0 + double(x1 - x0) * (y - y0) / (y1 - y0);
        *left = std::min({*left, x, y0 == y1 ? double(x1) : x});
        *right = std::max({*right, x, y0 == y1 ? double(x1) : x});
    }
    return *left <= *right;
}

using Fill = int (*)(int, int, int, int, int, int, int, uint8_t*, int);
const Fill fills[] = {triangle_fill, triangle_fill16, triangle_fill_fixed};
const Fill flat_tops[] = {triangle_fill_flat_top, triangle_fill_flat_top16,
                          triangle_fill_flat_top_fixed};
const Fill flat_bottoms[] = {triangle_fill_flat_bottom, triangle_fill_flat_bottom16,
                             triangle_fill_flat_bottom_fixed};
const int fill_bytes[] = {1, 2, 1};

// Draws t into a guarded buffer whose clip bounds lie inside it and checks every pixel:
// nothing outside the clip bounds, nothing more than the rounding outside the edges, no hole
// inside. Returns the pixels drawn.
int check_fill(const Triangle& t, int f, const Fill* family = fills) {
    SCOPED_TRACE(testing::Message()
                 << "fill " << f << ": (" << t.x[0] << "," << t.y[0] << ") (" << t.x[1] << ","
                 << t.y[1] << ") (" << t.x[2] << "," << t.y[2] << ")");
    constexpr int color = 0x5A;
    GuardedBuffer b(160, 120, fill_bytes[f], 0);
    set_clip(9, 149, 7, 111);
    family[f](t.x[0], t.y[0], t.x[1], t.y[1], t.x[2], t.y[2], color, b.pixels(), b.pitch);
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));
    const bool flat =
        (t.x[0] == t.x[1] && t.x[1] == t.x[2]) || (t.y[0] == t.y[1] && t.y[1] == t.y[2]);
    constexpr double eps = 0.02;
    int drawn = 0, failures = 0;
    for (int y = 0; y < b.height && failures < 5; ++y) {
        double left = 0, right = 0;
        const bool on_row = !flat && row_extent(t, y, &left, &right);
        for (int x = 0; x < b.width; ++x) {
            const bool set = b.value(x, y) == color;
            const bool inside_clip =
                x >= clip_min_x && x <= clip_max_x && y >= clip_min_y && y <= clip_max_y;
            drawn += set;
            if (set && (!on_row || x < left - 1.5 - eps || x > right + 1.0 + eps)) {
                ADD_FAILURE() << "stray pixel at " << x << "," << y;
                ++failures;
            } else if (!set && on_row && inside_clip && x >= left + 0.5 + eps &&
                       x <= right - 0.5 - eps) {
                ADD_FAILURE() << "hole at " << x << "," << y;
                ++failures;
            }
        }
    }
    return drawn;
}

TEST(Triangles, SplitPartlyOutsideAndDegenerateTrianglesMatchTheReference) {
    const Triangle drawn[] = {
        {{20, 100, 40}, {10, 50, 90}},            // middle vertex right of the long edge
        {{130, 30, 120}, {15, 60, 105}},          // middle vertex left of it
        {{60, 61, 62}, {10, 60, 100}},            // nearly a vertical line
        {{12, 140, 75}, {20, 21, 22}},            // nearly a horizontal line
        {{-40, 80, 200}, {50, -30, 60}},          // across left, top and right
        {{80, -100, 300}, {60, 300, 140}},        // across every bound
        {{5, 9, 149}, {7, 111, 60}},              // vertices on and just past the bounds
        {{9, 149, 9}, {7, 50, 111}},              // vertices exactly on the bounds
        {{-1000, 2000, 70}, {-900, -800, 5000}},  // far outside, crossing the bounds
    };
    const Triangle nothing[] = {
        {{40, 40, 40}, {10, 50, 90}},      // three equal x
        {{10, 50, 90}, {40, 40, 40}},      // three equal y
        {{-50, -5, -20}, {10, 60, 100}},   // left of the bounds
        {{150, 400, 200}, {10, 60, 100}},  // right of them
        {{10, 60, 100}, {-90, -8, -30}},   // above
        {{10, 60, 100}, {112, 119, 500}},  // below
    };
    for (int f = 0; f < 3; ++f) {
        for (const Triangle& t : drawn)
            EXPECT_GT(check_fill(t, f), 0);
        for (const Triangle& t : nothing)
            EXPECT_EQ(check_fill(t, f), 0);
    }
}

TEST(Triangles, FlatHalvesTakeTheirVerticesInEitherOrder) {
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(check_fill({{30, 110, 70}, {20, 20, 90}}, f, flat_tops),
                  check_fill({{110, 30, 70}, {20, 20, 90}}, f, flat_tops));
        EXPECT_EQ(check_fill({{70, 110, 30}, {20, 90, 90}}, f, flat_bottoms),
                  check_fill({{70, 30, 110}, {20, 90, 90}}, f, flat_bottoms));
    }
}

// Rows run from the left edge truncated to the right edge rounded to the nearest pixel.
TEST(Triangles, LeftEdgeTruncatesAndRightEdgeRounds) {
    for (int f = 0; f < 3; ++f) {
        GuardedBuffer b(30, 30, fill_bytes[f], 0);
        set_clip(0, 29, 0, 29);
        flat_bottoms[f](10, 10, 7, 20, 13, 20, 6, b.pixels(), b.pitch);
        for (int x = 0; x < 30; ++x) {
            EXPECT_EQ(b.value(x, 10) == 6, x == 10) << x;            // the apex
            EXPECT_EQ(b.value(x, 12) == 6, x >= 9 && x <= 11) << x;  // edges at 9.4 and 10.6
            EXPECT_EQ(b.value(x, 20) == 6, x >= 7 && x <= 13) << x;
        }
    }
}

TEST(Triangles, ManyTrianglesAroundTheBoundsMatchTheReference) {
    uint32_t seed = 12345;
    auto next = [&seed](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + static_cast<int>((seed >> 8) % static_cast<uint32_t>(hi - lo + 1));
    };
    for (int i = 0; i < 120 && !HasFailure(); ++i) {
        Triangle t;
        for (int k = 0; k < 3; ++k) {
            t.x[k] = next(-40, 200);
            t.y[k] = next(-30, 150);
        }
        for (int f = 0; f < 3; ++f)
            check_fill(t, f);
    }
}

}  // namespace
