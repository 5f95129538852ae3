// The picture loader on files written here: the format as paint programs save it, and
// malformed files that must be refused without reading or writing out of bounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "tests/test_support.h"

namespace {

class BitmapLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = test_temp_dir();
        std::memset(&bitmap, 0, sizeof(bitmap));
        pixel_format = 8;
    }
    void TearDown() override { bitmap_unload_file(&bitmap); }
    std::string write(const std::vector<uint8_t>& bytes, const char* name = "p.bmp") {
        std::string path = dir + "/" + name;
        test_write_file(path, bytes);
        return path;
    }
    std::string dir;
    BitmapFile bitmap;
};

TestBmp ramp_8bit(int width, int height) {
    TestBmp bmp;
    bmp.width = width;
    bmp.height = height;
    for (int i = 0; i < width * height; ++i)
        bmp.pixels.push_back(static_cast<uint8_t>(i + 1));
    bmp.palette.resize(256, PaletteEntry{0, 0, 0, 0});
    return bmp;
}

}  // namespace

TEST_F(BitmapLoad, PaletteIsRedFirstWithNoCollapseFlagAndRowsComeTopFirst) {
    TestBmp bmp = ramp_8bit(4, 3);
    bmp.palette[5] = {30, 20, 10, 0};  // written to the file as 10, 20, 30, 0
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(bmp)).c_str()), 1);
    EXPECT_EQ(bitmap.palette[5].red, 30);
    EXPECT_EQ(bitmap.palette[5].green, 20);
    EXPECT_EQ(bitmap.palette[5].blue, 10);
    EXPECT_EQ(bitmap.palette[5].flags, PALETTE_FLAG_NOCOLLAPSE);
    EXPECT_EQ(+bitmap.info_header.width, 4);
    EXPECT_EQ(+bitmap.info_header.bit_count, 8);
    // The file stores the bottom row first; the buffer holds the top row first.
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bitmap.buffer[i], i + 1) << i;
}

TEST_F(BitmapLoad, PaddedRowsShortTablesLongHeadersAndTopDownFilesReadAsSaved) {
    TestBmp bmp = ramp_8bit(5, 3);  // rows of 5 bytes padded to 8 in the file
    bmp.palette_entries = 16;
    bmp.clr_used = 16;
    bmp.palette[3] = {1, 2, 3, 0};
    bmp.header_size = 108;
    bmp.gap_after_palette = 100;
    bmp.zero_size_image = true;
    bmp.trailing_bytes = 77;  // e.g. a colour profile after the pixels
    for (bool top_down : {false, true}) {
        bmp.top_down = top_down;
        ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(bmp)).c_str()), 1) << top_down;
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(bitmap.buffer[i], i + 1) << i;
        EXPECT_EQ(bitmap.palette[3].red, 1);
        EXPECT_EQ(bitmap.palette[3].blue, 3);
        // Entries the table does not hold stay black.
        EXPECT_EQ(bitmap.palette[200].red, 0);
    }
}

TEST_F(BitmapLoad, SixteenBitWordsAndTwentyFourBitConversionByDisplayFormat) {
    TestBmp b16;
    b16.bits = 16;
    b16.width = 3;
    b16.height = 1;
    b16.pixels = {0x34, 0x12, 0xFF, 0x7F, 0x01, 0x00};
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(b16)).c_str()), 1);
    uint16_t words[3];
    std::memcpy(words, bitmap.buffer, 6);
    EXPECT_EQ(words[0], 0x1234);
    EXPECT_EQ(words[1], 0x7FFF);
    EXPECT_EQ(words[2], 0x0001);

    TestBmp b24;
    b24.bits = 24;
    b24.width = 2;
    b24.height = 2;
    b24.pixels = {255, 255, 255, 0, 0, 255, 8, 4, 8, 0, 0, 0};  // B, G, R per pixel
    pixel_format = 15;
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(b24)).c_str()), 1);
    std::memcpy(words, bitmap.buffer, 4);
    EXPECT_EQ(words[0], 0x7FFF);
    EXPECT_EQ(words[1], 31 << 10);  // pure red
    EXPECT_EQ(+bitmap.info_header.bit_count, 16);
    pixel_format = 16;
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(b24)).c_str()), 1);
    std::memcpy(words, bitmap.buffer, 6);
    EXPECT_EQ(words[0], 0xFFFF);
    EXPECT_EQ(words[1], 31 << 11);
    EXPECT_EQ(words[2], (8 >> 3) | (4 >> 2) << 5 | (8 >> 3) << 11);
    // No conversion exists for a palettised display.
    pixel_format = 8;
    EXPECT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(b24)).c_str()), 0);
    EXPECT_EQ(bitmap.buffer, nullptr);
}

