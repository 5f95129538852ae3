// Tests of line clipping and Bresenham rasterising.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

struct ClipCase {
    const char* what;
    int x1, y1, x2, y2;
    int visible;
    int cx1, cy1, cx2, cy2;  // expected ends when visible
};

TEST(LineClip, CutsAtOneTwoAndFourBoundsAndRejectsOutside) {
    set_clip(0, 639, 0, 479);
    const ClipCase screen_cases[] = {
        {"inside", 5, 6, 300, 200, 1, 5, 6, 300, 200},
        {"one bound", -10, 5, 10, 5, 1, 0, 5, 10, 5},
        {"one bound, far end", 600, 400, 700, 450, 1, 600, 400, 639, 420},
        {"two bounds, across", -10, 100, 700, 100, 1, 0, 100, 639, 100},
        {"two bounds, corner cut", -20, 40, 40, -20, 1, 0, 20, 20, 0},
        {"wholly left", -30, 5, -1, 400, 0, 0, 0, 0, 0},
        {"wholly below", 10, 480, 600, 900, 0, 0, 0, 0, 0},
        {"outside, round the corner", -50, 20, 20, -50, 0, 0, 0, 0, 0},
    };
    for (const ClipCase& c : screen_cases) {
        int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        EXPECT_EQ(line_clip(&x1, &y1, &x2, &y2), c.visible) << c.what;
        if (c.visible) {
            EXPECT_EQ(x1, c.cx1) << c.what;
            EXPECT_EQ(y1, c.cy1) << c.what;
            EXPECT_EQ(x2, c.cx2) << c.what;
            EXPECT_EQ(y2, c.cy2) << c.what;
        } else {
            EXPECT_EQ(x1, c.x1) << c.what;  // a rejected line keeps its ends
            EXPECT_EQ(y2, c.y2) << c.what;
        }
    }

    // Both ends in corner regions: the segment crosses all four bound lines. The top or
    // bottom crossing is tried first, the side one when it misses.
    set_clip(100, 199, 100, 149);
    const ClipCase corner_cases[] = {
        {"four bounds, top and bottom crossings", 50, 60, 250, 190, 1, 111, 100, 187, 149},
        {"four bounds, side crossings", 50, 90, 250, 160, 1, 100, 107, 199, 143},
        {"four bounds, reversed", 250, 160, 50, 90, 1, 199, 143, 100, 107},
    };
    for (const ClipCase& c : corner_cases) {
        int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        ASSERT_EQ(line_clip(&x1, &y1, &x2, &y2), 1) << c.what;
        EXPECT_EQ(x1, c.cx1) << c.what;
        EXPECT_EQ(y1, c.cy1) << c.what;
        EXPECT_EQ(x2, c.cx2) << c.what;
        EXPECT_EQ(y2, c.cy2) << c.what;
    }

    // The crossing is truncated toward zero after adding a half: -3.5 becomes -3.
    set_clip(-50, 50, -50, 50);
    int x1 = -100, y1 = -7, x2 = 0, y2 = 0;
    ASSERT_EQ(line_clip(&x1, &y1, &x2, &y2), 1);
    EXPECT_EQ(x1, -50);
    EXPECT_EQ(y1, -3);
}

// Lines in every direction, from inside to far outside and wholly outside, into a buffer
// whose clip bounds sit inside it: nothing lands outside the bounds.
TEST(LineDraw, NeverWritesOutsideTheClipBounds) {
    GuardedBuffer b(120, 90, 1, 0);
    set_clip(7, 110, 5, 80);
    trig_tables_build();
    for (int angle = 0; angle < 360; angle += 7) {
        const int far_x = 60 + static_cast<int>(200 * cos_table[angle]);
        const int far_y = 45 + static_cast<int>(200 * sin_table[angle]);
        line_draw(60, 45, far_x, far_y, 9, b.pixels(), b.pitch);
        line_draw(far_x, far_y, far_x + 300, far_y - 250, 9, b.pixels(), b.pitch);
        line_draw(-far_x, far_y, far_x, -far_y, 9, b.pixels(), b.pitch);
    }
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));
    EXPECT_GT(b.count(9), 200);

    GuardedBuffer words(120, 90, 2, 0);
    for (int angle = 0; angle < 360; angle += 11) {
        const int far_x = 60 + static_cast<int>(300 * cos_table[angle]);
        const int far_y = 45 + static_cast<int>(300 * sin_table[angle]);
        line_draw16(far_x, far_y, 120 - far_x, 90 - far_y, 0x7BEF, words.pixels(), words.pitch);
    }
    EXPECT_TRUE(words.intact());
    EXPECT_TRUE(clean_outside_clip(words, 0));
    EXPECT_GT(words.count(0x7BEF), 100);
}

