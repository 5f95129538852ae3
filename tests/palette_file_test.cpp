// Palette text files: the writer's exact format, the round trip, short and malformed files
// read as far as they go but reported. (A missing or unwritable file: the fault matrix and the
// writers' cases in file_write_test.)
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/bitmap.h"
#include "tests/test_support.h"

TEST(PaletteFile, SaveWritesOneEntryALineAndLoadGivesThemBack) {
    PaletteEntry out[256];
    for (int i = 0; i < 256; ++i) {
        out[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                  static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i % 3 == 0 ? 4 : 0)};
    }
    const std::string path = test_temp_dir() + "/pal.pal";
    ASSERT_EQ(palette_save_file(path.c_str(), out), 1);
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    const std::string s = text.str();
    EXPECT_EQ(s.compare(0, 16, "\n0 255 0 4\n1 254"), 0) << s.substr(0, 20);
    EXPECT_EQ(s.back(), '4');  // no newline after the last entry ("255 0 249 4")
    PaletteEntry in[256];
    std::memset(in, 0xAB, sizeof(in));
    ASSERT_EQ(palette_load_file(path.c_str(), in), 1);
    EXPECT_EQ(std::memcmp(in, out, sizeof(in)), 0);
}

TEST(PaletteFile, AShortFileIsReadAsFarAsItGoesAndReported) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + " 1 2 3\n";
    text += "7 8\n";  // a broken 101st entry
    const std::string path = test_temp_dir() + "/short.pal";
    std::ofstream(path) << text;
    PaletteEntry entries[256];
    std::memset(entries, 9, sizeof(entries));
    EXPECT_EQ(palette_load_file(path.c_str(), entries), 0);
    EXPECT_EQ(entries[99].red, 99);
    EXPECT_EQ(entries[99].flags, 3);
    EXPECT_EQ(entries[100].red, 7);
    EXPECT_EQ(entries[100].blue, 9);
    EXPECT_EQ(entries[101].red, 9);
    EXPECT_EQ(entries[255].blue, 9);
}

TEST(PaletteFile, NumbersOutOfRangeOrTextAfterTheEntriesAreReported) {
    std::string whole;
    for (int i = 0; i < 256; ++i)
        whole += " 1 2 3 4\r\n";
    const std::string path = test_temp_dir() + "/p.pal";
    PaletteEntry entries[256];
    std::ofstream(path) << whole << "\n\t ";
    EXPECT_EQ(palette_load_file(path.c_str(), entries), 1);  // blanks may follow
    struct Case {
        std::string text;
        int red0, green0;  // what entry 0 holds after the read
    };
    const Case bad[] = {
        {"300 -1" + whole.substr(6), 300 & 255, 255},  // the low eight bits are still kept
        {"99999999999999999999999 1" + whole.substr(6), -1, 1},
        {whole + "junk", 1, 2},
        {whole + "5", 1, 2},
        {"BM\x36\x04" + whole, -1, -1},
    };
    for (const Case& c : bad) {
        std::ofstream(path, std::ios::binary) << c.text;
        std::memset(entries, 0, sizeof(entries));
        EXPECT_EQ(palette_load_file(path.c_str(), entries), 0) << c.text.substr(0, 30);
        if (c.red0 >= 0) {
            EXPECT_EQ(entries[0].red, c.red0) << c.text.substr(0, 30);
        }
        if (c.green0 >= 0) {
            EXPECT_EQ(entries[0].green, c.green0) << c.text.substr(0, 30);
        }
    }
    EXPECT_EQ(entries[255].red, 0);  // a picture's bytes are not entries
}
