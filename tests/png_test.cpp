// The compressed PNG writer: exact pixels through the palette, real compression, clean
// refusals. Every kind of picture read back, alpha and row steps too: the PNG fuzz target's
// seeds, which the tests replay; failed writes: the writers' cases in file_write_test.
#include "platform/png.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/png_read.h"
#include "tests/test_support.h"

namespace {

// A frame like the game's: a padded pitch, flat areas and a few busy rows, every index used.
TEST(Png, IndexedFrameReadsBackAsItsPaletteColoursAndIsSmall) {
    constexpr int width = 640, height = 480, pitch = 656;
    std::vector<uint8_t> frame(static_cast<size_t>(pitch) * height, 0xEE);  // padding
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame[y * pitch + x] = static_cast<uint8_t>(y < 8 ? (x * 7 + y) : (y / 60) * 30 + 1);
        }
    }
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i * 3), 0};
    const std::string path = test_temp_dir() + "/frame.png";
    ASSERT_EQ(png_write_indexed(path.c_str(), frame.data(), pitch, width, height, palette), 1);

    PngPicture picture;
    ASSERT_TRUE(png_read(path, &picture));
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    ASSERT_EQ(picture.channels, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& c = palette[frame[y * pitch + x]];
            const uint8_t* p = &picture.pixels[(static_cast<size_t>(y) * width + x) * 3];
            ASSERT_TRUE(p[0] == c.red && p[1] == c.green && p[2] == c.blue) << x << "," << y;
        }
    }
    EXPECT_LT(std::filesystem::file_size(path), width * height * 3u / 50);
}

TEST(Png, RefusesBadSizesAndLeavesNoFileWhenItCannotWrite) {
    const std::string dir = test_temp_dir();
    const uint8_t pixel[4] = {1, 2, 3, 4};
    PaletteEntry palette[256] = {};
    EXPECT_EQ(png_write_rgb((dir + "/a.png").c_str(), pixel, 0, 1), 0);
    EXPECT_EQ(png_write_rgb((dir + "/b.png").c_str(), pixel, 1, -1), 0);
    EXPECT_EQ(png_write_rgba((dir + "/c.png").c_str(), pixel, 3, 1, 1), 0);  // a byte too short
    EXPECT_EQ(png_write_indexed((dir + "/d.png").c_str(), pixel, 1, 2, 1, palette), 0);
    EXPECT_EQ(png_write_rgb((dir + "/no/such/folder.png").c_str(), pixel, 1, 1), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

}  // namespace
