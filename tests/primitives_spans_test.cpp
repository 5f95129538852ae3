// Tests of pixels and spans: ends in either order, clipped ends, rows and columns outside.
#include <gtest/gtest.h>

#include "engine/primitives.h"
#include "tests/primitives_guard.h"

namespace {

TEST(Pixels, WriteOneByteOrWordAtRowTimesPitch) {
    GuardedBuffer b(20, 10, 1, 0);
    pixel_plot(19, 9, 0x1FE, b.pixels(), b.pitch);  // only the low byte is a colour
    EXPECT_EQ(b.at(19, 9), 0xFE);
    EXPECT_EQ(b.count(0xFE), 1);
    EXPECT_TRUE(b.intact());

    GuardedBuffer words(20, 10, 2, 0);
    pixel_plot16(19, 9, 0xBEEF, words.pixels(), words.pitch + 1);  // lowest pitch bit ignored
    EXPECT_EQ(words.at16(19, 9), 0xBEEF);
    EXPECT_EQ(words.count(0xBEEF), 1);
    EXPECT_TRUE(words.intact());
}

// Row y of b holds colour c exactly from x1 to x2 inclusive and nowhere else.
void expect_row(GuardedBuffer& b, int y, int x1, int x2, int c) {
    for (int x = 0; x < b.width; ++x) {
        EXPECT_EQ(b.value(x, y) == c, x >= x1 && x <= x2) << "x " << x << " y " << y;
    }
}

TEST(Spans, RowEndsInEitherOrderFillTheSamePixels) {
    set_clip(0, 39, 0, 29);
    GuardedBuffer forward(40, 30, 1, 0), backward(40, 30, 1, 0);
    hline(5, 17, 4, 7, forward.pixels(), forward.pitch);
    hline(17, 5, 4, 7, backward.pixels(), backward.pitch);
    expect_row(forward, 4, 5, 17, 7);
    expect_row(backward, 4, 5, 17, 7);
    EXPECT_EQ(backward.count(7), 13);

    GuardedBuffer column(40, 30, 1, 0);
    vline(20, 3, 9, 7, column.pixels(), column.pitch);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(column.at(9, y) == 7, y >= 3 && y <= 20) << y;
    EXPECT_EQ(column.count(7), 18);
}

TEST(Spans, EndsAreClampedToTheClipBoundsAndOutsideSpansDrawNothing) {
    set_clip(3, 30, 2, 25);
    GuardedBuffer b(40, 30, 1, 0);
    hline(-50, 100, 10, 1, b.pixels(), b.pitch);  // both ends beyond the bounds
    hline(31, 20, 11, 2, b.pixels(), b.pitch);    // swapped, right end beyond
    hline(-5, 2, 12, 3, b.pixels(), b.pitch);     // wholly left
    hline(31, 90, 13, 3, b.pixels(), b.pitch);    // wholly right
    hline(0, 39, 1, 3, b.pixels(), b.pitch);      // row above the bounds
    hline(0, 39, 26, 3, b.pixels(), b.pitch);     // row below the bounds
    vline(-100, 100, 5, 4, b.pixels(), b.pitch);
    vline(0, 39, 2, 3, b.pixels(), b.pitch);   // column left of the bounds
    vline(26, 90, 6, 3, b.pixels(), b.pitch);  // wholly below
    expect_row(b, 11, 20, 30, 2);
    EXPECT_EQ(b.count(1), 27);  // 3..30 without column 5
    EXPECT_EQ(b.count(3), 0);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(b.at(5, y) == 4, y >= 2 && y <= 25) << y;
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, 0));

    GuardedBuffer words(40, 30, 2, 0);
    hline16(100, -100, 25, 0x1234, words.pixels(), words.pitch + 1);
    vline16(30, -4, 30, 0x4321, words.pixels(), words.pitch + 1);
    expect_row(words, 25, 3, 29, 0x1234);
    EXPECT_EQ(words.at16(30, 25), 0x4321);
    EXPECT_EQ(words.count(0x4321), 24);
    EXPECT_TRUE(words.intact());
    EXPECT_TRUE(clean_outside_clip(words, 0));
}

}  // namespace
