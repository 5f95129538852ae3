// Tests of the built-in font: HUD and menu metrics, glyph coverage, clipping and pixel writes.
#include "engine/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/hud.h"

namespace {

int width_of(const std::string& text) {
    return font_text_width(text.data(), static_cast<int>(text.size()));
}

// An 8-bit canvas whose drawing area sits inside guard bytes on every side.
struct GuardedCanvas {
    static constexpr uint8_t kGuard = 0xA5;
    int width, height, bytes_per_pixel, pitch, left = 5, top = 3;
    std::vector<uint8_t> bytes;

    GuardedCanvas(int w, int h, int bpp)
        : width(w),
          height(h),
          bytes_per_pixel(bpp),
          pitch(w * bpp + 13),
          bytes(static_cast<size_t>(pitch) * (h + 6), kGuard) {}
    uint8_t* area() { return bytes.data() + top * pitch + left * bytes_per_pixel; }
    bool inside(size_t offset) const {
        const int row = static_cast<int>(offset / pitch) - top;
        const int col = static_cast<int>(offset % pitch) - left * bytes_per_pixel;
        return row >= 0 && row < height && col >= 0 && col < width * bytes_per_pixel;
    }
    void draw(int x, int y, const char* text, uint32_t value, int scale) {
        font_draw(area(), pitch, bytes_per_pixel, width, height, x, y, text,
                  static_cast<int>(strlen(text)), value, scale);
    }
    int changed_outside() const {
        int changed = 0;
        for (size_t i = 0; i < bytes.size(); ++i) {
            changed += !inside(i) && bytes[i] != kGuard;
        }
        return changed;
    }
    uint8_t at(int x, int y) const { return bytes[(top + y) * pitch + left + x]; }
};

// Renders text at scale 1 into a plain 0/1 map with a wide margin: the unclipped truth.
struct Reference {
    static constexpr int kMargin = 100, kWidth = 500, kHeight = 250;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kWidth * kHeight, 0);
    Reference(const char* text, int scale) {
        font_draw(pixels.data(), kWidth, 1, kWidth, kHeight, kMargin, kMargin, text,
                  static_cast<int>(strlen(text)), 1, scale);
    }
    // Whether the text drawn at (x, y) covers pixel (px, py).
    bool covers(int x, int y, int px, int py) const {
        const int rx = px - x + kMargin, ry = py - y + kMargin;
        return rx >= 0 && rx < kWidth && ry >= 0 && ry < kHeight && pixels[ry * kWidth + rx];
    }
};

TEST(Font, AdvancesThatTheHudAndMenuRelyOn) {
    EXPECT_EQ(font_char_width(' '), 4);
    for (char c = '0'; c <= '9'; ++c) {
        EXPECT_EQ(font_char_width(c), 8) << c;
    }
    for (char c : std::string("ABCDEFGHKNOPQRSTUVXYZ")) {
        EXPECT_GE(font_char_width(c), 9) << c;
        EXPECT_LE(font_char_width(c), 11) << c;
    }
    EXPECT_LE(font_char_width('-'), 8);
    for (int c : {0, 9, 10, 31, 127, 128, 200, 255}) {
        EXPECT_EQ(font_char_width(static_cast<char>(c)), 0) << c;
    }
    EXPECT_EQ(width_of("A\x01\x7F"
                       "B"),
              width_of("AB"));
    EXPECT_EQ(width_of("ABC"), font_char_width('A') + font_char_width('B') + font_char_width('C'));
    EXPECT_EQ(font_text_width(nullptr, 5), 0);
    EXPECT_EQ(font_text_width("ABC", -1), 0);
    EXPECT_EQ(font_text_width("ABC", 2), width_of("AB"));

    // Menu entries are clicked inside rectangles of these widths.
    EXPECT_LE(width_of("ABOUT"), 52);
    EXPECT_LE(width_of("QUIT"), 50);
    EXPECT_LE(width_of("START GAME"), 138);
}

