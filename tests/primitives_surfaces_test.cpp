// Tests of the colour scans, box overlap, the sheet-cell copy and the rectangle fill.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/display.h"
#include "engine/primitives.h"
#include "engine/scan.h"
#include "tests/primitives_guard.h"
#include "tests/test_support.h"

namespace {

TEST(ColorScan, FindsAnIndexInRangeWithinTheRectangleClampedToTheScreen) {
    screen_width = 40;
    screen_height = 30;
    GuardedBuffer b(40, 30, 1, 0);
    b.row(12)[39] = 91;
    b.row(29)[0] = 95;
    EXPECT_EQ(find_color_in_rect(30, 12, 39, 12, 91, 91, b.pixels(), b.pitch), 1);
    EXPECT_EQ(find_color_in_rect(30, 11, 38, 13, 91, 91, b.pixels(), b.pitch), 0);
    EXPECT_EQ(find_color_in_rect(0, 0, 39, 29, 92, 100, b.pixels(), b.pitch), 1);
    EXPECT_EQ(find_color_in_rect(0, 0, 39, 29, 96, 255, b.pixels(), b.pitch), 0);
    // Off-screen corners clamp to the nearest column and row.
    EXPECT_EQ(find_color_in_rect(50, 12, 900, 12, 91, 91, b.pixels(), b.pitch), 1);
    EXPECT_EQ(find_color_in_rect(-20, 40, -1, 99, 95, 95, b.pixels(), b.pitch), 1);
    // An empty rectangle finds nothing.
    EXPECT_EQ(find_color_in_rect(39, 12, 30, 12, 91, 91, b.pixels(), b.pitch), 0);
    EXPECT_EQ(find_color_in_rect(30, 13, 39, 11, 91, 91, b.pixels(), b.pitch), 0);
}

TEST(ColorScan, SixteenBitScanMatchesEitherKey) {
    screen_width = 40;
    screen_height = 30;
    GuardedBuffer b(40, 30, 2, 0x11);  // every word 0x1111
    reinterpret_cast<uint16_t*>(b.row(5))[7] = 0xF800;
    reinterpret_cast<uint16_t*>(b.row(29))[39] = 0x001F;
    EXPECT_EQ(find_color_in_rect16(0, 0, 39, 29, 0x07E0, 0xF800, b.pixels(), b.pitch + 1), 1);
    EXPECT_EQ(find_color_in_rect16(8, 0, 39, 28, 0xF800, 0x001F, b.pixels(), b.pitch), 0);
    EXPECT_EQ(find_color_in_rect16(39, 29, 500, 500, 0x001F, 0x001F, b.pixels(), b.pitch), 1);
    EXPECT_EQ(find_color_in_rect16(0, 0, 39, 29, 0x0000, 0x2222, b.pixels(), b.pitch), 0);
}

TEST(BoxOverlap, SharedPixelsOverlapTouchingEdgesAndEmptyBoxesDoNot) {
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 5, 5, 10, 10), 1);
    EXPECT_EQ(box_overlap(5, 5, 10, 10, 0, 0, 10, 10), 1);
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 2, 2, 3, 3), 1);      // one inside the other
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 9, 9, 1, 1), 1);      // the last pixel
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 10, 0, 10, 10), 0);   // edges touch
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 0, -10, 10, 10), 0);  // edges touch
    EXPECT_EQ(box_overlap(0, 0, 10, 10, -5, 3, 20, 2), 1);    // a plus sign
    EXPECT_EQ(box_overlap(0, 0, 0, 10, 0, 0, 10, 10), 0);     // zero width
    EXPECT_EQ(box_overlap(0, 0, 10, 10, 3, 3, 4, -2), 0);     // negative height
    // Far corners of the int range do not wrap into an overlap.
    EXPECT_EQ(box_overlap(2147483600, 0, 1000, 10, -2147483647, 0, 10, 10), 0);
}

// A 19 x 13 sheet of 8-bit cells 5 x 3 with 1-pixel borders; pixel (x, y) holds x + 20 y.
struct Sheet {
    std::vector<uint8_t> pixels;
    BitmapFile bitmap{};
    explicit Sheet(int bits = 8) {
        const int bytes = bits / 8;
        pixels.resize(19 * 13 * bytes);
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 19; ++x) {
                for (int k = 0; k < bytes; ++k) {
                    pixels[(y * 19 + x) * bytes + k] = static_cast<uint8_t>(x + 20 * y + k);
                }
            }
        }
        bitmap.info_header.width = 19;
        bitmap.info_header.height = 13;
        bitmap.info_header.bit_count = static_cast<uint16_t>(bits);
        bitmap.buffer = pixels.data();
    }
};

TEST(SurfaceLoadCell, CopiesACellByNumberOrByPixelPosition) {
    test_display_up();
    Sheet sheet;
    GfxSurface* s = display_create_surface(5, 3, 0, 0);
    ASSERT_NE(s, nullptr);
    // Cell (2, 1) starts at pixel (2 * 6 + 1, 1 * 4 + 1) = (13, 5).
    ASSERT_EQ(surface_load_cell(s, &sheet.bitmap, 2, 1, 5, 3, 0), 1);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(s->pixels[y * s->pitch + x], 13 + x + 20 * (5 + y)) << x << "," << y;
        }
    }
    ASSERT_EQ(surface_load_cell(s, &sheet.bitmap, 14, 10, 5, 3, 1), 1);
    EXPECT_EQ(s->pixels[0], 14 + 200);
    EXPECT_EQ(s->pixels[2 * s->pitch + 4], (18 + 240) & 0xFF);

    // Cells past the sheet or the surface, and a depth that does not match, are refused.
    EXPECT_EQ(surface_load_cell(s, &sheet.bitmap, 3, 0, 5, 3, 0), 0);
    EXPECT_EQ(surface_load_cell(s, &sheet.bitmap, 15, 10, 5, 3, 1), 0);
    EXPECT_EQ(surface_load_cell(s, &sheet.bitmap, 0, 0, 6, 3, 1), 0);
    EXPECT_EQ(surface_load_cell(s, &sheet.bitmap, -1, 0, 5, 3, 1), 0);
    Sheet words(16);
    EXPECT_EQ(surface_load_cell(s, &words.bitmap, 0, 0, 5, 3, 0), 0);
    EXPECT_EQ(s->pixels[0], 14 + 200);
    // A surface that is already locked cannot take the copy.
    ASSERT_NE(display_lock_surface(s, nullptr), nullptr);
    EXPECT_EQ(surface_load_cell(s, &sheet.bitmap, 0, 0, 5, 3, 0), 0);
    EXPECT_EQ(display_unlock_surface(s), 1);
    gfx_release_surface(s);
}

TEST(RectFill, FillsTheRectangleWithRightAndBottomExclusive) {
    test_display_up();
    display_fill_surface(back_surface, 0, nullptr);
    EXPECT_EQ(rect_fill(10, 20, 14, 23, 77, back_surface), 1);
    const GfxSurface* s = back_surface;
    int filled = 0;
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x)
            filled += s->pixels[y * s->pitch + x] == 77;
    }
    EXPECT_EQ(filled, 4 * 3);
    EXPECT_EQ(s->pixels[20 * s->pitch + 10], 77);
    EXPECT_EQ(s->pixels[22 * s->pitch + 13], 77);
    // A locked surface refuses the fill, and says so.
    ASSERT_NE(display_lock_back(), nullptr);
    EXPECT_EQ(rect_fill(0, 0, 5, 5, 9, back_surface), 0);
    EXPECT_EQ(display_unlock_back(), 1);
}

}  // namespace
