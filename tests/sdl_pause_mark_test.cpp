// The pause mark: dims the frame, draws its panel and letters inside any picture size.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "programs/common/pause_mark.h"

namespace {

TEST(SdlPauseMark, DimsEveryPixelAndDrawsWhiteLettersInTheMiddle) {
    constexpr int width = 640, height = 480, pitch = 650;
    std::vector<uint32_t> pixels(pitch * height, 0xFF804020u);
    for (int y = 0; y < height; y++)
        pixels[y * pitch + width] = 0x12345678u;  // the pitch's padding
    pause_mark_draw(pixels.data(), pitch, width, height);
    EXPECT_EQ(pixels[0], 0xFF402010u);  // dimmed
    EXPECT_EQ(pixels[(height - 1) * pitch + width - 1], 0xFF402010u);
    for (int y = 0; y < height; y++)
        ASSERT_EQ(pixels[y * pitch + width], 0x12345678u);
    int white = 0, rows_with_white_top = height, rows_with_white_bottom = -1;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            if (pixels[y * pitch + x] == 0xFFFFFFFFu) {
                white++;
                rows_with_white_top = std::min(rows_with_white_top, y);
                rows_with_white_bottom = std::max(rows_with_white_bottom, y);
            }
        }
    }
    EXPECT_GT(white, 2000);
    // Centred: the text's band sits around the middle row.
    EXPECT_NEAR((rows_with_white_top + rows_with_white_bottom) / 2, height / 2, 20);
}

TEST(SdlPauseMark, SmallPicturesClipTheMarkAndTextMeasuresItself) {
    // Smaller than the panel: everything drawn stays inside (ASan watches the edges).
    for (auto size : {std::pair{100, 40}, {1, 1}, {640, 10}, {10, 480}}) {
        std::vector<uint32_t> pixels(size.first * size.second, 0xFFFFFFFFu);
        pause_mark_draw(pixels.data(), size.first, size.first, size.second);
    }
    EXPECT_EQ(pause_mark_text_width("PAUSED", 6), (6 * 6 - 1) * 6);
    EXPECT_EQ(pause_mark_text_width("", 3), 0);
    std::vector<uint32_t> strip(30 * 7, 0);
    // "I" is a bar three wide; drawn at a negative x it is cut, not wrapped.
    pause_mark_text(strip.data(), 30, 30, 7, "I", -2, 0, 1, 1u);
    EXPECT_EQ(strip[0], 1u);  // column 2 of the glyph's top row lands at x 0
    EXPECT_EQ(strip[29], 0u);
}

}  // namespace
