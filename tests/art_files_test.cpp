// The generated picture files as the loader reads them: format, sizes, the shared palette.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "engine/bitmap.h"
#include "tests/art_support.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

struct Size {
    const char* name;
    int width, height;
};

TEST(ArtFiles, EveryPictureIsAnUncompressedBottomUp8BitFileWithWholeRows) {
    for (const std::string& name : art_all_pictures()) {
        SCOPED_TRACE(name);
        ArtPicture p = art_load(name.c_str());
        ASSERT_TRUE(p.ok);
        const std::vector<uint8_t>& b = p.raw;
        ASSERT_GE(b.size(), 1078u);
        EXPECT_EQ(le16(b, 0), 0x4D42);
        EXPECT_EQ(le32(b, 2), b.size());
        EXPECT_EQ(le32(b, 10), 1078u);
        EXPECT_EQ(le32(b, 14), 40u);
        EXPECT_GT(static_cast<int32_t>(le32(b, 22)), 0);  // positive height: bottom row first
        EXPECT_EQ(le16(b, 28), 8);
        EXPECT_EQ(le32(b, 30), 0u);
        EXPECT_EQ(p.width % 4, 0);
        EXPECT_EQ(le32(b, 34), static_cast<uint32_t>(p.width * p.height));
        EXPECT_EQ(b.size(), 1078u + static_cast<size_t>(p.width) * p.height);
    }
}

TEST(ArtFiles, SizesAreWhatTheLoadStepsAndTheMenuExpect) {
    const Size sizes[] = {
        {"dorvo1.bmp", 256, 224},
        {"dorvo13.bmp", 256, 224},
        {"dorvosprites.bmp", 128, 100},
        {"dorvospritelarge.bmp", 128, 131},
        {"questionblock.bmp", 136, 34},
        {"brick.bmp", 100, 34},
        {"mushroom.bmp", 36, 34},
        {"skivit.bmp", 68, 67},
        {"coin.bmp", 72, 30},
        {"pipe.bmp", 68, 67},
        {"block.bmp", 32, 32},
        {"menubackground1.bmp", 640, 480},
        {"menubackground4.bmp", 640, 480},
        {"option2.bmp", 640, 480},
        {"option3.bmp", 640, 480},
        {"icon16.bmp", 16, 16},
        {"icon32.bmp", 32, 32},
        {"cursor.bmp", 32, 32},
    };
    for (const Size& s : sizes) {
        SCOPED_TRACE(s.name);
        ArtPicture p = art_load(s.name);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.width, s.width);
        EXPECT_EQ(p.height, s.height);
    }
}

TEST(ArtFiles, EveryColourTableIsThePaletteFileAndKeepsTheReservedColours) {
    PaletteEntry pal[256];
    std::memset(pal, 0x55, sizeof pal);
    ASSERT_EQ(palette_load_file("PALDATA2.PAL", pal), 1);
    // The file is written the way the game writes palettes: each entry on a new line.
    FILE* f = std::fopen("PALDATA2.PAL", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), '\n');
    std::fclose(f);
    EXPECT_EQ(pal[0].red | pal[0].green | pal[0].blue, 0);
    bool white = false;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(pal[i].flags, 0) << i;
        white |= pal[i].red == 255 && pal[i].green == 255 && pal[i].blue == 255;
        // The pit colour must not be mistaken for anything: no other entry shares it.
        if (i != 91) {
            EXPECT_FALSE(pal[i].red == pal[91].red && pal[i].green == pal[91].green &&
                         pal[i].blue == pal[91].blue)
                << i;
        }
    }
    EXPECT_TRUE(white);
    for (const std::string& name : art_all_pictures()) {
        SCOPED_TRACE(name);
        ArtPicture p = art_load(name.c_str());
        ASSERT_TRUE(p.ok);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(p.palette[i].red, pal[i].red) << i;
            ASSERT_EQ(p.palette[i].green, pal[i].green) << i;
            ASSERT_EQ(p.palette[i].blue, pal[i].blue) << i;
        }
    }
}

TEST(ArtFiles, CursorHotSpotLiesOnTheCursor) {
    FILE* f = std::fopen("cursor_hotspot.txt", "rb");
    ASSERT_NE(f, nullptr);
    int x = -1, y = -1;
    ASSERT_EQ(std::fscanf(f, "%d %d", &x, &y), 2);
    std::fclose(f);
    ArtPicture p = art_load("cursor.bmp");
    ASSERT_TRUE(p.ok);
    ASSERT_TRUE(x >= 0 && x < 32 && y >= 0 && y < 32);
    EXPECT_NE(p.at(x, y), 253);
}

}  // namespace