TEST_F(BitmapLoad, MalformedFilesAreRefusedAndLeaveTheRecordEmpty) {
    const std::vector<uint8_t> good = test_bmp_bytes(ramp_8bit(8, 8));
    ASSERT_EQ(bitmap_load_file(&bitmap, write(good).c_str()), 1);

    auto refused = [&](const std::vector<uint8_t>& bytes, const char* what) {
        ASSERT_EQ(bitmap_load_file(&bitmap, write(bytes).c_str()), 0) << what;
        EXPECT_EQ(bitmap.buffer, nullptr) << what;
    };
    std::vector<uint8_t> b = good;
    b[0] = 'X';
    refused(b, "not BM");
    refused(std::vector<uint8_t>(good.begin(), good.begin() + 10), "shorter than a header");
    refused(std::vector<uint8_t>(good.begin(), good.end() - 1), "pixels cut short");
    b = good;
    b[34] = 0xFF;  // image size far beyond the file
    b[35] = 0xFF;
    b[36] = 0xFF;
    refused(b, "image size larger than the file");
    b = good;
    b[18] = 0x00;  // width 0x7FFFFF00: width x height overflows
    b[19] = 0xFF;
    b[20] = 0xFF;
    b[21] = 0x7F;
    b[22] = 0xFF;
    b[23] = 0xFF;
    b[24] = 0xFF;
    b[25] = 0x7F;
    refused(b, "absurd size");
    b = good;
    b[22] = 0;
    b[23] = 0;
    b[24] = 0;
    b[25] = 0x80;  // height -2^31
    refused(b, "height of -2^31");
    b = good;
    b[30] = 1;  // run-length compressed
    refused(b, "compressed");
    b = good;
    b[28] = 32;
    refused(b, "32 bits per pixel");
    b = good;
    b[10] = 0xF0;  // pixel offset past the end
    b[11] = 0xFF;
    refused(b, "offset outside the file");
    for (uint8_t into : {0, 14, 53}) {  // the pixels would be read out of the headers
        b = good;
        b[10] = into;
        b[11] = 0;
        refused(b, "offset into the headers");
    }
    b = good;
    b[14] = 12;  // an OS/2 header
    refused(b, "12-byte header");
    EXPECT_EQ(bitmap_load_file(&bitmap, (dir + "/missing.bmp").c_str()), 0);
}

// A colour count larger than the table the file stores: the entries past the table are black,
// never read out of the pixel bytes that follow it; a count past 256 is cut to 256.
TEST_F(BitmapLoad, AColourCountPastTheStoredTableLeavesTheRestBlack) {
    TestBmp bmp = ramp_8bit(16, 16);
    std::fill(bmp.pixels.begin(), bmp.pixels.end(), 0xAB);
    bmp.palette_entries = 16;
    bmp.clr_used = 200;
    bmp.palette[15] = {7, 8, 9, 0};
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(bmp)).c_str()), 1);
    EXPECT_EQ(bitmap.palette[15].red, 7);
    for (int i = 16; i < 256; ++i) {
        const PaletteEntry& c = bitmap.palette[i];
        ASSERT_TRUE(c.red == 0 && c.green == 0 && c.blue == 0) << i;
    }
    EXPECT_EQ(bitmap.buffer[0], 0xAB);

    bmp.palette_entries = 256;
    bmp.clr_used = 305402420;
    bmp.palette[255] = {9, 9, 9, 0};
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(bmp)).c_str()), 1);
    EXPECT_EQ(bitmap.palette[255].red, 9);
}