// The words of a line and where their ink starts and ends, drawn from x.
struct Word {
    std::string text;
    int left, right;
};
std::vector<Word> words_of(const std::string& line, int x) {
    std::vector<Word> words;
    for (size_t at = line.find_first_not_of(' '); at != std::string::npos;) {
        const size_t end = std::min(line.find(' ', at), line.size());
        const int left = x + width_of(line.substr(0, at));
        const std::string text = line.substr(at, end - at);
        words.push_back({text, left, left + width_of(text) - 1});
        at = line.find_first_not_of(' ', end);
    }
    return words;
}

// Each value of the HUD's second line, as the game formats it, sits under its label.
TEST(Font, HudValuesSitUnderTheirLabels) {
    const std::vector<Word> labels = words_of(hud_label, HUD_LABEL_X);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0].text, "DORVO");
    EXPECT_EQ(labels[3].text, "TIME");
    EXPECT_LE(labels[3].right, 640);
    for (int score : {0, 12, 400, 1234567}) {
        for (int coins : {0, 12, 400}) {
            for (int time : {400, 12, 0, -5}) {
                char line[256];
                std::snprintf(line, sizeof line, hud_values_format, score, coins, time);
                const std::vector<Word> values = words_of(line, HUD_VALUES_X);
                ASSERT_EQ(values.size(), 4u) << line;
                EXPECT_EQ(values[2].text, "1-1");
                for (int i = 0; i < 4; ++i) {
                    const double centre = (values[i].left + values[i].right) / 2.0;
                    EXPECT_GE(centre, labels[i].left) << labels[i].text << ": " << line;
                    EXPECT_LE(centre, labels[i].right) << labels[i].text << ": " << line;
                }
                EXPECT_LE(values[3].right, 640) << line;
            }
        }
    }
}

// Every glyph has ink, stays inside its own cell and writes only its own pixels.
TEST(Font, GlyphsHaveInkInsideTheirCells) {
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        GuardedCanvas canvas(24, FONT_HEIGHT, 1);
        canvas.draw(0, 0, std::string(1, c).c_str(), 0x3C, 1);
        if (code == 0) {
            continue;  // an empty string: nothing to look at
        }
        int ink = 0, outside_cell = 0, other = 0;
        for (int y = 0; y < FONT_HEIGHT; ++y) {
            for (int x = 0; x < canvas.width; ++x) {
                const uint8_t v = canvas.at(x, y);
                ink += v == 0x3C;
                outside_cell += v == 0x3C && x >= font_char_width(c);
                other += v != 0x3C && v != GuardedCanvas::kGuard;
            }
        }
        const bool printable = code >= 33 && code <= 126;
        EXPECT_EQ(ink > 0, printable) << code;
        EXPECT_EQ(outside_cell, 0) << code;
        EXPECT_EQ(other, 0) << code;
        EXPECT_EQ(canvas.changed_outside(), 0) << code;
    }
}

