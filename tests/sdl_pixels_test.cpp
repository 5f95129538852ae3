// Pixel conversion of the SDL backend (palette and 16-bit formats) and its small parsers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sdl/parse.h"
#include "platform/sdl/pixels.h"

namespace {

TEST(SdlPixels, PaletteBecomesOpaqueArgbWithOneClearEntry) {
    PaletteEntry palette[256] = {};
    palette[1] = {10, 20, 30, 4};
    palette[253] = {255, 0, 255, 0};
    ColourTable table;
    palette_to_argb(palette, -1, &table);
    EXPECT_EQ(table.argb[0], 0xFF000000u);
    EXPECT_EQ(table.argb[1], 0xFF0A141Eu);
    EXPECT_EQ(table.argb[253], 0xFFFF00FFu);
    palette_to_argb(palette, 253, &table);
    EXPECT_EQ(table.argb[253], 0u);
    EXPECT_EQ(table.argb[1], 0xFF0A141Eu);

    const uint8_t row[4] = {1, 253, 0, 1};
    uint32_t out[5] = {0, 0, 0, 0, 0x12345678u};
    convert_row_8(row, 4, table, out);
    EXPECT_EQ(out[0], 0xFF0A141Eu);
    EXPECT_EQ(out[1], 0u);
    EXPECT_EQ(out[2], 0xFF000000u);
    EXPECT_EQ(out[3], 0xFF0A141Eu);
    EXPECT_EQ(out[4], 0x12345678u);  // nothing past the count
}

// Every length around the vector path's 64-pixel steps, at odd offsets, every index and a
// clear entry: where this processor has the vector path it must give the portable path's
// pixels, and write nothing past the count.
TEST(SdlPixels, EveryPathConvertsAlikeAtAnyLengthAndOffset) {
    PaletteEntry palette[256];
    for (int i = 0; i < 256; i++)
        palette[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i * 13 + 5), 0};
    ColourTable table;
    palette_to_argb(palette, 200, &table);
    uint8_t source[300];
    uint32_t seed = 12345;
    for (uint8_t& byte : source) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    for (int i = 0; i < 256; i++)
        source[i + 3] = static_cast<uint8_t>(i);
    for (int count : {0, 1, 63, 64, 65, 127, 128, 200, 256, 290}) {
        for (int offset : {0, 1, 3}) {
            uint32_t fast[300], portable[300];
            std::fill(fast, fast + 300, 0x12345678u);
            std::fill(portable, portable + 300, 0x12345678u);
            convert_row_8(source + offset, count, table, fast + offset);
            convert_row_8_portable(source + offset, count, table, portable + offset);
            for (int i = 0; i < 300; i++)
                ASSERT_EQ(fast[i], portable[i])
                    << count << " pixels from " << offset << ", at " << i;
            for (int i = 0; i < count; i++)
                ASSERT_EQ(portable[offset + i], table.argb[source[offset + i]]);
        }
    }
    if (!convert_row_8_vectorised())
        std::printf("(no vector path on this processor: the portable path alone was checked)\n");
}

// Rows of 16-bit pixels start one byte into the buffer, as an odd pitch would place them.
void convert_one(uint16_t pixel, int bpp, uint32_t* out) {
    uint8_t buffer[3];
    std::memcpy(buffer + 1, &pixel, 2);
    convert_row_16(buffer + 1, 1, bpp, out);
}

TEST(SdlPixels, SixteenBitFormatsKeepFullScaleAndChannelOrder) {
    const struct {
        uint16_t pixel;
        int bpp;
        uint32_t argb;
    } cases[] = {
        {0xFFFF, 16, 0xFFFFFFFFu}, {0xF800, 16, 0xFFFF0000u}, {0x07E0, 16, 0xFF00FF00u},
        {0x001F, 16, 0xFF0000FFu}, {0x0000, 16, 0xFF000000u}, {0x8410, 16, 0xFF848284u},
        {0x7FFF, 15, 0xFFFFFFFFu}, {0x7C00, 15, 0xFFFF0000u}, {0x03E0, 15, 0xFF00FF00u},
        {0x001F, 15, 0xFF0000FFu}, {0x8000, 15, 0xFF000000u},  // the top bit is not colour
    };
    for (const auto& c : cases) {
        uint32_t out = 0;
        convert_one(c.pixel, c.bpp, &out);
        EXPECT_EQ(out, c.argb) << std::hex << c.pixel << " at " << std::dec << c.bpp;
    }
}

TEST(SdlParse, WindowSizeIsTwoNumbersAndAnX) {
    int width = -1, height = -1;
    EXPECT_EQ(parse_window_size("1280x960", &width, &height), 1);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 960);
    EXPECT_EQ(parse_window_size("1920X1080", &width, &height), 1);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(height, 1080);
    for (const char* bad :
         {"", "1280", "x960", "1280x", "1280x960 ", " 1280x960", "0x480", "640x0", "16385x100",
          "9999999999x1", "-5x4", "12a0x960", "1280*960", "1280x960x2"}) {
        width = height = -1;
        EXPECT_EQ(parse_window_size(bad, &width, &height), 0) << bad;
        EXPECT_EQ(width, -1) << bad;
    }
    EXPECT_EQ(parse_window_size(nullptr, &width, &height), 0);
}

TEST(SdlParse, HotSpotMustLieInsideTheCursor) {
    int x = -1, y = -1;
    EXPECT_EQ(parse_hotspot("30 5", 32, 32, &x, &y), 1);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(parse_hotspot(" 0\t0\r\n", 32, 32, &x, &y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(parse_hotspot("31 31\n", 32, 32, &x, &y), 1);
    for (const char* bad : {"32 0", "0 32", "", "5", "5 5 5", "a b", "-1 3", "5,5", "5 5x"}) {
        x = y = -1;
        EXPECT_EQ(parse_hotspot(bad, 32, 32, &x, &y), 0) << bad;
        EXPECT_EQ(x, -1) << bad;
    }
    EXPECT_EQ(parse_hotspot(nullptr, 32, 32, &x, &y), 0);
}

}  // namespace
