// Tests of pixels and spans: ends in either order, clipped ends, rows and columns outside.
#include <gtest/gtest.h>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

TEST(Pixels, WriteOneByteOrWordAtRowTimesPitch) {
    GuardedBuffer b(20, 10, 1, 0), words(20, 10, 2, 0);
    pixel_plot(19, 9, 0x1FE, b.pixels(), b.pitch);                 // only the low byte is a colour
    pixel_plot16(19, 9, 0xBEEF, words.pixels(), words.pitch + 1);  // lowest pitch bit ignored
    EXPECT_EQ(b.at(19, 9), 0xFE);
    EXPECT_EQ(b.count(0xFE), 1);
    EXPECT_EQ(words.at16(19, 9), 0xBEEF);
    EXPECT_EQ(words.count(0xBEEF), 1);
    EXPECT_TRUE(b.intact() && words.intact());
}

// Row y of b holds colour c exactly from x1 to x2 inclusive.
void expect_row(GuardedBuffer& b, int y, int x1, int x2, int c) {
    for (int x = 0; x < b.width; ++x)
        EXPECT_EQ(b.value(x, y) == c, x >= x1 && x <= x2) << x;
}

TEST(Spans, EndsInEitherOrderAreClampedToTheClipBounds) {
    set_clip(3, 30, 2, 25);
    GuardedBuffer b(40, 30, 1, 0);
    hline(5, 17, 4, 7, b.pixels(), b.pitch);
    hline(17, 5, 5, 7, b.pixels(), b.pitch);      // swapped: the same pixels
    hline(-50, 100, 10, 1, b.pixels(), b.pitch);  // both ends beyond the bounds
    hline(31, 20, 11, 2, b.pixels(), b.pitch);    // swapped, one end beyond
    vline(-100, 100, 35, 4, b.pixels(), b.pitch);
    vline(100, -100, 19, 5, b.pixels(), b.pitch);
    expect_row(b, 4, 5, 17, 7);
    expect_row(b, 5, 5, 17, 7);
    expect_row(b, 11, 20, 30, 2);
    EXPECT_EQ(b.count(1), 27);  // 3..30 less column 19
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(b.at(19, y) == 5, y >= 2 && y <= 25) << y;

    // Spans wholly outside the bounds draw nothing.
    hline(-5, 2, 12, 3, b.pixels(), b.pitch);
    hline(31, 90, 13, 3, b.pixels(), b.pitch);
    hline(0, 39, 1, 3, b.pixels(), b.pitch);
    hline(0, 39, 26, 3, b.pixels(), b.pitch);
    vline(0, 29, 2, 3, b.pixels(), b.pitch);
    vline(26, 90, 8, 3, b.pixels(), b.pitch);
    EXPECT_EQ(b.count(3), 0);
    EXPECT_EQ(b.count(4), 0);  // column 35 lies right of the bounds
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));

    GuardedBuffer words(40, 30, 2, 0);
    hline16(100, -100, 25, 0x1234, words.pixels(), words.pitch + 1);
    vline16(30, -4, 30, 0x4321, words.pixels(), words.pitch + 1);
    expect_row(words, 25, 3, 29, 0x1234);
    EXPECT_EQ(words.count(0x4321), 24);
    EXPECT_TRUE(words.intact());
    EXPECT_TRUE(clean_outside_clip(words, 0));
}

}  // namespace