// Text across every edge, and far beyond them, draws exactly its visible part.
TEST(Font, ClipsExactlyToTheArea) {
    const char* text = "Wg|@Q_j";
    const int positions[][2] = {{-13, 2}, {-70, 4}, {30, 1},   {36, 9},   {3, -9},   {5, -15},
                                {0, 15},  {2, 22},  {-9, -12}, {31, 17},  {-80, 30}, {60, -20},
                                {0, -16}, {37, 0},  {0, 23},   {-1000, 0}};
    for (int scale : {1, 3}) {
        const Reference reference(text, scale);
        for (const auto& pos : positions) {
            GuardedCanvas canvas(37, 23, 1);
            canvas.draw(pos[0], pos[1], text, 0x11, scale);
            EXPECT_EQ(canvas.changed_outside(), 0) << pos[0] << "," << pos[1];
            int mismatches = 0;
            for (int y = 0; y < canvas.height; ++y) {
                for (int x = 0; x < canvas.width; ++x) {
                    const uint8_t expected =
                        reference.covers(pos[0], pos[1], x, y) ? 0x11 : GuardedCanvas::kGuard;
                    mismatches += canvas.at(x, y) != expected;
                }
            }
            EXPECT_EQ(mismatches, 0) << pos[0] << "," << pos[1] << " scale " << scale;
        }
    }

    // Extreme positions, scales and bad arguments write nothing at all.
    const int extremes[][3] = {
        {INT_MAX, 0, 1},       {0, INT_MAX, 1},     {INT_MIN, 0, 1}, {0, INT_MIN, 1},
        {INT_MIN, INT_MIN, 7}, {INT_MAX - 3, 5, 1}, {-40, -40, 0},   {2, 2, -3},
        {INT_MIN, 0, INT_MAX}};
    for (const auto& e : extremes) {
        GuardedCanvas canvas(37, 23, 1);
        canvas.draw(e[0], e[1], text, 0x11, e[2]);
        EXPECT_EQ(std::count(canvas.bytes.begin(), canvas.bytes.end(), GuardedCanvas::kGuard),
                  static_cast<long>(canvas.bytes.size()))
            << e[0] << "," << e[1] << " scale " << e[2];
    }
    // A huge scale from inside the area floods only the area.
    GuardedCanvas flooded(37, 23, 1);
    flooded.draw(-5, -5, "W", 0x11, INT_MAX);
    EXPECT_EQ(flooded.changed_outside(), 0);

    GuardedCanvas canvas(37, 23, 1);
    font_draw(nullptr, canvas.pitch, 1, 37, 23, 0, 0, text, 3, 0x11, 1);
    font_draw(canvas.area(), canvas.pitch, 1, 37, 23, 0, 0, nullptr, 3, 0x11, 1);
    font_draw(canvas.area(), canvas.pitch, 3, 37, 23, 0, 0, text, 3, 0x11, 1);
    font_draw(canvas.area(), 36, 1, 37, 23, 0, 0, text, 3, 0x11, 1);  // pitch below width
    font_draw(canvas.area(), canvas.pitch, 1, 37, 23, 0, 0, text, -2, 0x11, 1);
    EXPECT_EQ(std::count(canvas.bytes.begin(), canvas.bytes.end(), GuardedCanvas::kGuard),
              static_cast<long>(canvas.bytes.size()));
}

// Two-byte pixels get the low 16 bits of the value, one-byte pixels the low 8.
TEST(Font, WritesSixteenAndEightBitPixels) {
    const char* text = "Hi 42";
    const Reference reference(text, 1);
    GuardedCanvas wide(30, 18, 2);
    wide.draw(-3, 1, text, 0xDEAD5A7Bu, 1);
    EXPECT_EQ(wide.changed_outside(), 0);
    int mismatches = 0, written = 0;
    for (int y = 0; y < wide.height; ++y) {
        for (int x = 0; x < wide.width; ++x) {
            uint16_t v;
            memcpy(&v, wide.area() + y * wide.pitch + x * 2, 2);
            const bool ink = reference.covers(-3, 1, x, y);
            written += ink;
            mismatches += v != (ink ? 0x5A7B : 0xA5A5);
        }
    }
    EXPECT_GT(written, 0);
    EXPECT_EQ(mismatches, 0);

    GuardedCanvas narrow(30, 18, 1);
    narrow.draw(0, 0, "I", 0x1C7, 1);
    int low_bytes = 0;
    for (uint8_t b : narrow.bytes) {
        low_bytes += b == 0xC7;
    }
    EXPECT_GT(low_bytes, 0);
    EXPECT_EQ(narrow.changed_outside(), 0);
}

TEST(Font, ScaleDrawsEachPixelAsABlock) {
    const char* text = "Ag5";
    const Reference single(text, 1), twice(text, 2);
    int ink = 0, mismatches = 0;
    for (int y = 0; y < 2 * FONT_HEIGHT + 4; ++y) {
        for (int x = 0; x < 2 * width_of(text) + 4; ++x) {
            const bool big = twice.covers(0, 0, x, y);
            ink += big;
            mismatches += big != single.covers(0, 0, x >> 1, y >> 1);
        }
    }
    EXPECT_GT(ink, 0);
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
