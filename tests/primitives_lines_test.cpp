// Tests of line clipping and Bresenham rasterising.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

struct ClipCase {
    const char* what;
    int clip[4];  // min x, max x, min y, max y
    int x1, y1, x2, y2;
    int visible;
    int cx1, cy1, cx2, cy2;  // the ends afterwards
};

TEST(LineClip, CutsAtOneTwoAndFourBoundsAndRejectsOutside) {
    const ClipCase cases[] = {
        {"inside", {0, 639, 0, 479}, 5, 6, 300, 200, 1, 5, 6, 300, 200},
        {"one bound", {0, 639, 0, 479}, -10, 5, 10, 5, 1, 0, 5, 10, 5},
        {"one bound, far end", {0, 639, 0, 479}, 600, 400, 700, 450, 1, 600, 400, 639, 420},
        {"two bounds", {0, 639, 0, 479}, -10, 100, 700, 100, 1, 0, 100, 639, 100},
        {"two bounds, corner cut", {0, 639, 0, 479}, -20, 40, 40, -20, 1, 0, 20, 20, 0},
        // Ends in opposite corner regions: the top or bottom crossing is tried first, the
        // side one when it misses.
        {"four bounds", {100, 199, 100, 149}, 50, 60, 250, 190, 1, 111, 100, 187, 149},
        {"four bounds, sides", {100, 199, 100, 149}, 50, 90, 250, 160, 1, 100, 107, 199, 143},
        {"four bounds, reversed", {100, 199, 100, 149}, 250, 160, 50, 90, 1, 199, 143, 100, 107},
        // The crossing is truncated toward zero after adding a half: -3.5 becomes -3.
        {"negative crossing", {-50, 50, -50, 50}, -100, -7, 0, 0, 1, -50, -3, 0, 0},
        // Rejected lines keep their ends.
        {"wholly left", {0, 639, 0, 479}, -30, 5, -1, 400, 0, -30, 5, -1, 400},
        {"wholly below", {0, 639, 0, 479}, 10, 480, 600, 900, 0, 10, 480, 600, 900},
        {"round the corner", {0, 639, 0, 479}, -50, 20, 20, -50, 0, -50, 20, 20, -50},
    };
    for (const ClipCase& c : cases) {
        set_clip(c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
        int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        EXPECT_EQ(line_clip(&x1, &y1, &x2, &y2), c.visible) << c.what;
        EXPECT_EQ(x1, c.cx1) << c.what;
        EXPECT_EQ(y1, c.cy1) << c.what;
        EXPECT_EQ(x2, c.cx2) << c.what;
        EXPECT_EQ(y2, c.cy2) << c.what;
    }
}

// Lines in every direction, from inside to far outside and wholly outside, into buffers
// whose clip bounds sit inside them: nothing lands outside the bounds.
TEST(LineDraw, NeverWritesOutsideTheClipBounds) {
    trig_tables_build();
    set_clip(7, 110, 5, 80);
    GuardedBuffer b(120, 90, 1, 0), words(120, 90, 2, 0);
    for (int a = 0; a < 360; a += 7) {
        const int x = 60 + static_cast<int>(300 * cos_table[a]);
        const int y = 45 + static_cast<int>(300 * sin_table[a]);
        EXPECT_EQ(line_draw(60, 45, x, y, 9, b.pixels(), b.pitch), 1);
        EXPECT_EQ(line_draw(x, y, x + 300, y - 250, 9, b.pixels(), b.pitch), 1);
        line_draw16(x, y, 120 - x, 90 - y, 0x7BEF, words.pixels(), words.pitch);
    }
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));
    EXPECT_GT(b.count(9), 200);
    EXPECT_TRUE(words.intact());
    EXPECT_TRUE(clean_outside_clip(words, 0));
    EXPECT_GT(words.count(0x7BEF), 100);
}

// One rasterised line: max(|dx|, |dy|) + 1 pixels, both ends drawn, exactly one pixel on
// each step of the major axis, moving at most one pixel on the other; the 16-bit twin draws
// the same pixels with the lowest bit of its pitch ignored.
void expect_bresenham(int x1, int y1, int x2, int y2) {
    SCOPED_TRACE(testing::Message() << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")");
    GuardedBuffer b(80, 60, 1, 0), words(80, 60, 2, 0);
    line_raster(x1, y1, x2, y2, 5, b.pixels(), b.pitch);
    line_raster16(x1, y1, x2, y2, 0xF81F, words.pixels(), words.pitch + 1);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1), steps = std::max(dx, dy);
    EXPECT_EQ(b.count(5), steps + 1);
    EXPECT_EQ(b.at(x1, y1), 5);
    EXPECT_EQ(b.at(x2, y2), 5);
    EXPECT_TRUE(b.intact() && words.intact());
    int previous = -1;
    for (int major = 0; major <= steps; ++major) {
        int hits = 0, at = -1;
        for (int minor = 0; minor < 80; ++minor) {
            const int x = dx > dy ? std::min(x1, x2) + major : minor;
            const int y = dx > dy ? minor : std::min(y1, y2) + major;
            if (x < 80 && y < 60 && b.at(x, y) == 5) {
                ++hits;
                at = minor;
            }
        }
        EXPECT_EQ(hits, 1) << "step " << major;
        EXPECT_TRUE(previous < 0 || std::abs(at - previous) <= 1) << "step " << major;
        previous = at;
    }
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(words.at16(x, y) == 0xF81F, b.at(x, y) == 5);
    }
}

TEST(LineRaster, PixelCountAndEndsForShallowSteepAndReversedLines) {
    expect_bresenham(2, 3, 70, 20);   // shallow
    expect_bresenham(70, 20, 2, 3);   // shallow, reversed
    expect_bresenham(10, 2, 25, 55);  // steep
    expect_bresenham(25, 55, 10, 2);  // steep, reversed
    expect_bresenham(5, 50, 60, 8);   // shallow, rising
    expect_bresenham(3, 3, 40, 40);   // diagonal: the y axis leads
    expect_bresenham(8, 9, 8, 9);     // a single point
    expect_bresenham(40, 58, 40, 0);  // vertical, upward

    // The midpoint steps of a small shallow line.
    GuardedBuffer b(8, 4, 1, 0);
    line_raster(0, 0, 5, 2, 1, b.pixels(), b.pitch);
    const int expected_y[] = {0, 0, 1, 1, 2, 2};
    for (int x = 0; x <= 5; ++x)
        EXPECT_EQ(b.at(x, expected_y[x]), 1) << x;
}

}  // namespace