// Rows are read straight to their places in batches of pieces: a tall padded picture spans
// several batches, both ways up, and a stream gives what the file gives.
TEST_F(BitmapLoad, TallPaddedPicturesLandRowByRowFromFilesAndStreams) {
    TestBmp bmp;
    bmp.width = 5;
    bmp.height = 1500;
    for (int i = 0; i < bmp.width * bmp.height; ++i)
        bmp.pixels.push_back(static_cast<uint8_t>(i / 5 * 7 + i % 5));
    bmp.palette.resize(256, PaletteEntry{0, 0, 0, 0});
    for (bool top_down : {false, true}) {
        bmp.top_down = top_down;
        const std::vector<uint8_t> bytes = test_bmp_bytes(bmp);
        ASSERT_EQ(bitmap_load_file(&bitmap, write(bytes).c_str()), 1);
        EXPECT_EQ(std::memcmp(bitmap.buffer, bmp.pixels.data(), bmp.pixels.size()), 0);
        std::vector<uint8_t> copy = bytes;
        FILE* stream = fmemopen(copy.data(), copy.size(), "rb");
        ASSERT_NE(stream, nullptr);
        BitmapFile streamed{};
        EXPECT_EQ(bitmap_load_stream(&streamed, stream), 1);
        std::fclose(stream);
        EXPECT_EQ(std::memcmp(streamed.buffer, bmp.pixels.data(), bmp.pixels.size()), 0);
        bitmap_unload_file(&streamed);
    }
}

// The storage of one picture serves the next: a larger one after a smaller must still get
// all its rows, whether loaded over the record or after an unload.
TEST_F(BitmapLoad, PicturesOfEverySizeInTurnKeepTheirPixels) {
    for (int width : {8, 640, 4, 320, 640}) {
        TestBmp bmp = ramp_8bit(width, width / 2 + 1);
        for (size_t i = 0; i < bmp.pixels.size(); ++i)
            bmp.pixels[i] = static_cast<uint8_t>(i * 13 + width);
        const std::string path = write(test_bmp_bytes(bmp));
        ASSERT_EQ(bitmap_load_file(&bitmap, path.c_str()), 1) << width;
        EXPECT_EQ(std::memcmp(bitmap.buffer, bmp.pixels.data(), bmp.pixels.size()), 0) << width;
        if (width == 4)
            bitmap_unload_file(&bitmap);
    }
    // A buffer the caller put in the record is only freed, never reused.
    bitmap_unload_file(&bitmap);
    bitmap.buffer = static_cast<uint8_t*>(std::malloc(16));
    ASSERT_EQ(bitmap_load_file(&bitmap, write(test_bmp_bytes(ramp_8bit(16, 16))).c_str()), 1);
    EXPECT_EQ(bitmap.buffer[255], 0);  // 256th pixel of the ramp (bytes wrap)
    bitmap_shutdown();
}

TEST(BitmapRecord, UnloadAndFlipRows) {
    BitmapFile empty;
    std::memset(&empty, 0, sizeof(empty));
    EXPECT_EQ(bitmap_unload_file(&empty), 1);
    EXPECT_EQ(empty.buffer, nullptr);
    uint8_t rows[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(bitmap_flip_rows(rows, 2, 3), 1);
    const uint8_t flipped[6] = {5, 6, 3, 4, 1, 2};
    EXPECT_EQ(std::memcmp(rows, flipped, 6), 0);
    // Rows longer than the flip's piece of stack, in an even count.
    std::vector<uint8_t> wide(1000 * 4);
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<uint8_t>(i / 1000 * 50 + i % 7);
    const std::vector<uint8_t> before = wide;
    EXPECT_EQ(bitmap_flip_rows(wide.data(), 1000, 4), 1);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(std::memcmp(&wide[row * 1000], &before[(3 - row) * 1000], 1000), 0) << row;
    }
}
