// Full-screen images: loading blocks, opaque and transparent draws with a padded pitch,
// destroy, the block copy and the row rotation.
#include "engine/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

BitmapFile picture(int width, int height, int bits = 8) {
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    b.info_header.width = width;
    b.info_header.height = height;
    b.info_header.bit_count = static_cast<uint16_t>(bits);
    const size_t n = static_cast<size_t>(width) * height * (bits / 8);
    b.buffer = static_cast<uint8_t*>(std::malloc(n));
    for (size_t i = 0; i < n; ++i)
        b.buffer[i] = static_cast<uint8_t>(i % 251 + 1);
    return b;
}

}  // namespace

TEST(Image, DrawNeedsALoadAndKeepsThePaddingOfEveryRow) {
    BitmapImage image = {};
    ASSERT_EQ(image_create(&image, 0, 0, 640, 480, 8), 1);
    const int pitch = 700;
    std::vector<uint8_t> screen(static_cast<size_t>(pitch) * 480, 0xEE);
    EXPECT_EQ(image_draw(&image, screen.data(), pitch, 0), 0);
    BitmapFile b = picture(640, 480);
    ASSERT_EQ(image_load(&image, &b, 0, 0, 1), 1);
    ASSERT_EQ(image_draw(&image, screen.data(), pitch, 0), 1);
    for (int y = 0; y < 480; ++y) {
        ASSERT_EQ(std::memcmp(&screen[y * pitch], &b.buffer[y * 640], 640), 0) << y;
        for (int x = 640; x < pitch; ++x)
            ASSERT_EQ(screen[y * pitch + x], 0xEE) << y;
    }
    bitmap_unload_file(&b);
    EXPECT_EQ(image_destroy(&image), 1);
    EXPECT_EQ(image_destroy(&image), 0);
    EXPECT_EQ(image.buffer, nullptr);
    EXPECT_EQ(image.state, 0);
}

TEST(Image, TransparentDrawLeavesZeroPixels) {
    BitmapImage image = {};
    ASSERT_EQ(image_create(&image, 1, 0, 3, 1, 8), 1);
    image.buffer[0] = 0;
    image.buffer[1] = 5;
    image.buffer[2] = 0;
    image.attr |= IMAGE_LOADED;
    uint8_t row[6] = {7, 7, 7, 7, 7, 7};
    ASSERT_EQ(image_draw(&image, row, 6, 1), 1);
    const uint8_t expected[6] = {7, 7, 5, 7, 7, 7};
    EXPECT_EQ(std::memcmp(row, expected, 6), 0);
    image_destroy(&image);
}

TEST(Image, BlocksOutsideThePictureAreRefused) {
    BitmapImage image = {};
    ASSERT_EQ(image_create(&image, 0, 0, 16, 16, 8), 1);
    BitmapFile b = picture(40, 20);
    EXPECT_EQ(image_load(&image, &b, 1, 0, 0), 1);  // cell (1, 0) starts at (18, 1)
    EXPECT_EQ(image.buffer[0], b.buffer[1 * 40 + 18]);
    EXPECT_EQ(image_load(&image, &b, 2, 0, 0), 0);  // (35, 1) runs past 40
    EXPECT_EQ(image_load(&image, &b, 0, 5, 1), 0);  // rows 5..20 past 20
    EXPECT_EQ(image_load(&image, &b, -1, 0, 1), 0);
    bitmap_unload_file(&b);
    image_destroy(&image);
}

TEST(Image, ScrollRotatesRowsModuloTheWidthBothWays) {
    BitmapImage image = {};
    ASSERT_EQ(image_create(&image, 0, 0, 10, 2, 8), 1);
    for (int i = 0; i < 20; ++i)
        image.buffer[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(image_scroll(&image, 10 + 3, 0), 1);
    const uint8_t right[10] = {7, 8, 9, 0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(image.buffer, right, 10), 0);
    EXPECT_EQ(image.buffer[10], 17);
    ASSERT_EQ(image_scroll(&image, -3, 0), 1);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(image.buffer[i], i);
    EXPECT_EQ(image_scroll(&image, 0, 0), 0);
    EXPECT_EQ(image_scroll(&image, 0, 1), 1);
    EXPECT_EQ(image_scroll(nullptr, 1, 0), 0);
    image_destroy(&image);
}

TEST(Image, SixteenBitLoadAndDrawStepTheEvenPitch) {
    BitmapImage image = {};
    ASSERT_EQ(image_create(&image, 1, 1, 2, 2, 16), 1);
    BitmapFile b = picture(2, 2, 16);
    ASSERT_EQ(image_load16(&image, &b, 0, 0, 1), 1);
    std::vector<uint16_t> screen(5 * 4, 0);
    ASSERT_EQ(image_draw16(&image, reinterpret_cast<uint8_t*>(screen.data()), 11, 0), 1);
    // pitch 11 steps as 10 bytes: 5 words a row
    uint16_t first;
    std::memcpy(&first, b.buffer, 2);
    EXPECT_EQ(screen[5 + 1], first);
    EXPECT_EQ(screen[0], 0);
    bitmap_unload_file(&b);
    image_destroy(&image);
}

TEST(Image, CopyRectRefusesBlocksOutsideEitherImage) {
    BitmapImage a = {}, b = {};
    ASSERT_EQ(image_create(&a, 0, 0, 4, 4, 8), 1);
    ASSERT_EQ(image_create(&b, 0, 0, 4, 4, 8), 1);
    b.buffer[5] = 9;
    EXPECT_EQ(image_copy_rect(&a, 0, 0, &b, 1, 1, 2, 2), 1);
    EXPECT_EQ(a.buffer[0], 9);
    EXPECT_EQ(image_copy_rect(&a, 3, 0, &b, 0, 0, 2, 2), 0);
    EXPECT_EQ(image_copy_rect(nullptr, 0, 0, &b, 0, 0, 1, 1), 0);
    image_destroy(&a);
    image_destroy(&b);
}