TEST(LineDraw, ReturnsOneWhenNothingIsVisible) {
    GuardedBuffer b(64, 48, 1, 0);
    set_clip(0, 63, 0, 47);
    EXPECT_EQ(line_draw(-10, -10, -1, 40, 3, b.pixels(), b.pitch), 1);
    EXPECT_EQ(b.count(3), 0);
}

// Checks one rasterised line: max(|dx|, |dy|) + 1 pixels, both ends drawn, one pixel per
// step of the major axis, and each step moves at most one pixel on the other axis.
void expect_bresenham(int x1, int y1, int x2, int y2) {
    SCOPED_TRACE(testing::Message() << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")");
    GuardedBuffer b(80, 60, 1, 0);
    line_raster(x1, y1, x2, y2, 5, b.pixels(), b.pitch);
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    EXPECT_EQ(b.count(5), std::max(dx, dy) + 1);
    EXPECT_EQ(b.at(x1, y1), 5);
    EXPECT_EQ(b.at(x2, y2), 5);
    EXPECT_TRUE(b.intact());
    const bool shallow = dx > dy;
    int previous = -1;
    for (int major = 0; major <= std::max(dx, dy); ++major) {
        int hits = 0, minor_at = -1;
        for (int minor = 0; minor < (shallow ? 60 : 80); ++minor) {
            const int x = shallow ? std::min(x1, x2) + major : minor;
            const int y = shallow ? minor : std::min(y1, y2) + major;
            if (b.at(x, y) == 5) {
                ++hits;
                minor_at = minor;
            }
        }
        EXPECT_EQ(hits, 1) << "major step " << major;
        if (previous >= 0) {
            EXPECT_LE(std::abs(minor_at - previous), 1);
        }
        previous = minor_at;
    }

    // The 16-bit twin draws the same pixels as words; its pitch has the lowest bit ignored.
    GuardedBuffer words(80, 60, 2, 0);
    line_raster16(x1, y1, x2, y2, 0xF81F, words.pixels(), words.pitch + 1);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 80; ++x) {
            ASSERT_EQ(words.at16(x, y) == 0xF81F, b.at(x, y) == 5) << x << "," << y;
        }
    }
    EXPECT_TRUE(words.intact());
}

TEST(LineRaster, PixelCountAndEndsForShallowSteepAndReversedLines) {
    expect_bresenham(2, 3, 70, 20);   // shallow, down-right
    expect_bresenham(70, 20, 2, 3);   // reversed
    expect_bresenham(10, 2, 25, 55);  // steep
    expect_bresenham(25, 55, 10, 2);  // steep reversed
    expect_bresenham(5, 50, 60, 8);   // shallow, up-right
    expect_bresenham(3, 3, 40, 40);   // diagonal: the y axis leads
    expect_bresenham(8, 9, 8, 9);     // a single point
    expect_bresenham(1, 30, 78, 30);  // horizontal
    expect_bresenham(40, 58, 40, 0);  // vertical, upward
}

TEST(LineRaster, ShallowLineTakesTheMidpointSteps) {
    GuardedBuffer b(8, 4, 1, 0);
    line_raster(0, 0, 5, 2, 1, b.pixels(), b.pitch);
    const std::pair<int, int> expected[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
    for (const auto& [x, y] : expected)
        EXPECT_EQ(b.at(x, y), 1) << x << "," << y;
    EXPECT_EQ(b.count(1), 6);
}

}  // namespace
