// The picture loader over the public BMP test suite (its public-domain files, kept in
// tests/data/bmpsuite): every file loads or is refused cleanly (the sanitizer build catches
// stray reads), and every supported file decodes to the pixels a reference decoder gives
// (hashes taken from SDL2's loader, 24-bit reduced to 5-6-5).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "engine/display.h"

namespace {

struct Expected {
    const char* file;
    int bits, width, height;
    uint64_t hash;
};

const Expected expected[] = {
    {"g/pal8-0.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"g/pal8.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"g/pal8gs.bmp", 8, 127, 64, 0x7c698e5f553cbe69ull},
    {"g/pal8nonsquare.bmp", 8, 127, 32, 0x71562f4814661f62ull},
    {"g/pal8topdown.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"g/pal8v4.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"g/pal8v5.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"g/pal8w124.bmp", 8, 124, 61, 0x31397923c26d75efull},
    {"g/pal8w125.bmp", 8, 125, 62, 0x572054e71fdcfc41ull},
    {"g/pal8w126.bmp", 8, 126, 63, 0x18f0efc8968f472bull},
    {"g/rgb16.bmp", 16, 127, 64, 0xb4746a222a968e1dull},
    {"g/rgb24.bmp", 24, 127, 64, 0x31ff1b5e0070f1ebull},
    {"g/rgb24pal.bmp", 24, 127, 64, 0x31ff1b5e0070f1ebull},
    {"q/pal8offs.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"q/pal8os2v2-40sz.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"q/pal8oversizepal.bmp", 8, 127, 64, 0x8836a99ccd190b9eull},
    {"q/rgb16faketrns.bmp", 16, 127, 64, 0xb4746a222a968e1dull},
    {"q/rgb24largepal.bmp", 24, 127, 64, 0x31ff1b5e0070f1ebull},
    {"q/rgb24lprof.bmp", 24, 127, 64, 0x31ff1b5e0070f1ebull},
};

const std::string suite = std::string(QUELLARO_SOURCE_DIR) + "/tests/data/bmpsuite";

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

// What the reference hash covers: RGB through the palette (8-bit), or the 16-bit words
// themselves (5-5-5 without the unused top bit; 24-bit files become 5-6-5 on load).
std::vector<uint8_t> comparable(const BitmapFile& b, int bits) {
    std::vector<uint8_t> out;
    const int n = b.info_header.width *
                  (b.info_header.height < 0 ? -b.info_header.height : b.info_header.height);
    for (int i = 0; i < n; ++i) {
        if (bits == 8) {
            const PaletteEntry& e = b.palette[b.buffer[i]];
            out.insert(out.end(), {e.red, e.green, e.blue});
        } else {
            uint16_t w;
            std::memcpy(&w, b.buffer + i * 2, 2);
            if (bits == 16)
                w &= 0x7FFF;
            out.insert(out.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
        }
    }
    return out;
}

}  // namespace

TEST(BmpSuite, EveryFileLoadsOrIsRefusedCleanly) {
    pixel_format = 16;
    int files = 0;
    for (const char* folder : {"b", "g", "q"}) {
        for (const auto& entry : std::filesystem::directory_iterator(suite + "/" + folder)) {
            BitmapFile bitmap;
            std::memset(&bitmap, 0, sizeof(bitmap));
            const int result = bitmap_load_file(&bitmap, entry.path().c_str());
            EXPECT_TRUE(result == 0 || result == 1);
            EXPECT_EQ(result == 1, bitmap.buffer != nullptr) << entry.path();
            bitmap_unload_file(&bitmap);
            ++files;
        }
    }
    EXPECT_EQ(files, 88);
}

TEST(BmpSuite, SupportedFilesDecodeToTheReferencePixels) {
    pixel_format = 16;
    for (const Expected& e : expected) {
        BitmapFile bitmap;
        std::memset(&bitmap, 0, sizeof(bitmap));
        ASSERT_EQ(bitmap_load_file(&bitmap, (suite + "/" + e.file).c_str()), 1) << e.file;
        EXPECT_EQ(+bitmap.info_header.width, e.width) << e.file;
        EXPECT_EQ(+bitmap.info_header.bit_count, e.bits == 24 ? 16 : e.bits) << e.file;
        EXPECT_EQ(fnv1a(comparable(bitmap, e.bits)), e.hash) << e.file;
        bitmap_unload_file(&bitmap);
    }
}
